#include "print/print_job.h"

#include "framework/ui_seam.h"

#include <cstring>
#include <cwchar>

namespace {

const wchar_t kPrintErrorCaption[] = L"Print Error";
const char kNoJobForPrint[] = "Attempted to print without initializing a job!";
const char kNoJobForPageBreak[] = "Attempted to insert a page break without a job initialized!";

// A device-unit size in the context's logical units. Extents are taken by
// magnitude so that a y axis growing upward (MM_TWIPS) still gives a
// positive size.
SIZE DeviceToLogicalSize(HDC dc, SIZE size)
{
    SIZE window{1, 1};
    SIZE viewport{1, 1};
    ::GetWindowExtEx(dc, &window);
    ::GetViewportExtEx(dc, &viewport);
    auto scale = [](LONG value, LONG windowExt, LONG viewportExt) {
        if (viewportExt == 0)
            return value;
        return static_cast<LONG>(::MulDiv(value, windowExt < 0 ? -windowExt : windowExt,
                                          viewportExt < 0 ? -viewportExt : viewportExt));
    };
    return SIZE{scale(size.cx, window.cx, viewport.cx), scale(size.cy, window.cy, viewport.cy)};
}

bool IsDeviceContext(HDC dc)
{
    switch (::GetObjectType(dc)) {
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_METADC:
    case OBJ_ENHMETADC:
        return true;
    default:
        return false;
    }
}

} // namespace

int PointsToHeight(HDC dc, int points)
{
    int height = ::GetDeviceCaps(dc, LOGPIXELSY) * points / 72;
    return DeviceToLogicalSize(dc, SIZE{0, height}).cy;
}

RECT GetPrintRect(HDC dc, float left, float right, float top, float bottom)
{
    ::SetMapMode(dc, MM_TWIPS);
    SIZE paper = DeviceToLogicalSize(dc, SIZE{::GetDeviceCaps(dc, PHYSICALWIDTH), ::GetDeviceCaps(dc, PHYSICALHEIGHT)});
    SIZE offset =
        DeviceToLogicalSize(dc, SIZE{::GetDeviceCaps(dc, PHYSICALOFFSETX), ::GetDeviceCaps(dc, PHYSICALOFFSETY)});

    // Twips measured from the printable area's origin; y grows upward here.
    POINT corners[2];
    corners[0].x = static_cast<LONG>(left * 1440 - offset.cx);
    corners[0].y = -static_cast<LONG>(top * 1440 - offset.cy);
    corners[1].x = static_cast<LONG>(paper.cx - offset.cx - right * 1440);
    corners[1].y = -static_cast<LONG>(paper.cy - offset.cy - bottom * 1440);
    ::LPtoDP(dc, corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

CPrintJob::CPrintJob(int fontSize, const wchar_t* fontFace, float leftMargin, float rightMargin, float topMargin,
                     float bottomMargin, int fontWeight, bool italic, bool underline, bool strikeOut,
                     const wchar_t* docName, DWORD dialogFlags, HWND parent, BYTE pitchAndFamily)
    : m_dialog(dialogFlags, parent),
      m_fLeftMargin(leftMargin),
      m_fRightMargin(rightMargin),
      m_fTopMargin(topMargin),
      m_fBottomMargin(bottomMargin),
      m_strFontFace(fontFace ? fontFace : L""),
      m_nFontSize(fontSize),
      m_nFontWeight(fontWeight),
      m_nPitchAndFamily(pitchAndFamily),
      m_bItalic(italic ? TRUE : FALSE),
      m_bUnderline(underline ? TRUE : FALSE),
      m_bStrikeOut(strikeOut ? TRUE : FALSE),
      m_strDocName(docName ? docName : L"")
{
}

CPrintJob::~CPrintJob() { CPrintJob::EndJob(); }

INT_PTR CPrintJob::DoModal() { return IDCANCEL; }

void CPrintJob::ShowError(const wchar_t* message) const
{
    ui::Ui().MessageBox(m_dialog.m_pd.hwndOwner, message, kPrintErrorCaption, MB_ICONEXCLAMATION);
}

bool CPrintJob::StartJob()
{
    if (IsRunning())
        return false;
    if (m_dialog.DoModal() != IDOK)
        return false;

    m_nCursorX = 0;
    m_nCursorY = 0;

    HDC hdc = m_dialog.TakePrinterDC();
    if (!hdc) {
        ShowError(L"Unable to retrieve handle to device context");
        return false;
    }
    if (!IsDeviceContext(hdc) || !m_dc.Attach(hdc)) {
        // The handle is ours now: a context that could not be held is
        // deleted here, or nobody would.
        if (IsDeviceContext(hdc))
            ::DeleteDC(hdc);
        ShowError(L"Unable to attach device context");
        return false;
    }

    HFONT font = ::CreateFontW(-PointsToHeight(hdc, m_nFontSize), 0, 0, 0, m_nFontWeight, m_bItalic, m_bUnderline,
                               m_bStrikeOut, 0, 0, 0, 0, m_nPitchAndFamily, m_strFontFace.c_str());
    if (!m_dc.SelectObject(font, true)) {
        ReleaseContext();
        ShowError(L"Unable to select font object");
        return false;
    }

    DOCINFOW doc{};
    doc.cbSize = sizeof(DOCINFOW);
    doc.lpszDocName = m_strDocName.c_str();
    doc.lpszOutput = nullptr;
    doc.lpszDatatype = nullptr;
    doc.fwType = 0;
    if (::StartDocW(hdc, &doc) < 0) {
        ::AbortDoc(hdc);
        ReleaseContext();
        return false;
    }

    m_rectPrint = GetPrintRect(hdc, m_fLeftMargin, m_fRightMargin, m_fTopMargin, m_fBottomMargin);
    ::StartPage(hdc);
    ::SetMapMode(hdc, MM_TEXT);

    TEXTMETRICW tm{};
    ::GetTextMetricsW(hdc, &tm);
    m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
    // A font without height would divide by zero in the page arithmetic.
    if (m_nLineHeight < 1)
        m_nLineHeight = 1;
    m_nLinesPerPage = (m_rectPrint.bottom - m_rectPrint.top) / m_nLineHeight;
    m_nPrintWidth = m_rectPrint.right - m_rectPrint.left;
    return true;
}

void CPrintJob::Print(const wchar_t* text, int flags)
{
    if (!IsRunning())
        throw PrintException(kNoJobForPrint);
    if (!text)
        text = L"";
    HDC dc = GetPrinterDC();
    const int length = static_cast<int>(std::wcslen(text));

    int lineStart = m_nCursorX;
    if (flags & PRINT_CENTER) {
        SIZE extent{0, 0};
        ::GetTextExtentPoint32W(dc, text, length, &extent);
        m_nCursorX = m_nPrintWidth / 2 - extent.cx / 2;
        lineStart = m_nCursorX;
    }
    if (flags & PRINT_VCENTER)
        m_nCursorY = m_nLinesPerPage * m_nLineHeight / 2;

    // One character at a time (a surrogate pair is one): the wrap test comes
    // before each character and does not count its width, so a line may end
    // past the print width.
    for (int i = 0, units = 1; i < length; i += units) {
        const unsigned unit = static_cast<unsigned>(text[i]);
        const unsigned next = i + 1 < length ? static_cast<unsigned>(text[i + 1]) : 0;
        units = unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF ? 2 : 1;
        if (m_nCursorX >= m_nPrintWidth) {
            m_nCursorX = lineStart;
            m_nCursorY += m_nLineHeight;
        }
        if (m_nCursorY / m_nLineHeight + 1 > m_nLinesPerPage)
            PageBreak();
        ::TextOutW(dc, m_rectPrint.left + m_nCursorX, m_rectPrint.top + m_nCursorY, text + i, units);
        SIZE extent{0, 0};
        ::GetTextExtentPoint32W(dc, text + i, units, &extent);
        m_nCursorX += extent.cx;
    }
}

void CPrintJob::PrintLine(const wchar_t* text, int flags)
{
    Print(text, flags);
    m_nCursorX = 0;
    m_nCursorY += m_nLineHeight;
    // A full page is broken at once, not when the next line arrives.
    if (m_nCursorY / m_nLineHeight + 1 > m_nLinesPerPage)
        PageBreak();
}

void CPrintJob::PageBreak()
{
    if (!IsRunning())
        throw PrintException(kNoJobForPageBreak);
    m_nCursorX = 0;
    m_nCursorY = 0;
    HDC dc = GetPrinterDC();
    ::EndPage(dc);
    ::StartPage(dc);
}

void CPrintJob::EndJob()
{
    if (!IsRunning())
        return;
    HDC dc = GetPrinterDC();
    ::EndPage(dc);
    ::EndDoc(dc);
    ReleaseContext();
}

bool CPrintJob::SetDocName(const wchar_t* name)
{
    if (IsRunning())
        return false;
    m_strDocName = name ? name : L"";
    return true;
}
