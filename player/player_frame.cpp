// The player window's frame: docking under the editor, sliding out and in,
// dragging, the painted title, the list toggle's top row, close, to tray and
// always on top.
#include "player/player_dlg.h"

#include "editor/editor_dlg.h"
#include "player/marquee.h"
#include "res/resource.h"

#include <cstring>

namespace {

constexpr UINT kSlidePeriodMs = 50;
constexpr int kSlideStepPx = 10;
constexpr UINT kBehindFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

} // namespace

void CPlayerDlg::ShowSlide(bool show)
{
    // A slide in progress is never interrupted or reversed.
    if ((slideState == 0 && show) || (slideState == 1 && !show) || slideState == 2 || slideState == 3)
        return;
    detached = false;
    Reposition();
    slideState = show ? 2 : 3;
    slideTop = GetWindowRect().top;
    ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
}

void CPlayerDlg::SlideStep()
{
    if (!m_pEditor) {
        ::KillTimer(m_hWnd, kSlideTimer);
        return;
    }
    const RECT a = m_pEditor->GetWindowRect();
    const RECT b = GetWindowRect();
    const int height = b.bottom - b.top;
    switch (slideState) {
    case 2:
        slideTop += kSlideStepPx;
        if (slideTop > a.bottom)
            slideTop = a.bottom;
        Reposition();
        break;
    case 3:
        slideTop -= kSlideStepPx;
        if (slideTop + height < a.bottom)
            slideTop = a.bottom - height;
        Reposition();
        break;
    default:
        // The first tick after the slide ended.
        ::KillTimer(m_hWnd, kSlideTimer);
        break;
    }
}

void CPlayerDlg::Reposition()
{
    if (!m_pEditor || !m_pEditor->GetHwnd())
        return;
    // Behind the editor, so that it slides out from under it; but a topmost
    // player placed after a window that is not would lose its "On Top".
    const HWND editor = Button(IDC_ON_TOP).GetCheck() == BST_CHECKED ? HWND_TOPMOST : m_pEditor->GetHwnd();
    const RECT a = m_pEditor->GetWindowRect();
    RECT b = GetWindowRect();
    if (slideState == 2 || slideState == 3)
        SetWindowPos(editor, a.left, slideTop, 0, 0, kBehindFlags | SWP_SHOWWINDOW);

    b = GetWindowRect();
    const int height = b.bottom - b.top;
    if (slideState == 2 && b.top >= a.bottom)
        slideState = 0;
    if (slideState == 3 && b.bottom <= a.bottom)
        slideState = 1;

    if (slideState == 0) {
        if (detached)
            SetWindowPos(editor, b.left, b.top, 0, 0, kBehindFlags | SWP_SHOWWINDOW);
        else
            SetWindowPos(editor, a.left, a.bottom, 0, 0, kBehindFlags | SWP_SHOWWINDOW);
    } else if (slideState == 1) {
        // Wholly behind the editor, its bottom on the editor's bottom edge.
        SetWindowPos(editor, a.left, a.bottom - height, 0, 0, kBehindFlags | SWP_HIDEWINDOW);
    }
}

void CPlayerDlg::UpdateDocking()
{
    if (slideState != 0 || !m_pEditor || !m_pEditor->GetHwnd())
        return;
    const RECT a = m_pEditor->GetWindowRect();
    const RECT b = GetWindowRect();
    const int dx = b.left - a.left;
    const int dy = b.top - a.bottom;
    const int d = dockDistance;
    // At exactly the distance the flag keeps its value.
    if (!detached) {
        if (dx < -d || dx > d || dy < -d || dy > d)
            detached = true;
    } else if (-d < dx && dx < d && -d < dy && dy < d) {
        detached = false;
    }
}

LRESULT CPlayerDlg::OnNcHitTest(WPARAM, LPARAM)
{
    // The window is dragged by any point of its surface.
    return HTCAPTION;
}

LRESULT CPlayerDlg::OnMoveMessage(WPARAM, LPARAM)
{
    UpdateDocking();
    return 0;
}

void CPlayerDlg::OnListToggle()
{
    if (listHidden) {
        listHidden = false;
        Button(IDC_LIST_TOGGLE).SetIcon(m_hListShownIcon);
        if (m_pEditor)
            m_pEditor->ShowList(true);
    } else {
        listHidden = true;
        Button(IDC_LIST_TOGGLE).SetIcon(m_hListHiddenIcon);
        if (m_pEditor)
            m_pEditor->ShowList(false);
    }
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
    if (listHidden) {
        Item(IDC_TO_TRAY).ShowWindow(SW_SHOWNORMAL);
        const RECT& t = titleRectListHidden;
        title.SetWindowPos(nullptr, t.left, t.top, t.right - t.left, t.bottom - t.top, SWP_NOZORDER);
        toggle.SetWindowPos(nullptr, r.left - half - 5, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        Item(IDC_CLOSE).ShowWindow(SW_SHOW);
    } else {
        Item(IDC_TO_TRAY).ShowWindow(SW_HIDE);
        const RECT& t = titleRectListShown;
        title.SetWindowPos(nullptr, t.left, t.top, t.right - t.left, t.bottom - t.top, SWP_NOZORDER);
        toggle.SetWindowPos(nullptr, r.left + half + 5, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        Item(IDC_CLOSE).ShowWindow(SW_HIDE);
    }
}

void CPlayerDlg::OnCloseButton()
{
    // The close path destroys the editor, which deletes this object: post
    // the cancel command so that it runs after this handler has returned.
    if (m_pEditor && m_pEditor->GetHwnd())
        m_pEditor->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CPlayerDlg::OnToTray()
{
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
}

void CPlayerDlg::OnOnTop()
{
    const HWND after = Button(IDC_ON_TOP).GetCheck() == BST_CHECKED ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CPlayerDlg::DrawTitle(bool blank)
{
    const bool valid = m_queue.HasValidCurrent();
    const PlayQueueEntry* entry = valid ? &m_queue.entries[static_cast<size_t>(m_queue.current)] : nullptr;
    const int trackListIndex = entry ? entry->listIndex : -1;
    MarqueeFirstPaint(marquee, trackListIndex);
    marquee.text = entry ? entry->path.c_str() : nullptr;
    const int n = marquee.text ? static_cast<int>(std::strlen(marquee.text)) : 0;

    const fw::CWindow title = Item(IDC_TITLE);
    if (!title.IsWindow())
        return;
    RECT r = title.GetClientRect();
    r.left += 1;
    r.right -= 1;
    const int w = r.right - r.left;

    HDC dc = ::GetDC(title.GetHwnd());
    if (!dc)
        return;
    HFONT font = m_pEditor ? m_pEditor->GetFont() : nullptr;
    if (!font)
        font = GetFont();
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    HBRUSH face = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    ::FillRect(dc, &r, face);
    ::DeleteObject(face);

    if (!blank && n > 0) {
        const char* text = marquee.text;
        auto widthFrom = [dc, text, n](int i) {
            SIZE size{};
            ::GetTextExtentPoint32A(dc, text + i, n - i, &size);
            return static_cast<int>(size.cx);
        };
        const int from = MarqueeNextOffset(marquee, trackListIndex, n, w, widthFrom);
        // No prefix processing: a path may hold '&'.
        ::DrawTextA(dc, text + from, n - from, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }

    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::ReleaseDC(title.GetHwnd(), dc);
}
