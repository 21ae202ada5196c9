#include "app/editor_app.h"

#include "editor/editor_dlg.h"

#include <commctrl.h>

CEditorApp::CEditorApp() = default;

CEditorApp::~CEditorApp() = default;

bool CEditorApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    m_editor = std::make_unique<CEditorDlg>();
    if (!m_editor->Create(nullptr)) {
        m_editor.reset();
        return false;
    }
    SetMainWindow(m_editor->GetHwnd());
    return true;
}

// The player and the tray icon go with the editor object, before the loop
// ends: the audio device is closed and the icon removed while the program
// still runs.
void CEditorApp::OnMainWindowDestroyed() { m_editor.reset(); }

bool CEditorApp::PreTranslateMessage(MSG& msg) { return m_editor && m_editor->TranslateKeys(msg); }
