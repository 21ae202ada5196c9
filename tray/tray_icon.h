#pragma once
// The notification-area icon: a hidden window of its own that receives the
// shell's callbacks, and the record handed to Shell_NotifyIconW. Its tip names
// the track; a left click and the menu of a right click become commands
// posted to the owner window (ID_TRAY_PLAY_PAUSE and the menu's own ids).
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

class CTrayIcon {
public:
    // The icon with its hidden window, added to the notification area; null
    // when the window cannot be created.
    static std::unique_ptr<CTrayIcon> Create(HWND owner, HICON icon, const wchar_t* tip, UINT menuId);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void SetTip(const wchar_t* text);
    void SetIcon(HICON icon);

    // The hidden window that receives the shell's callbacks.
    HWND GetHwnd() const { return m_hWnd; }
    const std::wstring& Tip() const { return m_strTip; }
    // The message the shell sends the hidden window for the icon's clicks.
    UINT CallbackMessage() const { return m_nTrayMessage; }

private:
    CTrayIcon(HWND owner, const wchar_t* tip);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowMenu();

    HWND m_owner;
    std::wstring m_strTip;
    NOTIFYICONDATAW m_nid{};
    UINT m_nTrayMessage = 0;
    UINT m_nTaskbarCreated = 0;
    HWND m_hWnd = nullptr;
};
