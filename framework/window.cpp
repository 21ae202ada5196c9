#include "framework/window.h"

namespace fw {

std::wstring CWindow::GetWindowText() const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWindow::ScreenToClient(RECT& r) const
{
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ::MapWindowPoints(nullptr, m_hWnd, corners, 2);
    r = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

bool CListBox::GetText(int index, std::wstring& text) const
{
    text.clear();
    int length = GetTextLen(index);
    if (length == LB_ERR)
        return false;
    text.resize(static_cast<size_t>(length) + 1);
    int copied = static_cast<int>(SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0])));
    if (copied == LB_ERR) {
        text.clear();
        return false;
    }
    text.resize(static_cast<size_t>(copied));
    return true;
}

std::vector<int> CListBox::GetSelItems() const
{
    int count = GetSelCount();
    std::vector<int> items(count > 0 ? static_cast<size_t>(count) : 0);
    if (count > 0) {
        int got = static_cast<int>(SendMessage(LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(items.data())));
        items.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    return items;
}

bool OnVirtualScreen(long long left, long long top, long long right, long long bottom)
{
    // Larger than any screen: no window of ours was ever that big.
    constexpr long long kLargest = 32767;
    if (right - left > kLargest || bottom - top > kLargest)
        return false;
    const long long screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long long screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const long long screenRight = screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const long long screenBottom = screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return left < screenRight && right > screenLeft && top < screenBottom && bottom > screenTop;
}

HINSTANCE AppInstance() { return ::GetModuleHandleW(nullptr); }

HICON LoadAppIcon(int resourceId) { return ::LoadIconW(AppInstance(), MAKEINTRESOURCEW(resourceId)); }

HICON LoadAppIconSmall(int resourceId)
{
    return static_cast<HICON>(::LoadImageW(AppInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 16, 16, LR_SHARED));
}

} // namespace fw
