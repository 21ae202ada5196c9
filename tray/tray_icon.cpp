// Placeholder until the tray icon lands: keeps the program linking.
#include "tray/tray_icon.h"

CTrayIcon::CTrayIcon(HWND owner, CPlayerDlg* player, HICON icon, const char* tip, UINT menuId)
    : m_pPlayerWnd(player), m_strTip(tip ? tip : ""), m_pOwner(owner)
{
    (void)icon;
    (void)menuId;
}
CTrayIcon::~CTrayIcon() = default;
void CTrayIcon::SetTrayTip(const char* text) { m_strTip = text ? text : ""; }
void CTrayIcon::SetTrayIcon(HICON icon) { m_nid.hIcon = icon; }
LRESULT CALLBACK CTrayIcon::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}
