#include "editor/anchor_layout.h"

void CAnchorLayout::Attach(HWND parent)
{
    m_parent = parent;
    RECT client{};
    ::GetClientRect(parent, &client);
    m_clientWidth = client.right - client.left;
    m_clientHeight = client.bottom - client.top;
    m_records.clear();
}

void CAnchorLayout::AddControl(UINT id, int leftMode, int rightMode, int topMode, int bottomMode)
{
    HWND control = ::GetDlgItem(m_parent, static_cast<int>(id));
    if (!control)
        return;
    RECT r{};
    ::GetWindowRect(control, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ::MapWindowPoints(nullptr, m_parent, corners, 2);
    AnchorRecord record{id, {corners[0].x, corners[0].y, corners[1].x, corners[1].y},
                        leftMode, rightMode, topMode, bottomMode};
    m_records[id] = record;
}

void CAnchorLayout::OnSize(int cx, int cy)
{
    // A minimised window reports a zero size: moving to it would lose nothing
    // (rectangles come from the registered ones) but would flicker.
    if (cx == 0 || cy == 0 || !m_parent)
        return;
    for (const auto& item : m_records) {
        const AnchorRecord& record = item.second;
        RECT r = CalcRect(record, cx, cy, m_clientWidth, m_clientHeight);
        if (HWND control = ::GetDlgItem(m_parent, static_cast<int>(record.id)))
            ::MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    ::InvalidateRect(m_parent, nullptr, FALSE);
}

RECT CAnchorLayout::CalcRect(const AnchorRecord& record, int cx, int cy, int W, int H)
{
    const int dx = cx - W;
    const int dy = cy - H;
    RECT r = record.rect;
    if (record.leftMode == kAnchorFollow)
        r.left += dx;
    if (record.rightMode == kAnchorFollow)
        r.right += dx;
    if (record.topMode == kAnchorFollow)
        r.top += dy;
    if (record.bottomMode == kAnchorFollow)
        r.bottom += dy;
    return r;
}

const AnchorRecord* CAnchorLayout::Find(UINT id) const
{
    auto it = m_records.find(id);
    return it == m_records.end() ? nullptr : &it->second;
}
