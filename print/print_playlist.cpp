// File > Print: the playlist as plain text, its name centred on top, then a
// blank line and one full path per line in list order.
#include "print/print_playlist.h"

#include "framework/ui_seam.h"
#include "print/print_job.h"

void PrintPlaylist(HWND owner, const std::string& heading, const std::string& docName,
                   const std::vector<std::string>& lines)
{
    if (lines.empty()) {
        ui::Ui().MessageBox(owner, "There is nothing to print", "No Data", MB_ICONINFORMATION);
        return;
    }

    CPrintJob job(8, "Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, "unknown document",
                  PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE, nullptr);
    // Spooled under the display name, so the print queue shows which list it is.
    job.SetDocName(docName.c_str());
    if (!job.StartJob())
        return;

    job.PrintLine(heading.c_str(), CPrintJob::PRINT_CENTER);
    job.PrintLine("", 0);
    for (const std::string& line : lines)
        job.PrintLine(line.c_str(), 0);
    job.EndJob();
}
