#include "framework/ui_seam.h"

namespace ui {
namespace {

class RealUi final : public IUiSeam {
public:
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override
    {
        return ::MessageBoxA(owner, text, caption, type);
    }
    bool GetOpenFileName(OPENFILENAMEA& ofn) override { return ::GetOpenFileNameA(&ofn) != FALSE; }
    bool GetSaveFileName(OPENFILENAMEA& ofn) override { return ::GetSaveFileNameA(&ofn) != FALSE; }
    bool PrintDlg(PRINTDLGA& pd) override { return ::PrintDlgA(&pd) != FALSE; }
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
