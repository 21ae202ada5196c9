#include "tray/tray_icon.h"

#include "framework/window.h"
#include "res/resource.h"
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

std::unique_ptr<CTrayIcon> CTrayIcon::Create(HWND owner, HICON icon, const char* tip, UINT menuId)
{
    std::unique_ptr<CTrayIcon> tray(new CTrayIcon(owner, tip));
    static const ATOM trayClass = RegisterTrayClass(&CTrayIcon::WindowProc);
    (void)trayClass;
    tray->m_hWnd = ::CreateWindowExA(0, kTrayClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     fw::AppInstance(), tray.get());
    if (!tray->m_hWnd)
        return nullptr;

    NOTIFYICONDATAA& nid = tray->m_nid;
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = tray->m_hWnd;
    nid.uID = menuId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = tray->m_nTrayMessage;
    nid.hIcon = icon;
    tray::CopyTip(tray->m_strTip.c_str(), nid.szTip, tray::kTipBytes);
    // Without a notification area the icon is simply not shown: no reason
    // to give up the program.
    tray::NotifyIcon()(NIM_ADD, &nid);
    return tray;
}

CTrayIcon::CTrayIcon(HWND owner, const char* tip) : m_owner(owner), m_strTip(tip ? tip : "")
{
    m_nTrayMessage = ::RegisterWindowMessageA("TRAY_MSG");
    // Sent to every top-level window when the shell (re)starts: the icon must
    // then be added again or it silently disappears.
    m_nTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
}

CTrayIcon::~CTrayIcon()
{
    if (!m_hWnd)
        return;
    m_nid.uFlags = 0;
    tray::NotifyIcon()(NIM_DELETE, &m_nid);
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    ::DestroyWindow(hwnd);
}

void CTrayIcon::SetTip(const char* text)
{
    m_strTip = text ? text : "";
    tray::CopyTip(m_strTip.c_str(), m_nid.szTip, tray::kTipBytes);
    tray::NotifyIcon()(NIM_MODIFY, &m_nid);
}

void CTrayIcon::SetIcon(HICON icon)
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
            ::PostMessageA(m_owner, WM_COMMAND, MAKEWPARAM(ID_TRAY_PLAY_PAUSE, 0), 0);
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
    // A disabled owner is waiting for the answer to a box or dialog: its Exit
    // and the rest must wait too. The box is brought forward instead.
    if (!::IsWindowEnabled(m_owner)) {
        ::SetForegroundWindow(::GetLastActivePopup(m_owner));
        return;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMENU menu = ::LoadMenuA(fw::AppInstance(), MAKEINTRESOURCEA(m_nid.uID));
    if (!::IsMenu(menu))
        return;
    // Only locals from here on: the menu's modal loop runs other messages,
    // and the command it posts may end the program once the loop is over.
    HWND owner = m_owner;
    // Without the owner in the foreground the menu would not close when the
    // user clicks elsewhere.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}
