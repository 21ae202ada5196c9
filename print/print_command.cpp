// Placeholder until printing lands: keeps the program linking.
#include "editor/editor_dlg.h"

void CEditorDlg::OnFilePrint() {}
