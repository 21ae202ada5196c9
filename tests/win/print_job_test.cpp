// The print job's page logic on a memory device context: no printer needed.
// A memory context has no paper (PHYSICALWIDTH and PHYSICALHEIGHT are 0), so
// negative right and bottom margins put the far edges of the print rectangle
// at a chosen distance from its origin.
#include "print/print_job.h"
#include "support/fake_ui.h"
#include "support/gui_objects.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using testing_support::FakeUi;

namespace {

const char kNoJobForPrint[] = "Attempted to print without initializing a job!";
const char kNoJobForPageBreak[] = "Attempted to insert a page break without a job initialized!";

using testing_support::GdiObjectCount;

const int kDpi = 96;

struct Layout {
    int width;  // device units
    int height; // device units
};

// The print command's job, with margins that give a print rectangle of
// exactly width x height from (0, 0) on a memory context.
class TestJob : public CPrintJob {
public:
    explicit TestJob(Layout layout, const char* docName = "doc")
        : CPrintJob(8, "Courier New", 0.0f, -static_cast<float>(layout.width) / kDpi, 0.0f,
                    -static_cast<float>(layout.height) / kDpi, 500, false, false, false, docName,
                    PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE, nullptr)
    {
    }
};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Answers the next Print dialog with a fresh memory context.
void AnswerWithMemoryDC(FakeUi& ui)
{
    ui.printAnswers.push_back([](PRINTDLGA& pd) {
        pd.hDC = ::CreateCompatibleDC(nullptr);
        return pd.hDC != nullptr;
    });
}

// The advance of one character of the job's font, measured apart from it.
int CharWidth()
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = ::CreateFontA(-PointsToHeight(dc, 8), 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, "M", 1, &size);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    return size.cx;
}

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetDeviceCaps(screen(), LOGPIXELSX), kDpi);
        w = CharWidth();
        ASSERT_GT(w, 1);
    }
    static HDC screen()
    {
        static HDC dc = ::CreateCompatibleDC(nullptr);
        return dc;
    }
    FakeUi ui;
    int w = 0;
};

TEST_F(PrintJobTest, DoModalShowsNothing)
{
    TestJob job({200, 200});
    EXPECT_EQ(job.DoModal(), IDCANCEL);
    EXPECT_EQ(ui.printDialogs, 0);
    EXPECT_FALSE(job.IsRunning());
    // Nor did a window of this thread appear.
    int windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 0);
}

TEST_F(PrintJobTest, DialogGetsTheFlagsAndAlwaysReturnDC)
{
    HWND owner = reinterpret_cast<HWND>(0x1234);
    CPrintJob job(8, "Courier New", 0.5f, 0.5f, 0.5f, 0.5f, 500, false, false, false, "d", PD_HIDEPRINTTOFILE, owner);
    PRINTDLGA seen{};
    ui.printAnswers.push_back([&seen](PRINTDLGA& pd) {
        seen = pd;
        return false;
    });
    EXPECT_FALSE(job.StartJob());
    EXPECT_EQ(ui.printDialogs, 1);
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(PD_HIDEPRINTTOFILE | PD_RETURNDC));
    EXPECT_EQ(seen.hwndOwner, owner);
    EXPECT_TRUE(ui.boxes.empty()) << "a cancelled dialog is silent";
    EXPECT_FALSE(job.IsRunning());
}

TEST_F(PrintJobTest, IdleJobThrowsWithExactMessages)
{
    TestJob job({200, 200});
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"Print", [&] { job.Print("x", 0); }, kNoJobForPrint},
        {"Print empty", [&] { job.Print("", CPrintJob::PRINT_CENTER); }, kNoJobForPrint},
        {"PrintLine", [&] { job.PrintLine("x", 0); }, kNoJobForPrint},
        {"PageBreak", [&] { job.PageBreak(); }, kNoJobForPageBreak},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.name << " did not throw";
        } catch (const PrintException& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
            PrintException copy = e; // thrown and kept by value
            EXPECT_STREQ(copy.what(), c.message);
        }
    }
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), 0);
}

// The failures before a context is held: each shows its message (or none)
// and leaves the job idle without a GDI object left behind.
TEST_F(PrintJobTest, StartFailuresShowTheirMessageAndLeakNothing)
{
    struct Case {
        const char* name;
        testing_support::PrintAnswer answer;
        const char* message; // nullptr: silent
    };
    HDC stale = ::CreateCompatibleDC(nullptr);
    ::DeleteDC(stale);
    const Case cases[] = {
        {"cancelled", [](PRINTDLGA&) { return false; }, nullptr},
        {"no context", [](PRINTDLGA& pd) { pd.hDC = nullptr; return true; },
         "Unable to retrieve handle to device context"},
        {"stale handle", [stale](PRINTDLGA& pd) { pd.hDC = stale; return true; }, "Unable to attach device context"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.boxes.clear();
        const int before = GdiObjectCount();
        {
            TestJob job({200, 200});
            ui.printAnswers.push_back(c.answer);
            EXPECT_FALSE(job.StartJob());
            EXPECT_FALSE(job.IsRunning());
            EXPECT_THROW(job.Print("x", 0), PrintException);
        }
        EXPECT_EQ(GdiObjectCount(), before);
        if (!c.message) {
            EXPECT_TRUE(ui.boxes.empty());
            continue;
        }
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].caption, "Print Error");
        EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
}

TEST_F(PrintJobTest, StartSetsUpTheLayoutFromTheContext)
{
    TestJob job({300, 205});
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    HDC dc = job.GetPrinterDC();
    ASSERT_NE(dc, nullptr);

    const RECT r = job.GetPrintRectangle();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 205);
    EXPECT_EQ(::GetMapMode(dc), MM_TEXT);

    // The job's font: 8 points as a character height, weight 500, plain.
    LOGFONTA lf{};
    ASSERT_TRUE(::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -(kDpi * 8 / 72));
    EXPECT_EQ(lf.lfWeight, 500);
    EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
    EXPECT_STREQ(lf.lfFaceName, "Courier New");

    TEXTMETRICA tm{};
    ASSERT_TRUE(::GetTextMetricsA(dc, &tm));
    EXPECT_EQ(job.GetLineHeight(), tm.tmHeight + tm.tmExternalLeading);
    EXPECT_EQ(job.GetLinesPerPage(), 205 / job.GetLineHeight());
    EXPECT_EQ(job.GetPrintWidth(), 300);
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), 0);
}

TEST(PrintRectTest, MarginsOnAMemoryContext)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    // No paper and no offset: the left and top margins are the origin's
    // distance, the right and bottom ones count back from a zero edge.
    RECT r = GetPrintRect(dc, 0.5f, -2.0f, 0.25f, -1.0f);
    EXPECT_EQ(r.left, 48);
    EXPECT_EQ(r.top, 24);
    EXPECT_EQ(r.right, 192);
    EXPECT_EQ(r.bottom, 96);
    EXPECT_EQ(::GetMapMode(dc), MM_TWIPS);
    ::SetMapMode(dc, MM_TEXT);
    EXPECT_EQ(PointsToHeight(dc, 8), 10);
    EXPECT_EQ(PointsToHeight(dc, 72), 96);
    // The height stays positive and in logical units under an upward y axis.
    ::SetMapMode(dc, MM_TWIPS);
    EXPECT_EQ(PointsToHeight(dc, 72), 1440);
    ::DeleteDC(dc);
}

TEST_F(PrintJobTest, RunningJobRefusesAnotherStartAndANewName)
{
    TestJob job({300, 300}, "first");
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    HDC dc = job.GetPrinterDC();
    job.Print("abc", 0);
    const int x = job.GetCursorX();

    AnswerWithMemoryDC(ui);
    EXPECT_FALSE(job.StartJob());
    EXPECT_EQ(ui.printDialogs, 1) << "no second dialog";
    EXPECT_EQ(job.GetPrinterDC(), dc);
    EXPECT_EQ(job.GetCursorX(), x);
    EXPECT_EQ(x, 3 * w);

    EXPECT_FALSE(job.SetDocName("second"));
    EXPECT_EQ(job.GetDocName(), "first");

    job.EndJob();
    EXPECT_FALSE(job.IsRunning());
    job.EndJob(); // a second end does nothing
    EXPECT_TRUE(job.SetDocName("second"));
    EXPECT_EQ(job.GetDocName(), "second");
    EXPECT_TRUE(job.SetDocName(nullptr));
    EXPECT_EQ(job.GetDocName(), "");
    ui.printAnswers.clear();
}

// The wrap test comes before each character and ignores its width: with a
// print width that is no multiple of the advance, the last character of a
// line starts inside the width and ends past it.
TEST_F(PrintJobTest, WrapIsTestedBeforeEachCharacter)
{
    const int width = 10 * w + w / 2;
    TestJob job({width, 50 * w});
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    const int lh = job.GetLineHeight();

    job.Print(std::string(11, 'a').c_str(), 0);
    EXPECT_EQ(job.GetCursorX(), 11 * w) << "the 11th character starts at 10w < width";
    EXPECT_GT(job.GetCursorX(), width);
    EXPECT_EQ(job.GetCursorY(), 0);

    job.Print("b", 0); // starts past the width: wraps to this Print's line start
    EXPECT_EQ(job.GetCursorX(), 12 * w);
    EXPECT_EQ(job.GetCursorY(), lh) << "line start of the second Print is 11w, itself past the width";

    job.PrintLine("", 0);
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), 2 * lh);

    // 25 characters from column 0: 11 + 11 + 3.
    job.Print(std::string(25, 'c').c_str(), 0);
    EXPECT_EQ(job.GetCursorX(), 3 * w);
    EXPECT_EQ(job.GetCursorY(), 4 * lh);

    // A Print that goes on from the middle of a line wraps back to where it began.
    job.PrintLine("", 0);
    job.Print("dd", 0);
    job.Print(std::string(12, 'e').c_str(), 0); // 2w..11w: 9 on the first line, 3 on the next from 2w
    EXPECT_EQ(job.GetCursorX(), 2 * w + 3 * w);
    EXPECT_EQ(job.GetCursorY(), 6 * lh);
}

TEST_F(PrintJobTest, CentringAndVerticalMiddle)
{
    const int width = 20 * w + 1;
    TestJob job({width, 41 * 13});
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    const int lh = job.GetLineHeight();
    const int lines = job.GetLinesPerPage();

    // Empty centred text: nothing drawn, the cursor waits in the middle.
    job.Print("", CPrintJob::PRINT_CENTER);
    EXPECT_EQ(job.GetCursorX(), width / 2);
    EXPECT_EQ(job.GetCursorY(), 0);
    job.PrintLine("", 0);
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), lh);

    // Odd widths: each half is truncated on its own.
    job.Print("abc", CPrintJob::PRINT_CENTER);
    EXPECT_EQ(job.GetCursorX(), width / 2 - (3 * w) / 2 + 3 * w);

    job.Print("", CPrintJob::PRINT_VCENTER);
    EXPECT_EQ(job.GetCursorY(), lines * lh / 2);

    // Wider than the print width: starts left of the rectangle by half the
    // excess, and every wrapped line starts at that same column.
    job.PrintLine("", 0);
    const int y0 = job.GetCursorY();
    const int start = width / 2 - (50 * w) / 2;
    ASSERT_LT(start, 0);
    const int perLine = (width - start + w - 1) / w;
    job.Print(std::string(50, 'x').c_str(), CPrintJob::PRINT_CENTER);
    EXPECT_EQ(job.GetCursorY(), y0 + (50 - 1) / perLine * lh);
    EXPECT_EQ(job.GetCursorX(), start + (50 - (50 - 1) / perLine * perLine) * w);
}

// A page holds `lines` lines; the line that fills it breaks the page at once.
TEST_F(PrintJobTest, PageBreaksAsSoonAsThePageIsFull)
{
    // Make the page five and a half lines high, whatever the font's line height.
    int probeHeight = 0;
    {
        TestJob probe({40 * w, 100});
        AnswerWithMemoryDC(ui);
        ASSERT_TRUE(probe.StartJob());
        probeHeight = probe.GetLineHeight();
    }
    TestJob job({40 * w, 5 * probeHeight + probeHeight / 2});
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    const int lh = job.GetLineHeight();
    ASSERT_EQ(job.GetLinesPerPage(), 5);

    for (int i = 1; i <= 4; ++i) {
        job.PrintLine("line", 0);
        EXPECT_EQ(job.GetCursorY(), i * lh);
    }
    job.PrintLine("fifth", 0);
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), 0) << "the fifth line fills the page: the next page starts now";

    // A text that wraps over the page end goes on at (0, 0) of the next page;
    // its later wraps still go back to where it began.
    for (int i = 0; i < 4; ++i)
        job.PrintLine("", 0);
    ASSERT_EQ(job.GetCursorY(), 4 * lh);
    job.Print(std::string(5, 's').c_str(), 0);
    job.Print(std::string(35 + 40 + 40 + 3, 't').c_str(), 0);
    // 35 fill the last line from 5w, then the page breaks: 40 from column 0,
    // then wraps go back to 5w: 35 on the next line, the last 8 below.
    EXPECT_EQ(job.GetCursorY(), 2 * lh);
    EXPECT_EQ(job.GetCursorX(), 5 * w + 8 * w);

    job.PageBreak();
    EXPECT_EQ(job.GetCursorX(), 0);
    EXPECT_EQ(job.GetCursorY(), 0);
}

// PrintLine goes through the virtual Print, so a derived job sees every line.
TEST_F(PrintJobTest, PrintLineCallsPrintThroughItsSlot)
{
    struct Recording : TestJob {
        Recording() : TestJob({300, 300}) {}
        void Print(const char* text, int flags) override
        {
            calls.push_back(std::string(text) + "/" + std::to_string(flags));
            CPrintJob::Print(text, flags);
        }
        std::vector<std::string> calls;
    };
    Recording job;
    AnswerWithMemoryDC(ui);
    ASSERT_TRUE(job.StartJob());
    job.PrintLine("head", CPrintJob::PRINT_CENTER);
    job.PrintLine("", 0);
    EXPECT_EQ(job.calls, (std::vector<std::string>{"head/1", "/0"}));
}

// The job's font and context are gone when the job ends, by EndJob or by the
// destructor: a print leaves no GDI object behind.
TEST_F(PrintJobTest, EndingAJobReleasesTheFontAndTheContext)
{
    for (bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destructor" : "EndJob");
        const int before = GdiObjectCount();
        HDC dc = nullptr;
        HGDIOBJ font = nullptr;
        {
            TestJob job({300, 300});
            AnswerWithMemoryDC(ui);
            ASSERT_TRUE(job.StartJob());
            dc = job.GetPrinterDC();
            font = ::GetCurrentObject(dc, OBJ_FONT);
            EXPECT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
            EXPECT_GT(GdiObjectCount(), before);
            job.PrintLine("some text", 0);
            job.PageBreak();
            if (!byDestructor) {
                job.EndJob();
                EXPECT_FALSE(job.IsRunning());
                EXPECT_EQ(job.GetPrinterDC(), nullptr);
            }
        }
        EXPECT_EQ(::GetObjectType(font), 0u);
        EXPECT_EQ(::GetObjectType(dc), 0u);
        EXPECT_EQ(GdiObjectCount(), before);
    }
}

} // namespace
