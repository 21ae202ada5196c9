#include "app/editor_app.h"

#include "editor/editor_dlg.h"

#include <commctrl.h>

bool CEditorApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    // The editor object deletes itself after its window is gone.
    CEditorDlg* editor = new CEditorDlg(nullptr);
    if (!editor->GetHwnd()) {
        delete editor;
        return false;
    }
    m_pMainWnd = editor;
    return true;
}
