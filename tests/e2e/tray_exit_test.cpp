// Exit chosen from the tray icon's menu while the list has unsaved changes:
// the "Save Changes?" question, answered Yes, No and Cancel.
#include "e2e_fixture.h"

#include <gtest/gtest.h>

namespace e2e_tests {
namespace {

struct Answer {
    const char* name;
    int button;
    bool exits;
    bool saves;
};

// Right-clicks the tray icon and chooses Exit from its menu with the keyboard.
void ExitFromTheTrayMenu(ProgramRun& run)
{
    ASSERT_TRUE(e2e::PostTrayMouse(run.Pid(), IDR_TRAYMENU, WM_RBUTTONUP));
    HWND menu = e2e::WaitPopupMenu(run.Pid(), kWait);
    ASSERT_NE(menu, nullptr) << "no tray menu";
    // "&Show Player", "Pre&vious", "&Next", "E&xit": four steps down, then Enter.
    for (int i = 0; i < 4; ++i)
        e2e::PostKey(menu, VK_DOWN);
    e2e::PostKey(menu, VK_RETURN);
    EXPECT_TRUE(e2e::WaitFor([&] { return !::IsWindowVisible(menu); }, kWait)) << "the menu stayed open";
}

TEST(TrayExit, UnsavedChangesAreSavedDroppedOrKeptAsAnswered)
{
    const Answer answers[] = {
        {"Yes", IDYES, true, true},
        {"No", IDNO, true, false},
        {"Cancel", IDCANCEL, false, false},
    };
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.name);
        ScratchDir dir("e2e");
        const std::string playlist = dir.File("list.m3u");
        const std::string before = M3uBytes({Track(1), Track(2), Track(3)});
        const std::string after = M3uBytes({Track(1), Track(2), Track(3), Track(4)});
        ASSERT_TRUE(WriteFileBytes(playlist, before));

        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.Open(playlist));
        ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3)}));
        ASSERT_TRUE(e2e::DropFiles(run.Editor(), run.Pid(), {Track(4)}));
        ASSERT_TRUE(run.WaitTitle(Titled("list.m3u*")));

        ExitFromTheTrayMenu(run);
        std::string text, caption;
        ASSERT_NE(run.Program().WaitMessageBox(&text, &caption, kWait), nullptr) << "no save-changes question";
        EXPECT_EQ(caption, "Save Changes?");
        EXPECT_EQ(text, "Do you want to save your changes?");
        ASSERT_TRUE(run.Program().AnswerMessageBox(a.button));

        DWORD code = 1234;
        if (a.exits) {
            ASSERT_TRUE(run.Program().WaitExit(kExitWait, code));
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")), Int32s({4, -1, 0, 1, 2, 3}));
        } else {
            ASSERT_TRUE(run.Sync());
            EXPECT_TRUE(run.Program().Running());
            EXPECT_TRUE(::IsWindowVisible(run.Editor()));
            EXPECT_EQ(e2e::Title(run.Editor()), Titled("list.m3u*")) << "the changes are still there";
            EXPECT_FALSE(FileExists(dir.File("settings.dat"))) << "a cancelled close writes nothing";
            EXPECT_NE(e2e::TrayWindow(run.Pid(), 0), nullptr) << "the tray icon went";
            // Still usable: the close box asks again, and No ends it.
            ::PostMessageA(run.Editor(), WM_CLOSE, 0, 0);
            ASSERT_TRUE(run.Program().AnswerMessageBox(IDNO, &text));
            EXPECT_EQ(text, "Do you want to save your changes?");
            ASSERT_TRUE(run.Program().WaitExit(kExitWait, code));
            EXPECT_EQ(code, 0u);
        }
        EXPECT_EQ(ReadFileBytes(playlist), a.saves ? after : before);
        EXPECT_EQ(ReadFileBytes(dir.File("settings.dat")).size(), 884u);
    }
}

} // namespace
} // namespace e2e_tests
