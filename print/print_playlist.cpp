// File > Print: the playlist as plain text, its name centred on top, then a
// blank line and one full path per line in list order.
#include "editor/editor_dlg.h"
#include "framework/ui_seam.h"
#include "print/print_job.h"

void CEditorDlg::OnFilePrint()
{
    const int count = m_list.GetCount();
    if (count <= 0) {
        ui::Ui().MessageBox(GetHwnd(), "There is nothing to print", "No Data", MB_ICONINFORMATION);
        return;
    }

    CPrintJob job(8, "Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, "unknown document",
                  PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE, nullptr);
    // Spooled under the display name, so the print queue shows which list it is.
    job.SetDocName(m_strFileName.c_str());
    if (!job.StartJob())
        return;

    job.PrintLine(m_strFilePath.empty() ? m_strFileName.c_str() : m_strFilePath.c_str(), CPrintJob::PRINT_CENTER);
    job.PrintLine("", 0);
    std::string path;
    for (int i = 0; i < count; ++i) {
        m_list.GetText(i, path);
        job.PrintLine(path.c_str(), 0);
    }
    job.EndJob();
}
