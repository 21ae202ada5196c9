// The program's entry point: no command line, environment or registry is read.
#include "app/editor_app.h"

#include <windows.h>

namespace {
CEditorApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!theApp.InitInstance())
        return 1;
    return theApp.Run();
}
