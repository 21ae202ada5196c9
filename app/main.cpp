// The program's entry point: no command line, environment or registry is read.
#include "app/editor_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CEditorApp app;
    if (!app.InitInstance())
        return 1;
    return app.Run();
}
