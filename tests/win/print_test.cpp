// Printing on the default printer (the CUPS PDF queue of scripts/cups-setup.sh),
// chosen through the UI seam's Print dialog: the messages, the job's GDI
// objects given back, the half-inch margins, the centred heading and the page
// breaks. (The editor's File > Print into a PDF read back: modal_test.cpp.)
#include "print/print_job.h"
#include "print/print_playlist.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

PrintAnswer DefaultPrinter()
{
    return [](PRINTDLGW& pd) { return pd.Flags |= PD_RETURNDEFAULT, pd.hDevMode = pd.hDevNames = nullptr, ::PrintDlgW(&pd) && pd.hDC; };
}
std::wstring LastBox(const FakeUi& ui) { return ui.boxes.empty() ? L"" : ui.boxes.back().caption + L": " + ui.boxes.back().text; }

TEST(Print, MessagesMarginsHeadingAndPageBreaks)
{
    FakeUi ui;
    PrintPlaylist(nullptr, L"heading", L"doc", {});
    EXPECT_TRUE(LastBox(ui) == L"No Data: There is nothing to print" && ui.boxes[0].type == MB_ICONINFORMATION && ui.printDialogs == 0);
    PRINTDLGW seen{};
    ui.printAnswers = {[&seen](PRINTDLGW& pd) { return seen = pd, false; }, [](PRINTDLGW& pd) { return pd.hDC = nullptr, true; }, DefaultPrinter(),
                       DefaultPrinter()};
    for (int i = 0; i < 4; ++i) // cancelled, no context, then printed twice
        PrintPlaylist(nullptr, L"heading", L"doc", {L"C:\\a.mp3"});
    EXPECT_TRUE(seen.Flags == (PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC) && seen.nCopies == 1);
    EXPECT_TRUE(ui.boxes.size() == 2 && LastBox(ui) == L"Print Error: Unable to retrieve handle to device context");
    const int gdi = GdiObjectCount(); // after a print, which loads the printer driver
    ui.printAnswers = {DefaultPrinter()};
    PrintPlaylist(nullptr, L"heading", L"doc", {L"C:\\a.mp3"});
    EXPECT_EQ(GdiObjectCount(), gdi) << L"the job's font and context are gone";

    CPrintJob job(8, L"Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, L"first", 0, nullptr, FIXED_PITCH | FF_MODERN);
    EXPECT_THROW(job.PrintLine(L"x", 0), PrintException);
    HWND notADc = ::GetDesktopWindow();
    ui.printAnswers = {[notADc](PRINTDLGW& pd) { return pd.hDC = reinterpret_cast<HDC>(notADc), true; }, DefaultPrinter()};
    EXPECT_FALSE(job.StartJob() || job.IsRunning());
    EXPECT_EQ(LastBox(ui), L"Print Error: Unable to attach device context");
    ASSERT_TRUE(job.SetDocName(L"rules") && job.StartJob()) << L"no default printer (scripts/cups-setup.sh)";
    EXPECT_FALSE(job.StartJob() || job.SetDocName(L"other") || job.GetDocName() != L"rules") << L"a running job is left alone";
    const HDC dc = job.GetPrinterDC();
    LOGFONTW font{}; // upright, of the default quality, in a fixed pitch
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_TRUE(font.lfEscapement == 0 && font.lfOrientation == 0 && font.lfQuality == DEFAULT_QUALITY && (font.lfPitchAndFamily & 3) == FIXED_PITCH);
    const RECT area = job.GetPrintRectangle();
    EXPECT_NEAR(area.left, ::GetDeviceCaps(dc, LOGPIXELSX) / 2 - ::GetDeviceCaps(dc, PHYSICALOFFSETX), 1);
    EXPECT_NEAR(area.top, ::GetDeviceCaps(dc, LOGPIXELSY) / 2 - ::GetDeviceCaps(dc, PHYSICALOFFSETY), 1);
    EXPECT_TRUE(job.GetLinesPerPage() == (area.bottom - area.top) / job.GetLineHeight() && job.GetLinesPerPage() > 10);
    // A centred heading: its middle on the page's; an empty one leaves the
    // cursor in the middle for the next line.
    SIZE heading{};
    ::GetTextExtentPoint32W(dc, L"Heading", 7, &heading);
    job.Print(L"Heading", CPrintJob::PRINT_CENTER);
    EXPECT_EQ(job.GetCursorX(), job.GetPrintWidth() / 2 - heading.cx / 2 + heading.cx);
    job.Print(L"", CPrintJob::PRINT_CENTER);
    EXPECT_EQ(job.GetCursorX(), job.GetPrintWidth() / 2);
    job.PrintLine(L"", 0);
    // A line that fills the page breaks it at once; a line wider than the page wraps.
    for (int i = 2; i < job.GetLinesPerPage(); ++i)
        job.PrintLine(L"line", 0);
    EXPECT_EQ(job.GetCursorY(), (job.GetLinesPerPage() - 1) * job.GetLineHeight());
    job.PrintLine(L"last", 0);
    EXPECT_EQ(job.GetCursorY(), 0);
    job.Print(std::wstring(300, L'W').c_str(), 0);
    EXPECT_TRUE(job.GetCursorY() >= job.GetLineHeight() && job.GetCursorX() > 0 && job.GetCursorX() < job.GetPrintWidth());
    job.EndJob();
    job.EndJob();
    EXPECT_FALSE(job.IsRunning());
}

} // namespace
