#pragma once
// The common Print dialog (PrintDlgA through the UI seam), handing back a
// printer device context.
#include <windows.h>
#include <commdlg.h>

namespace fw {

class CPrintDialog {
public:
    // flags go to PRINTDLGA; PD_RETURNDC is always added.
    CPrintDialog(DWORD flags, HWND parent);
    ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK when the user chose a printer, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The printer context of the last DoModal; the caller owns it from then on.
    HDC TakePrinterDC();

    // What the dialog is given and answers (a value object: fields in and out).
    PRINTDLGW m_pd{};

private:
    void FreeDeviceGlobals();
};

} // namespace fw
