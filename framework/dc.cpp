#include "framework/dc.h"

namespace fw {

bool CDC::GetDC(HWND window)
{
    if (m_hDC)
        return false;
    m_hDC = ::GetDC(window);
    if (!m_hDC)
        return false;
    m_hWnd = window;
    m_source = Source::Window;
    return true;
}

bool CDC::BeginPaint(HWND window)
{
    if (m_hDC)
        return false;
    m_hDC = ::BeginPaint(window, &m_paint);
    // EndPaint belongs to every BeginPaint, even one without a context.
    m_hWnd = window;
    m_source = Source::Paint;
    return m_hDC != nullptr;
}

bool CDC::Attach(HDC created)
{
    if (!created || m_source != Source::None)
        return false;
    m_hDC = created;
    m_source = Source::Created;
    return true;
}

bool CDC::SelectObject(HGDIOBJ obj, bool owned)
{
    if (!obj)
        return false;
    HGDIOBJ previous = m_hDC ? ::SelectObject(m_hDC, obj) : nullptr;
    if (!previous || previous == HGDI_ERROR) {
        if (owned)
            ::DeleteObject(obj);
        return false;
    }
    m_selections.push_back({previous, owned ? obj : nullptr});
    return true;
}

void CDC::Release()
{
    for (auto it = m_selections.rbegin(); it != m_selections.rend(); ++it) {
        ::SelectObject(m_hDC, it->previous);
        if (it->owned)
            ::DeleteObject(it->owned);
    }
    m_selections.clear();
    switch (m_source) {
    case Source::Window:
        ::ReleaseDC(m_hWnd, m_hDC);
        break;
    case Source::Paint:
        ::EndPaint(m_hWnd, &m_paint);
        break;
    case Source::Created:
        ::DeleteDC(m_hDC);
        break;
    case Source::None:
        break;
    }
    m_hDC = nullptr;
    m_hWnd = nullptr;
    m_source = Source::None;
}

} // namespace fw
