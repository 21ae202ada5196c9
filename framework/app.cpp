#include "framework/app.h"

#include "framework/dialog.h"

namespace fw {
namespace {
CApp* g_app = nullptr;
}

CApp::CApp() { g_app = this; }

CApp::~CApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CApp* CApp::Instance() { return g_app; }

int CApp::Run()
{
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsModelessDialogMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace fw
