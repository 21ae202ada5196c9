#include "framework/ui_seam.h"

namespace ui {
namespace {

class RealUi final : public IUiSeam {
public:
    int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        return ::MessageBoxW(owner, text, caption, type);
    }
    bool GetOpenFileName(OPENFILENAMEW& ofn) override { return ::GetOpenFileNameW(&ofn) != FALSE; }
    bool GetSaveFileName(OPENFILENAMEW& ofn) override { return ::GetSaveFileNameW(&ofn) != FALSE; }
    bool PrintDlg(PRINTDLGW& pd) override { return ::PrintDlgW(&pd) != FALSE; }
    void MessageBeep(UINT type) override { ::MessageBeep(type); }
    DWORD CommDlgExtendedError() override { return ::CommDlgExtendedError(); }
};

RealUi g_real;
IUiSeam* g_current = &g_real;

} // namespace

IUiSeam& Ui() { return *g_current; }

IUiSeam* SetUi(IUiSeam* seam)
{
    IUiSeam* previous = g_current;
    g_current = seam ? seam : &g_real;
    return previous;
}

} // namespace ui
