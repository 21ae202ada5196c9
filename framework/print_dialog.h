#pragma once
// The common Print dialog (PrintDlgA through the UI seam), handing back a
// printer device context, and a device-context object that owns one.
#include <windows.h>
#include <commdlg.h>

namespace fw {

class CPrintDialog {
public:
    // flags go to PRINTDLGA; PD_RETURNDC is always added.
    CPrintDialog(DWORD flags, HWND parent);
    virtual ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK when the user chose a printer, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    // The printer context of the last DoModal; the caller owns it from then on.
    HDC TakePrinterDC();

    PRINTDLGA m_pd{};

private:
    void FreeDeviceGlobals();
};

// Owns one device context created for a job (DeleteDC when it goes).
class CDC {
public:
    CDC() = default;
    ~CDC() { Release(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    bool Attach(HDC hdc)
    {
        if (!hdc || m_hDC)
            return false;
        m_hDC = hdc;
        return true;
    }
    void Release()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }
    HDC GetSafeHdc() const { return m_hDC; }

private:
    HDC m_hDC = nullptr;
};

} // namespace fw
