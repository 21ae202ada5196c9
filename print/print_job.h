#pragma once
// A small text printer: the Print dialog picks the printer, then plain text
// is laid out in one font, line by line, inside fixed margins, wrapping long
// text at any character and starting new pages by itself.
#include "framework/dc.h"
#include "framework/print_dialog.h"

#include <exception>
#include <string>

// Thrown when text or a page break is sent without a running job: a
// programming error, so nothing in the program catches it.
class PrintException : public std::exception {
public:
    explicit PrintException(std::string message) : m_strMessage(std::move(message)) {}
    const char* what() const noexcept override { return m_strMessage.c_str(); }

private:
    std::string m_strMessage;
};

// The area inside the margins (inches from the paper's edges), in device
// units measured from the origin of the printable area. Leaves the context
// in MM_TWIPS.
RECT GetPrintRect(HDC dc, float left, float right, float top, float bottom);
// A font height of `points` in the context's logical units.
int PointsToHeight(HDC dc, int points);

class CPrintJob {
public:
    // Flags of Print and PrintLine.
    enum : int {
        PRINT_CENTER = 1,  // centre the text in the print width
        PRINT_VCENTER = 2, // start at the vertical middle of the page
    };

    // pitchAndFamily goes with the face to the font mapper, which falls back
    // on a font of that pitch and family where the face is missing.
    CPrintJob(int fontSize, const wchar_t* fontFace, float leftMargin, float rightMargin, float topMargin,
              float bottomMargin, int fontWeight, bool italic, bool underline, bool strikeOut,
              const wchar_t* docName, DWORD dialogFlags, HWND parent, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);
    // Finishes a job that is still running.
    virtual ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // The dialog is shown only by StartJob: on its own it shows nothing.
    INT_PTR DoModal();

    // Asks for the printer and opens the document with its first page.
    virtual bool StartJob();
    virtual void Print(const wchar_t* text, int flags);
    virtual void PrintLine(const wchar_t* text, int flags);
    virtual void EndJob();
    void PageBreak();
    // Only before a job starts.
    bool SetDocName(const wchar_t* name);

    bool IsRunning() const { return m_dc.GetSafeHdc() != nullptr; }
    HDC GetPrinterDC() const { return m_dc.GetSafeHdc(); }
    // The Print dialog's record: the flags it is shown with, its owner.
    const PRINTDLGW& DialogRecord() const { return m_dialog.m_pd; }
    const std::wstring& GetDocName() const { return m_strDocName; }
    RECT GetPrintRectangle() const { return m_rectPrint; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetPrintWidth() const { return m_nPrintWidth; }
    int GetLinesPerPage() const { return m_nLinesPerPage; }
    int GetCursorX() const { return m_nCursorX; }
    int GetCursorY() const { return m_nCursorY; }

private:
    void ShowError(const wchar_t* message) const;
    // Ends the job's hold on the printer: the font goes back out and is
    // deleted, then the context, so that a print leaves no GDI object behind.
    void ReleaseContext() { m_dc.Release(); }

    fw::CPrintDialog m_dialog;
    float m_fLeftMargin;
    float m_fRightMargin;
    float m_fTopMargin;
    float m_fBottomMargin;
    RECT m_rectPrint{0, 0, 0, 0};
    std::wstring m_strFontFace;
    int m_nFontSize;
    int m_nLineHeight = 0;
    int m_nPrintWidth = 0;
    int m_nFontWeight;
    BYTE m_nPitchAndFamily;
    BOOL m_bItalic;
    BOOL m_bUnderline;
    BOOL m_bStrikeOut;
    int m_nCursorX = 0;
    int m_nCursorY = 0;
    int m_nLinesPerPage = 0;
    // The printer context with the job's font selected: held exactly while
    // a job runs.
    fw::CDC m_dc;
    std::wstring m_strDocName;
};
