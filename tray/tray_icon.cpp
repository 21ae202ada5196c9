#include "tray/tray_icon.h"

#include "framework/window.h"
#include "player/player_dlg.h"
#include "tray/tray_seam.h"

#include <cstring>

namespace tray {

namespace {
NotifyIconFn g_notifyIcon = nullptr;
} // namespace

NotifyIconFn NotifyIcon() { return g_notifyIcon ? g_notifyIcon : &::Shell_NotifyIconA; }

NotifyIconFn SetNotifyIcon(NotifyIconFn fn)
{
    NotifyIconFn previous = NotifyIcon();
    g_notifyIcon = fn;
    return previous;
}

void CopyTip(const char* text, char* tip, size_t size)
{
    if (!tip || size == 0)
        return;
    if (!text)
        text = "";
    size_t length = std::strlen(text);
    if (length < size) {
        std::memcpy(tip, text, length + 1);
        return;
    }
    // Room for the kept part, "..." and the NUL. A buffer too small for the
    // dots gets only the cut text.
    const char dots[] = "...";
    size_t room = size > sizeof dots ? size - sizeof dots : size - 1;
    size_t keep = 0;
    while (keep < room) {
        size_t step = ::IsDBCSLeadByte(static_cast<BYTE>(text[keep])) && text[keep + 1] ? 2 : 1;
        if (keep + step > room)
            break;
        keep += step;
    }
    std::memcpy(tip, text, keep);
    if (size > sizeof dots) {
        std::memcpy(tip + keep, dots, sizeof dots);
    } else {
        tip[keep] = '\0';
    }
}

} // namespace tray

namespace {

const char kTrayClassName[] = "QuillonTrayWindow";

ATOM RegisterTrayClass(WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = fw::AppInstance();
    wc.lpszClassName = kTrayClassName;
    return ::RegisterClassA(&wc);
}

} // namespace

CTrayIcon::CTrayIcon(HWND owner, CPlayerDlg* player, HICON icon, const char* tip, UINT menuId)
    : m_pPlayerWnd(player), m_strTip(tip ? tip : ""), m_pOwner(nullptr)
{
    m_nTrayMessage = ::RegisterWindowMessageA("TRAY_MSG");
    // Sent to every top-level window when the shell (re)starts: the icon must
    // then be added again or it silently disappears.
    m_nTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    m_pOwner = owner;

    static const ATOM trayClass = RegisterTrayClass(&CTrayIcon::WindowProc);
    (void)trayClass;
    m_hWnd = ::CreateWindowExA(0, kTrayClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               fw::AppInstance(), this);

    m_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_nid.hWnd = m_hWnd;
    m_nid.uID = menuId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = m_nTrayMessage;
    m_nid.hIcon = icon;
    tray::CopyTip(m_strTip.c_str(), m_nid.szTip, tray::kTipBytes);
    tray::NotifyIcon()(NIM_ADD, &m_nid);
}

CTrayIcon::~CTrayIcon()
{
    m_nid.uFlags = 0;
    tray::NotifyIcon()(NIM_DELETE, &m_nid);
    if (m_hWnd) {
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

void CTrayIcon::SetTrayTip(const char* text)
{
    m_strTip = text ? text : "";
    tray::CopyTip(m_strTip.c_str(), m_nid.szTip, tray::kTipBytes);
    tray::NotifyIcon()(NIM_MODIFY, &m_nid);
}

void CTrayIcon::SetTrayIcon(HICON icon)
{
    m_nid.hIcon = icon;
    tray::NotifyIcon()(NIM_MODIFY, &m_nid);
}

LRESULT CALLBACK CTrayIcon::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    CTrayIcon* self = reinterpret_cast<CTrayIcon*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (self) {
        // DWARF-2 exceptions cannot unwind through user32: stop them here.
        try {
            self->HandleMessage(message, wParam, lParam);
        } catch (...) {
        }
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CTrayIcon::HandleMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (m_nTrayMessage != 0 && message == m_nTrayMessage) {
        switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            if (m_pPlayerWnd)
                m_pPlayerWnd->OnPlayPause();
            break;
        case WM_RBUTTONUP:
            ShowMenu();
            break;
        default:
            break;
        }
    } else if (m_nTaskbarCreated != 0 && message == m_nTaskbarCreated) {
        tray::NotifyIcon()(NIM_ADD, &m_nid);
    }
    return 0;
}

void CTrayIcon::ShowMenu()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMENU menu = ::LoadMenuA(fw::AppInstance(), MAKEINTRESOURCEA(m_nid.uID));
    if (!::IsMenu(menu))
        return;
    // Only locals from here on: the menu's modal loop runs other messages,
    // and the command it posts may end the program once the loop is over.
    HWND owner = m_pOwner;
    // Without the owner in the foreground the menu would not close when the
    // user clicks elsewhere.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}
