#pragma once
// Everything the program shows modally or sounds goes through this one seam:
// message boxes, the common file dialogs, the Print dialog and MessageBeep.
// The program uses the real ones; tests install their own to answer the
// dialogs and to record what was shown.
#include <windows.h>
#include <commdlg.h>

namespace ui {

class IUiSeam {
public:
    virtual ~IUiSeam() = default;
    virtual int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
    virtual bool GetOpenFileName(OPENFILENAMEW& ofn) = 0;
    virtual bool GetSaveFileName(OPENFILENAMEW& ofn) = 0;
    // Returns what PrintDlgA returned; on success ofn-style out fields (hDC) are filled.
    virtual bool PrintDlg(PRINTDLGW& pd) = 0;
    virtual void MessageBeep(UINT type) = 0;
    // The reason the last file or print dialog failed (0: the user cancelled).
    virtual DWORD CommDlgExtendedError() = 0;
};

// The seam in use: the real one unless a test installed another.
IUiSeam& Ui();
// Installs a seam; nullptr puts the real one back. Returns the previous one.
IUiSeam* SetUi(IUiSeam* seam);

} // namespace ui
