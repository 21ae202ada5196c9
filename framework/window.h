#pragma once
// Thin value wrappers over one HWND. Each method is named after the message or
// call it makes and grows only when the program needs it.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace fw {

class CWindow {
public:
    CWindow() = default;
    explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}

    HWND GetHwnd() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    CWindow Item(int id) const { return CWindow(GetDlgItem(id)); }

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE; }

    bool ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }

    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;

    RECT GetWindowRect() const { RECT r{}; ::GetWindowRect(m_hWnd, &r); return r; }
    RECT GetClientRect() const { RECT r{}; ::GetClientRect(m_hWnd, &r); return r; }
    void ScreenToClient(RECT& r) const;
    bool MoveWindow(int x, int y, int cx, int cy, bool repaint = true) const
    {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint ? TRUE : FALSE) != FALSE;
    }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
    }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }
    void SetFocus() const { ::SetFocus(m_hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

protected:
    HWND m_hWnd = nullptr;
};

// IDC_TRACK_LIST and friends: LB_* messages.
class CListBox : public CWindow {
public:
    using CWindow::CWindow;
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetTextLen(int index) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, index)); }
    // The item's text; false (and an empty text) for an index out of range.
    bool GetText(int index, std::wstring& text) const;
    std::wstring GetText(int index) const { std::wstring t; GetText(index, t); return t; }
    int AddString(const wchar_t* text) const { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int InsertString(int index, const wchar_t* text) const
    {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
    std::vector<int> GetSelItems() const;
    bool GetSel(int index) const { return SendMessage(LB_GETSEL, index) > 0; }
    int SetSel(int index, bool select) const { return static_cast<int>(SendMessage(LB_SETSEL, select ? TRUE : FALSE, index)); }
    int SetCaretIndex(int index) const { return static_cast<int>(SendMessage(LB_SETCARETINDEX, index, FALSE)); }
    int GetCaretIndex() const { return static_cast<int>(SendMessage(LB_GETCARETINDEX)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    void SetRedraw(bool redraw) const { SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE); }
    // Reserves room for a bulk fill: count items of about bytesPerItem each.
    void InitStorage(int count, int bytes) const { SendMessage(LB_INITSTORAGE, count, bytes); }
    int GetHorizontalExtent() const { return static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT)); }
    void SetHorizontalExtent(int cx) const { SendMessage(LB_SETHORIZONTALEXTENT, cx); }
};

// Push buttons and check boxes: BM_* messages.
class CButton : public CWindow {
public:
    using CWindow::CWindow;
    // Wine's buttons keep a copy of every image they are given until they go:
    // a face that is already shown is not given again.
    void SetIcon(HICON icon) const
    {
        if (GetIcon() != icon)
            SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, state); }
};

// The position and volume bars: TBM_* messages.
class CTrackbar : public CWindow {
public:
    using CWindow::CWindow;
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos, bool redraw = true) const { SendMessage(TBM_SETPOS, redraw ? TRUE : FALSE, pos); }
    void SetRange(int minimum, int maximum, bool redraw = true) const
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
    }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetLineSize(int size) const { SendMessage(TBM_SETLINESIZE, 0, size); }
    void SetPageSize(int size) const { SendMessage(TBM_SETPAGESIZE, 0, size); }
    void SetTicFreq(int freq) const { SendMessage(TBM_SETTICFREQ, freq); }
};

class CStatic : public CWindow {
public:
    using CWindow::CWindow;
};

// A rectangle (screen coordinates, wide enough not to overflow) that some
// monitor shows a part of, and no larger than any screen could be: a place
// left over from a monitor that is gone, or from a damaged file, would put a
// window where nobody can reach it.
bool OnVirtualScreen(long long left, long long top, long long right, long long bottom);

// Icons from the program's own resources (shared handles: never destroyed).
HICON LoadAppIcon(int resourceId);
// The small (16x16) image of an icon resource.
HICON LoadAppIconSmall(int resourceId);
HINSTANCE AppInstance();

} // namespace fw
