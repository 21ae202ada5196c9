// Placeholder until settings.dat and continue.dat land: keeps the program linking.
#include "editor/editor_dlg.h"

bool CEditorDlg::LoadSettings() { return false; }
void CEditorDlg::SaveSettings() {}
bool CEditorDlg::LoadResume(int&, int&, std::vector<int>&) { return false; }
void CEditorDlg::SaveResume() {}
void CEditorDlg::ResumePlayQueue(int, int, const std::vector<int>&) {}
