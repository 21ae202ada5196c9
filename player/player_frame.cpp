// The player window's frame: docking under its host, sliding out and in,
// dragging, the painted title, the list toggle's top row, close, to tray and
// always on top.
#include "player/player_dlg.h"

#include "framework/dc.h"
#include "res/resource.h"

#include <cwchar>

void CPlayerDlg::ShowSlide(bool show)
{
    // A slide in progress is never interrupted or reversed.
    if (m_slideState != (show ? SlideState::Hidden : SlideState::Shown))
        return;
    m_detached = false;
    Reposition();
    m_slideState = show ? SlideState::SlidingOut : SlideState::SlidingIn;
    m_slideTop = GetWindowRect().top;
    ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
}

void CPlayerDlg::SlideStep()
{
    const RECT a = Host().GetWindowRect();
    const RECT b = GetWindowRect();
    const int height = b.bottom - b.top;
    switch (m_slideState) {
    case SlideState::SlidingOut:
        m_slideTop += kSlideStepPx;
        if (m_slideTop > a.bottom)
            m_slideTop = a.bottom;
        Reposition();
        break;
    case SlideState::SlidingIn:
        m_slideTop -= kSlideStepPx;
        if (m_slideTop + height < a.bottom)
            m_slideTop = a.bottom - height;
        Reposition();
        break;
    default:
        // The first tick after the slide ended.
        ::KillTimer(m_hWnd, kSlideTimer);
        break;
    }
}

void CPlayerDlg::HostMoved()
{
    // Only the user's own drag of the player tears it away from its docking
    // place: a maximise or any other jump of the host by more than the
    // docking distance must not leave a docked player behind. The host's
    // moves still dock a detached player that it has come back to.
    if (m_detached)
        UpdateDocking();
    if (!m_detached)
        Reposition();
}

void CPlayerDlg::PlaceBehindHost()
{
    const RECT a = Host().GetWindowRect();
    const RECT b = GetWindowRect();
    SetWindowPos(m_host.HostWindow(), a.left, a.bottom - (b.bottom - b.top), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CPlayerDlg::Reposition()
{
    // Behind the host, so that it slides out from under it; but a topmost
    // player placed after a window that is not would lose its "On Top".
    const HWND after = IsChecked(IDC_ON_TOP) ? HWND_TOPMOST : m_host.HostWindow();
    const RECT a = Host().GetWindowRect();
    RECT b = GetWindowRect();
    const bool sliding = m_slideState == SlideState::SlidingOut || m_slideState == SlideState::SlidingIn;
    if (sliding)
        SetWindowPos(after, a.left, m_slideTop, 0, 0, kBehindFlags | SWP_SHOWWINDOW);

    b = GetWindowRect();
    const int height = b.bottom - b.top;
    if (m_slideState == SlideState::SlidingOut && b.top >= a.bottom)
        m_slideState = SlideState::Shown;
    if (m_slideState == SlideState::SlidingIn && b.bottom <= a.bottom)
        m_slideState = SlideState::Hidden;

    if (m_slideState == SlideState::Shown) {
        if (m_detached)
            SetWindowPos(after, b.left, b.top, 0, 0, kBehindFlags | SWP_SHOWWINDOW);
        else
            SetWindowPos(after, a.left, a.bottom, 0, 0, kBehindFlags | SWP_SHOWWINDOW);
    } else if (m_slideState == SlideState::Hidden) {
        // Wholly behind the host, its bottom on the host's bottom edge.
        SetWindowPos(after, a.left, a.bottom - height, 0, 0, kBehindFlags | SWP_HIDEWINDOW);
    }
}

void CPlayerDlg::UpdateDocking()
{
    if (m_slideState != SlideState::Shown)
        return;
    const RECT a = Host().GetWindowRect();
    const RECT b = GetWindowRect();
    const int dx = b.left - a.left;
    const int dy = b.top - a.bottom;
    const int d = kDockDistance;
    // At exactly the distance the flag keeps its value.
    if (!m_detached) {
        if (dx < -d || dx > d || dy < -d || dy > d)
            m_detached = true;
    } else if (-d < dx && dx < d && -d < dy && dy < d) {
        m_detached = false;
    }
}

fw::Reply CPlayerDlg::OnNcHitTest(WPARAM, LPARAM)
{
    // The window is dragged by any point of its surface.
    return HTCAPTION;
}

fw::Reply CPlayerDlg::OnMove(int, int)
{
    UpdateDocking();
    return 0;
}

void CPlayerDlg::ToggleList()
{
    m_listHidden = !m_listHidden;
    Button(IDC_LIST_TOGGLE).SetIcon(m_listHidden ? m_hListHiddenIcon : m_hListShownIcon);
    m_host.ShowList(!m_listHidden);
    LayoutTopRow();
    Item(IDC_PLAY_PAUSE).SetFocus();
}

void CPlayerDlg::LayoutTopRow()
{
    const fw::CWindow toggle = Item(IDC_LIST_TOGGLE);
    RECT r = toggle.GetWindowRect();
    ScreenToClient(r);
    const int half = (r.right - r.left) / 2;
    const fw::CWindow title = Item(IDC_TITLE);
    if (m_listHidden) {
        Item(IDC_TO_TRAY).ShowWindow(SW_SHOWNORMAL);
        const RECT& t = m_titleRectListHidden;
        title.SetWindowPos(nullptr, t.left, t.top, t.right - t.left, t.bottom - t.top, SWP_NOZORDER);
        toggle.SetWindowPos(nullptr, r.left - half - 5, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        Item(IDC_CLOSE).ShowWindow(SW_SHOW);
    } else {
        Item(IDC_TO_TRAY).ShowWindow(SW_HIDE);
        const RECT& t = m_titleRectListShown;
        title.SetWindowPos(nullptr, t.left, t.top, t.right - t.left, t.bottom - t.top, SWP_NOZORDER);
        toggle.SetWindowPos(nullptr, r.left + half + 5, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        Item(IDC_CLOSE).ShowWindow(SW_HIDE);
    }
    UpdateToolRects();
}

void CPlayerDlg::OnCloseButton() { m_host.RequestClose(); }

void CPlayerDlg::OnToTray()
{
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
}

void CPlayerDlg::OnOnTop()
{
    const HWND after = IsChecked(IDC_ON_TOP) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CPlayerDlg::DrawTitle(bool blank)
{
    const PlayQueueEntry* entry = m_queue.CurrentEntry();
    const int trackListIndex = entry ? entry->listIndex : -1;
    MarqueeFirstPaint(m_marquee, trackListIndex);
    m_marquee.text = entry ? entry->path.c_str() : nullptr;
    const int n = m_marquee.text ? static_cast<int>(std::wcslen(m_marquee.text)) : 0;

    const fw::CWindow title = Item(IDC_TITLE);
    if (!title.IsWindow())
        return;
    RECT r = title.GetClientRect();
    r.left += 1;
    r.right -= 1;
    const int w = r.right - r.left;

    fw::CDC dc;
    if (!dc.GetDC(title.GetHwnd()))
        return;
    HFONT font = Host().GetFont();
    if (!font)
        font = GetFont();
    dc.SelectObject(font);
    ::SetBkMode(dc.GetSafeHdc(), TRANSPARENT);
    HBRUSH face = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    ::FillRect(dc.GetSafeHdc(), &r, face);
    ::DeleteObject(face);

    if (!blank && n > 0) {
        const wchar_t* text = m_marquee.text;
        const HDC hdc = dc.GetSafeHdc();
        auto widthFrom = [hdc, text, n](int i) {
            SIZE size{};
            ::GetTextExtentPoint32W(hdc, text + i, n - i, &size);
            return static_cast<int>(size.cx);
        };
        const int from = MarqueeNextOffset(m_marquee, trackListIndex, n, w, widthFrom);
        // No prefix processing: a path may hold '&'.
        ::DrawTextW(hdc, text + from, n - from, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}
