#pragma once
// The application object: creates the editor window, the main window, and
// lets go of it once it is gone.
#include "framework/app.h"

#include <memory>

class CEditorDlg;

class CEditorApp : public fw::CApp {
public:
    CEditorApp();
    ~CEditorApp() override;

    bool InitInstance() override;

private:
    void OnMainWindowDestroyed() override;
    bool PreTranslateMessage(MSG& msg) override;

    std::unique_ptr<CEditorDlg> m_editor;
};
