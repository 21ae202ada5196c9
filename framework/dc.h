#pragma once
// A device context owned for a scope, however it was obtained: a window's
// (GetDC), a paint's (BeginPaint) or one created for a job (a printer's).
// The GDI objects selected through it go back out before the context is
// released, and those it was handed are deleted then.
#include <windows.h>

#include <vector>

namespace fw {

class CDC {
public:
    CDC() = default;
    ~CDC() { Release(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A window's context, given back with ReleaseDC. False when none came.
    bool GetDC(HWND window);
    // WM_PAINT's context, ended with EndPaint.
    bool BeginPaint(HWND window);
    // A created context (a printer's), deleted with DeleteDC. False for a
    // null handle or while another context is held.
    bool Attach(HDC created);

    // Selects obj for the context's lifetime. An owned object is deleted once
    // it is selected out again, or at once when it cannot be selected. False
    // for a null object or a failed selection.
    bool SelectObject(HGDIOBJ obj, bool owned = false);

    // Selections undone in reverse order, owned objects deleted, the context
    // given back. Safe to call twice.
    void Release();

    HDC GetSafeHdc() const { return m_hDC; }

private:
    enum class Source { None, Window, Paint, Created };
    struct Selection {
        HGDIOBJ previous;
        HGDIOBJ owned; // deleted after previous is back, or null
    };

    HDC m_hDC = nullptr;
    HWND m_hWnd = nullptr;
    Source m_source = Source::None;
    PAINTSTRUCT m_paint{};
    std::vector<Selection> m_selections;
};

} // namespace fw
