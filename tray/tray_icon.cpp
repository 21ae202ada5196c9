#include "tray/tray_icon.h"

#include "framework/window.h"
#include "res/resource.h"
#include "tray/tray_seam.h"

#include <cwchar>

#include "playlist/text_codec.h"

namespace tray {

namespace {
NotifyIconFn g_notifyIcon = nullptr;
} // namespace

NotifyIconFn NotifyIcon() { return g_notifyIcon ? g_notifyIcon : &::Shell_NotifyIconW; }

NotifyIconFn SetNotifyIcon(NotifyIconFn fn)
{
    NotifyIconFn previous = NotifyIcon();
    g_notifyIcon = fn;
    return previous;
}

void CopyTip(const wchar_t* text, wchar_t* tip, size_t size)
{
    if (!tip || size == 0)
        return;
    if (!text)
        text = L"";
    const size_t length = std::wcslen(text);
    if (length < size) {
        std::wmemcpy(tip, text, length + 1);
        return;
    }
    // Room for the kept part, "..." and the NUL. A buffer too small for the
    // dots gets only the cut text.
    const wchar_t dots[] = L"...";
    const size_t dotsSize = sizeof dots / sizeof dots[0];
    const size_t keep = CutLength(text, length, size > dotsSize ? size - dotsSize : size - 1);
    std::wmemcpy(tip, text, keep);
    if (size > dotsSize) {
        std::wmemcpy(tip + keep, dots, dotsSize);
    } else {
        tip[keep] = L'\0';
    }
}

} // namespace tray

namespace {

const wchar_t kTrayClassName[] = L"QuillonTrayWindow";

ATOM RegisterTrayClass(WNDPROC proc)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = fw::AppInstance();
    wc.lpszClassName = kTrayClassName;
    return ::RegisterClassW(&wc);
}

} // namespace

std::unique_ptr<CTrayIcon> CTrayIcon::Create(HWND owner, HICON icon, const wchar_t* tip, UINT menuId)
{
    std::unique_ptr<CTrayIcon> tray(new CTrayIcon(owner, tip));
    static const ATOM trayClass = RegisterTrayClass(&CTrayIcon::WindowProc);
    (void)trayClass;
    tray->m_hWnd = ::CreateWindowExW(0, kTrayClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     fw::AppInstance(), tray.get());
    if (!tray->m_hWnd)
        return nullptr;

    NOTIFYICONDATAW& nid = tray->m_nid;
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = tray->m_hWnd;
    nid.uID = menuId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = tray->m_nTrayMessage;
    nid.hIcon = icon;
    tray::CopyTip(tray->m_strTip.c_str(), nid.szTip, tray::kTipChars);
    // Without a notification area the icon is simply not shown: no reason
    // to give up the program.
    tray::NotifyIcon()(NIM_ADD, &nid);
    return tray;
}

CTrayIcon::CTrayIcon(HWND owner, const wchar_t* tip) : m_owner(owner), m_strTip(tip ? tip : L"")
{
    m_nTrayMessage = ::RegisterWindowMessageW(L"TRAY_MSG");
    // Sent to every top-level window when the shell (re)starts: the icon must
    // then be added again or it silently disappears.
    m_nTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
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

void CTrayIcon::SetTip(const wchar_t* text)
{
    m_strTip = text ? text : L"";
    tray::CopyTip(m_strTip.c_str(), m_nid.szTip, tray::kTipChars);
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
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    CTrayIcon* self = reinterpret_cast<CTrayIcon*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self) {
        // DWARF-2 exceptions cannot unwind through user32: stop them here.
        try {
            self->HandleMessage(message, wParam, lParam);
        } catch (...) {
        }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CTrayIcon::HandleMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (m_nTrayMessage != 0 && message == m_nTrayMessage) {
        switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            ::PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(ID_TRAY_PLAY_PAUSE, 0), 0);
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
    HMENU menu = ::LoadMenuW(fw::AppInstance(), MAKEINTRESOURCEW(m_nid.uID));
    if (!::IsMenu(menu))
        return;
    // Only locals from here on: the menu's modal loop runs other messages,
    // and the command it posts may end the program once the loop is over.
    HWND owner = m_owner;
    // Without the owner in the foreground the menu would not close when the
    // user clicks elsewhere.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}
