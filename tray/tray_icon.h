#pragma once
// The notification-area icon: a hidden window of its own that receives the
// shell's callbacks, and the record handed to Shell_NotifyIconA. Its tip names
// the track, a left click plays or pauses, a right click opens the tray menu.
#include <windows.h>
#include <shellapi.h>

#include <string>

class CPlayerDlg;

class CTrayIcon {
public:
    CTrayIcon(HWND owner, CPlayerDlg* player, HICON icon, const char* tip, UINT menuId);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void SetTrayTip(const char* text);
    void SetTrayIcon(HICON icon);

    HWND GetHwnd() const { return m_hWnd; }

    CPlayerDlg* m_pPlayerWnd;
    std::string m_strTip;
    HWND m_pOwner;
    NOTIFYICONDATAA m_nid{};
    UINT m_nTrayMessage = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowMenu();

    HWND m_hWnd = nullptr;
    UINT m_nTaskbarCreated = 0;
};
