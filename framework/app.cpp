#include "framework/app.h"

#include "framework/dialog.h"

namespace fw {

int CApp::Run()
{
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslateMessage(msg) && !IsModelessDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // The main window goes inside some handler, perhaps deep in a modal
        // loop; its objects are let go only once that handler has returned.
        if (m_mainWnd && !::IsWindow(m_mainWnd)) {
            m_mainWnd = nullptr;
            OnMainWindowDestroyed();
            ::PostQuitMessage(0);
        }
    }
    return static_cast<int>(msg.wParam);
}

} // namespace fw
