#pragma once
// The application object: start-up and the message loop of the one
// user-interface thread. The program ends when the main window is destroyed.
#include <windows.h>

namespace fw {

class CDialog;

class CApp {
public:
    CApp();
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Creates the main window; false ends the program at once.
    virtual bool InitInstance() = 0;
    // The message loop; returns the quit code.
    int Run();

    static CApp* Instance();

    // The main window: its destruction ends the message loop.
    CDialog* m_pMainWnd = nullptr;
};

} // namespace fw
