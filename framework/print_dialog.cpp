#include "framework/print_dialog.h"

#include "framework/ui_seam.h"

namespace fw {

CPrintDialog::CPrintDialog(DWORD flags, HWND parent)
{
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.hwndOwner = parent;
    m_pd.Flags = flags | PD_RETURNDC;
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDC)
        ::DeleteDC(m_pd.hDC);
    FreeDeviceGlobals();
}

void CPrintDialog::FreeDeviceGlobals()
{
    if (m_pd.hDevMode)
        ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        ::GlobalFree(m_pd.hDevNames);
    m_pd.hDevMode = nullptr;
    m_pd.hDevNames = nullptr;
}

INT_PTR CPrintDialog::DoModal()
{
    if (m_pd.hDC) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    return ui::Ui().PrintDlg(m_pd) ? IDOK : IDCANCEL;
}

HDC CPrintDialog::TakePrinterDC()
{
    HDC hdc = m_pd.hDC;
    m_pd.hDC = nullptr;
    return hdc;
}

} // namespace fw
