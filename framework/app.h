#pragma once
// The application object: start-up and the message loop of the one
// user-interface thread. The program ends when its main window is gone.
#include <windows.h>

namespace fw {

class CApp {
public:
    CApp() = default;
    virtual ~CApp() = default;
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Creates the main window; false ends the program at once.
    virtual bool InitInstance() = 0;
    // The message loop; returns the quit code.
    int Run();

protected:
    // The window whose destruction ends the message loop.
    void SetMainWindow(HWND hwnd) { m_mainWnd = hwnd; }
    // Once the main window is destroyed, before the quit message is posted:
    // the place to let go of what belonged to it.
    virtual void OnMainWindowDestroyed() {}
    // Each message before the dialogs' keyboard handling sees it: true when
    // the program made something else of it (a key became a command).
    virtual bool PreTranslateMessage(MSG&) { return false; }

private:
    HWND m_mainWnd = nullptr;
};

} // namespace fw
