// File > Print through a real printer: the CUPS queue "PDFLetter" (Letter,
// 300 dpi, printable area offset by 50 device units) writes PDF files into
// the folder named by QUILLON_PDF_DIR (scripts/cups-setup.sh makes both).
// The PDFs are read back with poppler's pdfinfo and pdftotext, run as Linux
// programs: Wine starts a Unix executable through CreateProcess but hands
// back no waitable handle, so each run ends by renaming its result file and
// the test polls for that name.
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "print/print_job.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"
#include "support/gui_objects.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::LoadTracks;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const char kPrinter[] = "PDFLetter";

using testing_support::GdiObjectCount;

void Command(CEditorDlg& editor, UINT id) { editor.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0)); }

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(' ');
    const size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// One word of `pdftotext -bbox`, in points from the paper's top left corner.
struct Word {
    int page;
    double xMin, yMin, xMax, yMax;
    std::string text;
};

// What poppler reads back from one PDF.
struct Pdf {
    std::string name;
    std::string title;
    int pages = 0;
    std::vector<std::vector<std::string>> pageLines; // `pdftotext -layout`, per page
    std::vector<Word> words;

    // The text lines of the document, pages one after another, trailing
    // empty lines of each page left out.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> all;
        for (const auto& page : pageLines)
            all.insert(all.end(), page.begin(), page.end());
        return all;
    }
    const Word* FindWord(const std::string& text, int page = -1) const
    {
        for (const Word& w : words)
            if (w.text == text && (page < 0 || w.page == page))
                return &w;
        return nullptr;
    }
};

double Attribute(const std::string& tag, const char* name)
{
    const std::string key = std::string(name) + "=\"";
    const size_t at = tag.find(key);
    return at == std::string::npos ? -1.0 : std::atof(tag.c_str() + at + key.size());
}

// The folder the printer writes to, seen from Linux and from Windows.
class PdfFolder {
public:
    bool Open()
    {
        char buffer[MAX_PATH] = "";
        DWORD n = ::GetEnvironmentVariableA("QUILLON_PDF_DIR", buffer, sizeof buffer);
        if (n == 0 || n >= sizeof buffer)
            return false;
        m_unix = buffer;
        if (m_unix.empty() || m_unix[0] != '/')
            return false;
        m_windows = "Z:" + Replace(m_unix, "/", "\\");
        char tag[64];
        wsprintfA(tag, "check-%lu", ::GetCurrentProcessId());
        m_workUnix = m_unix + "/" + tag;
        m_workWindows = m_windows + "\\" + tag;
        ::CreateDirectoryA(m_workWindows.c_str(), nullptr);
        return ::GetFileAttributesA(m_workWindows.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    ~PdfFolder()
    {
        if (m_workWindows.empty())
            return;
        for (const char* name : {"check.sh", "info.txt", "layout.txt", "bbox.html", "done"})
            ::DeleteFileA((m_workWindows + "\\" + name).c_str());
        ::RemoveDirectoryA(m_workWindows.c_str());
    }

    // The PDFs read so far, deleted when the test passed (kept to look at otherwise).
    void RemoveRead()
    {
        for (const std::string& name : m_read)
            ::DeleteFileA((m_windows + "\\" + name).c_str());
        m_read.clear();
    }

    std::set<std::string> Snapshot() const
    {
        std::set<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA((m_windows + "\\*.pdf").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do
            names.insert(data.cFileName);
        while (::FindNextFileA(find, &data));
        ::FindClose(find);
        return names;
    }

    // The PDFs that appeared since `before`, waiting up to timeoutMs for the
    // first one (CUPS hands the job to cups-pdf and Ghostscript in the background).
    std::vector<std::string> NewFiles(const std::set<std::string>& before, DWORD timeoutMs) const
    {
        std::vector<std::string> added;
        fw::PumpUntil(
            [&] {
                added.clear();
                for (const std::string& name : Snapshot())
                    if (!before.count(name))
                        added.push_back(name);
                return !added.empty();
            },
            timeoutMs);
        return added;
    }

    // Waits for the spooler to finish the file, then reads it back with poppler.
    ::testing::AssertionResult Read(const std::string& name, Pdf& pdf)
    {
        m_read.push_back(name);
        const std::string work = m_workWindows + "\\";
        for (const char* f : {"info.txt", "layout.txt", "bbox.html", "done"})
            ::DeleteFileA((work + f).c_str());
        // The file appears before it is complete: wait until the queue is
        // empty and pdfinfo can read it.
        const std::string script =
            "PATH=/usr/bin:/bin:/usr/sbin:/sbin; export PATH\n"
            "cd '" + m_workUnix + "' || exit 1\n"
            "pdf='" + m_unix + "/" + name + "'\n"
            "i=0\n"
            "while [ $i -lt 300 ]; do\n"
            "  if [ -z \"$(lpstat -o 2>/dev/null)\" ] && pdfinfo \"$pdf\" >/dev/null 2>&1; then break; fi\n"
            "  i=$((i+1)); sleep 0.1\n"
            "done\n"
            "pdfinfo \"$pdf\" >info.txt 2>&1\n"
            "pdftotext -layout \"$pdf\" layout.txt 2>>info.txt\n"
            "pdftotext -bbox \"$pdf\" bbox.html 2>>info.txt\n"
            "echo ok >done.tmp && mv done.tmp done\n";
        if (!WriteFileBytes(work + "check.sh", script))
            return ::testing::AssertionFailure() << "cannot write the check script in " << work;
        std::string command = "/bin/sh " + m_workUnix + "/check.sh";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return ::testing::AssertionFailure() << "cannot start /bin/sh: error " << ::GetLastError();
        if (pi.hProcess)
            ::CloseHandle(pi.hProcess);
        if (pi.hThread)
            ::CloseHandle(pi.hThread);
        if (!fw::PumpUntil([&] { return testing_support::FileExists(work + "done"); }, 60000))
            return ::testing::AssertionFailure() << "poppler did not answer for " << name;

        pdf = Pdf();
        pdf.name = name;
        const std::string info = ReadFileBytes(work + "info.txt");
        for (const std::string& line : SplitLines(info)) {
            if (line.rfind("Title:", 0) == 0)
                pdf.title = Trim(line.substr(6));
            if (line.rfind("Pages:", 0) == 0)
                pdf.pages = std::atoi(line.c_str() + 6);
        }
        if (pdf.pages <= 0)
            return ::testing::AssertionFailure() << "pdfinfo " << name << ":\n" << info;

        // pdftotext gives ASCII '-' back as a soft hyphen (U+00AD).
        const std::string layout = Replace(ReadFileBytes(work + "layout.txt"), "\xC2\xAD", "-");
        size_t from = 0;
        for (int page = 0; page < pdf.pages; ++page) {
            size_t end = layout.find('\f', from);
            std::vector<std::string> lines =
                SplitLines(layout.substr(from, end == std::string::npos ? std::string::npos : end - from));
            while (!lines.empty() && Trim(lines.back()).empty())
                lines.pop_back();
            pdf.pageLines.push_back(lines);
            if (end == std::string::npos)
                break;
            from = end + 1;
        }

        const std::string bbox = Replace(ReadFileBytes(work + "bbox.html"), "\xC2\xAD", "-");
        int page = -1;
        for (size_t at = bbox.find('<'); at != std::string::npos; at = bbox.find('<', at + 1)) {
            if (bbox.compare(at, 6, "<page ") == 0) {
                ++page;
            } else if (bbox.compare(at, 6, "<word ") == 0) {
                const size_t close = bbox.find('>', at);
                const size_t endTag = bbox.find("</word>", close);
                if (close == std::string::npos || endTag == std::string::npos)
                    break;
                const std::string tag = bbox.substr(at, close - at);
                std::string text = bbox.substr(close + 1, endTag - close - 1);
                text = Replace(Replace(Replace(text, "&lt;", "<"), "&gt;", ">"), "&amp;", "&");
                pdf.words.push_back({page, Attribute(tag, "xMin"), Attribute(tag, "yMin"), Attribute(tag, "xMax"),
                                     Attribute(tag, "yMax"), text});
            }
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::string m_unix, m_windows, m_workUnix, m_workWindows;
    std::vector<std::string> m_read;
};

// The layout the printer's own capabilities call for, worked out apart from
// the print job: 0.5-inch margins, 8-point "Courier New" of weight 500.
struct PrinterLayout {
    int dpiX = 0, dpiY = 0, offsetX = 0, offsetY = 0, paperWidth = 0, paperHeight = 0;
    RECT rect{};
    int lineHeight = 0, linesPerPage = 0, printWidth = 0, charWidth = 0;

    bool Read()
    {
        HDC ic = ::CreateICA(nullptr, kPrinter, nullptr, nullptr);
        if (!ic)
            return false;
        dpiX = ::GetDeviceCaps(ic, LOGPIXELSX);
        dpiY = ::GetDeviceCaps(ic, LOGPIXELSY);
        offsetX = ::GetDeviceCaps(ic, PHYSICALOFFSETX);
        offsetY = ::GetDeviceCaps(ic, PHYSICALOFFSETY);
        paperWidth = ::GetDeviceCaps(ic, PHYSICALWIDTH);
        paperHeight = ::GetDeviceCaps(ic, PHYSICALHEIGHT);
        rect = {dpiX / 2 - offsetX, dpiY / 2 - offsetY, paperWidth - offsetX - dpiX / 2,
                paperHeight - offsetY - dpiY / 2};
        HFONT font = ::CreateFontA(-(dpiY * 8 / 72), 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
        HGDIOBJ old = ::SelectObject(ic, font);
        TEXTMETRICA tm{};
        ::GetTextMetricsA(ic, &tm);
        SIZE size{};
        ::GetTextExtentPoint32A(ic, "M", 1, &size);
        ::SelectObject(ic, old);
        ::DeleteObject(font);
        ::DeleteDC(ic);
        lineHeight = tm.tmHeight + tm.tmExternalLeading;
        printWidth = rect.right - rect.left;
        linesPerPage = lineHeight > 0 ? (rect.bottom - rect.top) / lineHeight : 0;
        charWidth = size.cx;
        return lineHeight > 0 && charWidth > 0;
    }
    // Device units of the printable area to points from the paper's edge.
    double XPoints(int x) const { return (x + offsetX) * 72.0 / dpiX; }
    double YPoints(int y) const { return (y + offsetY) * 72.0 / dpiY; }
    // One device unit, and the rounding of MM_TWIPS under Wine, in points.
    double Slack() const { return 2 * 72.0 / dpiX + 0.01; }
};

// Answers the Print dialog as a user choosing the Letter printer would.
testing_support::PrintAnswer ChoosePrinter()
{
    return [](PRINTDLGA& pd) {
        pd.hDC = ::CreateDCA(nullptr, kPrinter, nullptr, nullptr);
        return pd.hDC != nullptr;
    };
}

std::vector<std::string> Tracks(int count, const char* folder = "C:\\Music\\Some - Band")
{
    std::vector<std::string> tracks;
    for (int i = 1; i <= count; ++i) {
        char name[MAX_PATH];
        wsprintfA(name, "%s\\%03d - Track %d.mp3", folder, i, i);
        tracks.push_back(name);
    }
    return tracks;
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.Alive()) << "the editor window did not open"; }

    FakeUi ui;
    EditorSession session{"print"};
    CEditorDlg& editor = *session.Editor(); // used only after SetUp found it alive
};

// --- Without a printer -------------------------------------------------------

TEST_F(PrintCommand, EmptyListSaysSoAndShowsNoDialog)
{
    ASSERT_EQ(editor.m_list.GetCount(), 0);
    Command(editor, ID_FILE_PRINT);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "There is nothing to print");
    EXPECT_EQ(ui.boxes[0].caption, "No Data");
    EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(ui.printDialogs, 0);

    // After File > New too: "untitled" is a name, not a track.
    Command(editor, ID_FILE_NEW);
    Command(editor, ID_FILE_PRINT);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.printDialogs, 0);
}

TEST_F(PrintCommand, DialogIsAPrintDialogWithoutOwnerOrPrintToFile)
{
    ASSERT_TRUE(LoadTracks(session, Tracks(2)));
    PRINTDLGA seen{};
    ui.printAnswers.push_back([&seen](PRINTDLGA& pd) {
        seen = pd;
        return false; // cancelled
    });
    Command(editor, ID_FILE_PRINT);
    EXPECT_EQ(ui.printDialogs, 1);
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC));
    EXPECT_EQ(seen.hwndOwner, nullptr);
    EXPECT_TRUE(ui.boxes.empty()) << "a cancelled dialog is silent";
    EXPECT_EQ(editor.m_list.GetCount(), 2);
    EXPECT_FALSE(editor.m_bModified);
}

TEST_F(PrintCommand, DialogWithoutContextShowsPrintError)
{
    ASSERT_TRUE(LoadTracks(session, Tracks(1)));
    ui.printAnswers.push_back([](PRINTDLGA& pd) {
        pd.hDC = nullptr;
        return true;
    });
    Command(editor, ID_FILE_PRINT);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to retrieve handle to device context");
    EXPECT_EQ(ui.boxes[0].caption, "Print Error");
    EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
}

// --- Through the printer -------------------------------------------------------

class PrintToPdf : public PrintCommand {
protected:
    void SetUp() override
    {
        PrintCommand::SetUp();
        if (HasFatalFailure())
            return;
        if (!folder.Open())
            GTEST_SKIP() << "QUILLON_PDF_DIR names no folder: no printer set up (scripts/cups-setup.sh)";
        // The set-up script promises the printer: not finding it is a fault.
        ASSERT_TRUE(layout.Read()) << "Wine sees no printer \"" << kPrinter << "\"";
        ASSERT_EQ(layout.dpiX, 300);
        ASSERT_GT(layout.offsetX, 0) << "the Letter queue has an offset: code that forgets it must fail";
        ASSERT_GT(layout.linesPerPage, 10);
    }
    void TearDown() override
    {
        if (!HasFailure())
            folder.RemoveRead();
    }

    // Runs File > Print with the printer chosen and reads back the one PDF it made.
    ::testing::AssertionResult PrintOnce(Pdf& pdf)
    {
        const std::set<std::string> before = folder.Snapshot();
        ui.printAnswers.push_back(ChoosePrinter());
        Command(editor, ID_FILE_PRINT);
        if (!ui.boxes.empty())
            return ::testing::AssertionFailure() << "message box: " << ui.boxes.back().text;
        return ReadNew(before, pdf);
    }

    // Exactly one PDF since `before`: Read waits until the queue is empty,
    // so a second job would be there by then.
    ::testing::AssertionResult ReadNew(const std::set<std::string>& before, Pdf& pdf)
    {
        const std::vector<std::string> added = folder.NewFiles(before, 60000);
        if (added.empty())
            return ::testing::AssertionFailure() << "no PDF appeared";
        ::testing::AssertionResult read = folder.Read(added[0], pdf);
        if (!read)
            return read;
        const std::vector<std::string> all = folder.NewFiles(before, 0);
        if (all.size() != 1)
            return ::testing::AssertionFailure() << all.size() << " new PDF files, one expected";
        return ::testing::AssertionSuccess();
    }

    // Heading, blank line, the tracks, in that order and nothing else.
    static ::testing::AssertionResult PrintsAsList(const Pdf& pdf, const std::string& heading,
                                                   const std::vector<std::string>& tracks)
    {
        std::vector<std::string> lines = pdf.Lines();
        for (std::string& line : lines)
            line = Trim(line);
        std::vector<std::string> want{heading, ""};
        want.insert(want.end(), tracks.begin(), tracks.end());
        if (lines != want) {
            auto failure = ::testing::AssertionFailure() << "printed:\n";
            for (const std::string& line : lines)
                failure << "  [" << line << "]\n";
            return failure;
        }
        return ::testing::AssertionSuccess();
    }

    PdfFolder folder;
    PrinterLayout layout;
};

TEST_F(PrintToPdf, LoadedPlaylistPrintsItsPathAndTracks)
{
    const std::vector<std::string> tracks = Tracks(5);
    ASSERT_TRUE(LoadTracks(session, tracks, "Road trip.m3u"));
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    EXPECT_EQ(pdf.title, "Road trip.m3u") << "spooled under the display name";
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_TRUE(PrintsAsList(pdf, session.File("Road trip.m3u"), tracks));
    // Printing changes nothing in the editor.
    EXPECT_FALSE(editor.m_bModified);
    EXPECT_EQ(editor.m_list.GetCount(), 5);
}

TEST_F(PrintToPdf, NewListPrintsUntitled)
{
    ASSERT_TRUE(LoadTracks(session, Tracks(3), "old.m3u"));
    Command(editor, ID_FILE_NEW);
    ASSERT_EQ(editor.m_strFileName, "untitled");
    ui.fileAnswers.push_back(FakeUi::ChooseMany("C:\\Tunes", {"b.mp3", "a.mp3"}));
    Command(editor, IDC_ADD_TRACKS);
    ASSERT_EQ(editor.m_list.GetCount(), 2);
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    EXPECT_EQ(pdf.title, "untitled");
    EXPECT_TRUE(PrintsAsList(pdf, "untitled", {"C:\\Tunes\\b.mp3", "C:\\Tunes\\a.mp3"}));
}

// Tracks added before any playlist was loaded or saved: the display name is
// still empty, so the heading line is blank and the job has no name.
TEST_F(PrintToPdf, NamelessListPrintsABlankHeading)
{
    ASSERT_EQ(editor.m_strFileName, "");
    ui.fileAnswers.push_back(FakeUi::ChooseMany("C:\\Tunes", {"only.mp3"}));
    Command(editor, IDC_ADD_TRACKS);
    ASSERT_EQ(editor.m_list.GetCount(), 1);
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    EXPECT_EQ(pdf.title, "");
    const Word* track = pdf.FindWord("C:\\Tunes\\only.mp3");
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(pdf.words.size(), 1u) << "nothing else is printed";
    // In the third line's cell: below the blank heading and the blank line.
    const double linePoints = layout.lineHeight * 72.0 / layout.dpiY;
    EXPECT_GE(track->yMin, 36.0 + 2 * linePoints - layout.Slack());
    EXPECT_LE(track->yMax, 36.0 + 3 * linePoints + layout.Slack());
}

TEST_F(PrintToPdf, OneTrackGivesThreeLines)
{
    ASSERT_TRUE(LoadTracks(session, {"D:\\x.mp3"}, "one.m3u"));
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    ASSERT_EQ(pdf.pageLines.size(), 1u);
    EXPECT_EQ(pdf.pageLines[0].size(), 3u);
    EXPECT_TRUE(PrintsAsList(pdf, session.File("one.m3u"), {"D:\\x.mp3"}));
}

// The real Print dialog, answered by a second thread as a user would: OK
// prints on the default printer, Cancel prints nothing.
struct DialogAnswerer {
    explicit DialogAnswerer(WPARAM button) : button(button)
    {
        thread = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~DialogAnswerer()
    {
        ::WaitForSingleObject(thread, 30000);
        ::CloseHandle(thread);
    }
    static DWORD WINAPI Run(void* self)
    {
        auto* me = static_cast<DialogAnswerer*>(self);
        for (int i = 0; i < 600; ++i) {
            HWND dialog = ::FindWindowA("#32770", "Print");
            DWORD pid = 0;
            if (dialog)
                ::GetWindowThreadProcessId(dialog, &pid);
            if (dialog && pid == ::GetCurrentProcessId() && ::IsWindowVisible(dialog)) {
                me->found = true;
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(me->button, BN_CLICKED), 0);
                return 0;
            }
            ::Sleep(50);
        }
        return 1;
    }
    WPARAM button;
    HANDLE thread;
    volatile bool found = false;
};

TEST_F(PrintToPdf, RealDialogPrintsOnOkAndNothingOnCancel)
{
    char name[MAX_PATH] = "";
    DWORD size = sizeof name;
    ASSERT_TRUE(::GetDefaultPrinterA(name, &size));
    ASSERT_STREQ(name, kPrinter);
    ASSERT_TRUE(LoadTracks(session, Tracks(2), "dialog.m3u"));

    auto realDialog = [](PRINTDLGA& pd) { return ::PrintDlgA(&pd) != FALSE; };
    const std::set<std::string> before = folder.Snapshot();
    {
        DialogAnswerer cancel(IDCANCEL);
        ui.printAnswers.push_back(realDialog);
        Command(editor, ID_FILE_PRINT);
    }
    EXPECT_TRUE(ui.boxes.empty());
    {
        DialogAnswerer ok(IDOK);
        ui.printAnswers.push_back(realDialog);
        Command(editor, ID_FILE_PRINT);
        EXPECT_TRUE(ok.found);
    }
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.printDialogs, 2);
    // Jobs reach the printer in order: the cancelled one would come first.
    Pdf pdf;
    ASSERT_TRUE(ReadNew(before, pdf));
    EXPECT_EQ(pdf.title, "dialog.m3u");
    EXPECT_TRUE(PrintsAsList(pdf, session.File("dialog.m3u"), Tracks(2)));
}

// The rectangle inside the margins, in the printer's device units from the
// printable area's origin, as the job computes it for the Letter queue.
TEST_F(PrintToPdf, JobRectangleFollowsMarginsAndOffsets)
{
    CPrintJob job(8, "Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, "rect",
                  PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE, nullptr);
    const std::set<std::string> before = folder.Snapshot();
    ui.printAnswers.push_back(ChoosePrinter());
    ASSERT_TRUE(job.StartJob());
    const RECT r = job.GetPrintRectangle();
    EXPECT_NEAR(r.left, layout.rect.left, 1);
    EXPECT_NEAR(r.top, layout.rect.top, 1);
    EXPECT_NEAR(r.right, layout.rect.right, 1);
    EXPECT_NEAR(r.bottom, layout.rect.bottom, 1);
    EXPECT_EQ(job.GetLineHeight(), layout.lineHeight);
    EXPECT_EQ(job.GetLinesPerPage(), (r.bottom - r.top) / layout.lineHeight);
    EXPECT_EQ(job.GetPrintWidth(), r.right - r.left);
    const int lfHeight = -PointsToHeight(job.GetPrinterDC(), 8);
    EXPECT_EQ(lfHeight, -(300 * 8 / 72));
    char face[LF_FACESIZE] = "";
    ::GetTextFaceA(job.GetPrinterDC(), sizeof face, face);
    EXPECT_STREQ(face, "Courier New");
    // Two characters on the top line, then a text moved down to the page's
    // middle line, still from the third column.
    job.Print("ab", 0);
    job.PrintLine("middle", CPrintJob::PRINT_VCENTER);
    const int linesPerPage = job.GetLinesPerPage();
    job.EndJob();
    EXPECT_TRUE(ui.boxes.empty());

    Pdf pdf;
    ASSERT_TRUE(ReadNew(before, pdf));
    EXPECT_EQ(pdf.title, "rect");
    EXPECT_EQ(pdf.pages, 1);
    const double slack = layout.Slack();
    const double linePoints = layout.lineHeight * 72.0 / layout.dpiY;
    const Word* ab = pdf.FindWord("ab");
    const Word* middle = pdf.FindWord("middle");
    ASSERT_NE(ab, nullptr);
    ASSERT_NE(middle, nullptr);
    EXPECT_NEAR(ab->xMin, 36.0, slack);
    EXPECT_GE(ab->yMin, 36.0 - slack);
    EXPECT_LE(ab->yMax, 36.0 + linePoints + slack);
    EXPECT_NEAR(middle->xMin, layout.XPoints(r.left + 2 * layout.charWidth), slack);
    const double middleTop = layout.YPoints(r.top + linesPerPage * layout.lineHeight / 2);
    EXPECT_GE(middle->yMin, middleTop - slack);
    EXPECT_LE(middle->yMax, middleTop + linePoints + slack);
}

// On paper: the margins sit half an inch from the paper's edges (offsets
// accounted for), the heading is centred, a long path wraps at column 0.
TEST_F(PrintToPdf, MarginsCentringAndWrapOnPaper)
{
    const int perLine = (layout.printWidth + layout.charWidth - 1) / layout.charWidth;
    const std::string longPath = "C:\\" + std::string(perLine - 3, 'L') + "\\" + std::string(20, 'W') + ".mp3";
    ASSERT_LT(longPath.size(), 260u);
    const std::vector<std::string> tracks{"C:\\short.mp3", longPath, "C:\\after.mp3"};
    ASSERT_TRUE(LoadTracks(session, tracks, "wrap.m3u"));
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));

    const std::vector<std::string> lines = pdf.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(Trim(lines[3]), longPath.substr(0, static_cast<size_t>(perLine)));
    EXPECT_EQ(Trim(lines[4]), longPath.substr(static_cast<size_t>(perLine)));
    EXPECT_EQ(Trim(lines[5]), "C:\\after.mp3");

    const double slack = layout.Slack();
    const Word* first = pdf.FindWord("C:\\short.mp3");
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->xMin, 36.0, slack) << "half an inch from the paper's left edge";
    const Word* wrapped = pdf.FindWord(longPath.substr(static_cast<size_t>(perLine)));
    ASSERT_NE(wrapped, nullptr);
    EXPECT_NEAR(wrapped->xMin, 36.0, slack) << "wrapped at column 0";
    const Word* head = pdf.FindWord(session.File("wrap.m3u"));
    ASSERT_NE(head, nullptr) << "the heading is one word when the scratch path has no spaces";
    const int headWidth = static_cast<int>(session.File("wrap.m3u").size()) * layout.charWidth;
    const double headStart = layout.XPoints(layout.rect.left + layout.printWidth / 2 - headWidth / 2);
    EXPECT_NEAR(head->xMin, headStart, slack);
    EXPECT_NEAR((head->xMin + head->xMax) / 2, 306.0, 72.0 * layout.charWidth / layout.dpiX) << "centred on the page";
    // The heading lies in the first line's cell, which starts at the top
    // margin; the first track two lines lower.
    const double linePoints = layout.lineHeight * 72.0 / layout.dpiY;
    EXPECT_GE(head->yMin, 36.0 - slack);
    EXPECT_LE(head->yMax, 36.0 + linePoints + slack);
    EXPECT_NEAR(first->yMin - head->yMin, 2 * linePoints, slack);
}

// A centred text wider than the print width starts left of the rectangle by
// half the excess, and its wrapped part starts at that same column.
TEST_F(PrintToPdf, WideHeadingStartsLeftOfTheRectangle)
{
    // A playlist path about four characters wider than the print width.
    const std::string base = session.Dir().Path() + "\\";
    const int chars = (layout.printWidth + layout.charWidth - 1) / layout.charWidth + 4;
    const int folderChars = chars - static_cast<int>(base.size()) - static_cast<int>(std::string("\\w.m3u").size());
    ASSERT_GT(folderChars, 0);
    const std::string folderPath = base + std::string(static_cast<size_t>(folderChars), 'f');
    ASSERT_TRUE(::CreateDirectoryA(folderPath.c_str(), nullptr));
    const std::string heading = folderPath + "\\w.m3u";
    ASSERT_EQ(heading.size(), static_cast<size_t>(chars));
    ASSERT_TRUE(WriteFileBytes(heading, "C:\\a.mp3\r\n"));
    ASSERT_TRUE(editor.LoadPlaylist(heading.c_str(), false));

    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    const int width = chars * layout.charWidth;
    const int start = layout.printWidth / 2 - width / 2;
    ASSERT_LT(start, 0);
    const int onFirst = (layout.printWidth - start + layout.charWidth - 1) / layout.charWidth;
    ASSERT_LT(onFirst, chars);
    const Word* first = pdf.FindWord(heading.substr(0, static_cast<size_t>(onFirst)));
    const Word* rest = pdf.FindWord(heading.substr(static_cast<size_t>(onFirst)));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(rest, nullptr);
    const double expected = layout.XPoints(layout.rect.left + start);
    EXPECT_LT(first->xMin, 36.0);
    EXPECT_NEAR(first->xMin, expected, layout.Slack());
    EXPECT_NEAR(rest->xMin, expected, layout.Slack());
    EXPECT_TRUE(pdf.FindWord("C:\\a.mp3"));
}

// Pages hold linesPerPage lines; the line that fills a page starts the next
// one at once, so a list that exactly fills two pages ends on an empty third.
TEST_F(PrintToPdf, PagesBreakWhenFull)
{
    const int perPage = layout.linesPerPage;
    struct Case {
        int tracks;
        int pages;
    } cases[] = {
        {2 * perPage - 3, 2}, // one line short of two full pages
        {2 * perPage - 2, 3}, // exactly two full pages: the empty third one follows
        {2 * perPage + 5, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tracks);
        const std::vector<std::string> tracks = Tracks(c.tracks);
        ASSERT_TRUE(LoadTracks(session, tracks, "long.m3u"));
        Pdf pdf;
        ASSERT_TRUE(PrintOnce(pdf));
        EXPECT_EQ(pdf.pages, c.pages);
        ASSERT_GE(pdf.pageLines.size(), 2u);
        EXPECT_EQ(pdf.pageLines[0].size(), static_cast<size_t>(perPage));
        ASSERT_FALSE(pdf.pageLines[1].empty());
        EXPECT_EQ(Trim(pdf.pageLines[1][0]), tracks[static_cast<size_t>(perPage - 2)]);
        // The first line of a following page is at the top margin again.
        const Word* top = pdf.FindWord("C:\\Music\\Some", 1);
        ASSERT_NE(top, nullptr);
        const Word* head = pdf.FindWord(session.File("long.m3u"), 0);
        ASSERT_NE(head, nullptr);
        EXPECT_NEAR(top->yMin, head->yMin, 0.01);
        EXPECT_TRUE(PrintsAsList(pdf, session.File("long.m3u"), tracks));
    }
}

// The job's font and printer context are released when it ends: a print
// leaves no GDI object behind (the first print may fill the driver's caches).
TEST_F(PrintToPdf, PrintLeavesNoGdiObjects)
{
    ASSERT_TRUE(LoadTracks(session, Tracks(3), "gdi.m3u"));
    Pdf pdf;
    ASSERT_TRUE(PrintOnce(pdf));
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    ASSERT_TRUE(PrintOnce(pdf));
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_EQ(pdf.title, "gdi.m3u");
}

} // namespace
