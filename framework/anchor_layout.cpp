#include "framework/anchor_layout.h"

namespace fw {

void CAnchorLayout::Attach(HWND parent, const AnchorRow* rows, size_t count)
{
    m_parent = parent;
    RECT client{};
    ::GetClientRect(parent, &client);
    m_clientWidth = client.right - client.left;
    m_clientHeight = client.bottom - client.top;
    m_records.clear();
    for (size_t i = 0; i < count; ++i) {
        HWND control = ::GetDlgItem(parent, rows[i].id);
        if (!control)
            continue;
        RECT r{};
        ::GetWindowRect(control, &r);
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        ::MapWindowPoints(nullptr, parent, corners, 2);
        m_records.push_back({rows[i].id, rows[i].flags, {corners[0].x, corners[0].y, corners[1].x, corners[1].y}});
    }
}

void CAnchorLayout::OnSize(int cx, int cy)
{
    // A minimised window reports a zero size: moving to it would lose nothing
    // (rectangles come from the registered ones) but would flicker.
    if (cx == 0 || cy == 0 || !m_parent)
        return;
    for (const Record& record : m_records) {
        const RECT r = CalcRect(record.rect, record.flags, cx, cy, m_clientWidth, m_clientHeight);
        if (HWND control = ::GetDlgItem(m_parent, record.id))
            ::MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    ::InvalidateRect(m_parent, nullptr, FALSE);
}

RECT CAnchorLayout::CalcRect(const RECT& registered, unsigned flags, int cx, int cy, int W, int H)
{
    const int dx = cx - W;
    const int dy = cy - H;
    RECT r = registered;
    if (flags & kFollowLeft)
        r.left += dx;
    if (flags & kFollowRight)
        r.right += dx;
    if (flags & kFollowTop)
        r.top += dy;
    if (flags & kFollowBottom)
        r.bottom += dy;
    return r;
}

const RECT* CAnchorLayout::Registered(int id) const
{
    for (const Record& record : m_records) {
        if (record.id == id)
            return &record.rect;
    }
    return nullptr;
}

} // namespace fw
