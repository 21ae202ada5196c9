#pragma once
// The application object: creates the editor window, the main window.
#include "framework/app.h"

class CEditorApp : public fw::CApp {
public:
    bool InitInstance() override;
};
