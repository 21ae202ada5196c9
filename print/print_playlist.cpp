// File > Print: the playlist as plain text, its name centred on top, then a
// blank line and one full path per line in list order.
#include "print/print_playlist.h"

#include "framework/ui_seam.h"
#include "print/print_job.h"

void PrintPlaylist(HWND owner, const std::wstring& heading, const std::wstring& docName,
                   const std::vector<SharedText>& lines)
{
    if (lines.empty()) {
        ui::Ui().MessageBox(owner, L"There is nothing to print", L"No Data", MB_ICONINFORMATION);
        return;
    }

    // The Print dialog is the editor's, modal to it. The paths line up in
    // columns only in a fixed-pitch font: where Courier New is missing (Wine)
    // the mapper's fallback for a face alone is a proportional sans.
    CPrintJob job(8, L"Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, L"unknown document",
                  PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE, owner, FIXED_PITCH | FF_MODERN);
    // Spooled under the display name, so the print queue shows which list it is.
    job.SetDocName(docName.c_str());
    if (!job.StartJob())
        return;

    job.PrintLine(heading.c_str(), CPrintJob::PRINT_CENTER);
    job.PrintLine(L"", 0);
    for (const SharedText& line : lines)
        job.PrintLine(line.c_str(), 0);
    job.EndJob();
}
