// The built quillon.exe started in a scratch start-up directory and driven
// only from a second process, the way a user does: real message boxes, file
// dialogs and tray menu; the files it wrote are read afterwards. (Damaged
// data files at the start: tests/win/restarts_test.cpp.)
#include "driver.h"
#include "persist/resume_file.h"
#include "persist/settings_record.h"
#include "playlist/m3u.h"
#include "res/resource.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

using Items = std::vector<std::string>;

std::string Track(int n) { return FixturePath(("track" + std::to_string(n) + ".mp3").c_str()); }

// One run of the program in a start-up directory.
struct Program {
    explicit Program(const ScratchDir& dir)
        : pi(e2e::Launch(QUILLON_EXE, dir.Path())), editor(e2e::Editor(pi.dwProcessId)),
          player(e2e::Player(pi.dwProcessId)), list(::GetDlgItem(editor, IDC_TRACK_LIST))
    {
    }
    ~Program()
    {
        ::TerminateProcess(pi.hProcess, 99); // unless it ended by itself
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    bool Exited() { return e2e::ExitCode(pi.hProcess) == 0; }
    bool WaitItems(const Items& expected) { return e2e::WaitFor([&] { return e2e::ListItems(list) == expected; }); }
    bool WaitText(HWND window, int id, const std::string& text, DWORD ms = 15000)
    {
        return e2e::WaitFor([&] { return (id ? e2e::ControlText(window, id) : e2e::Text(window)) == text; }, ms);
    }
    void Select(std::initializer_list<int> items)
    {
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : items)
            ::SendMessageA(list, LB_SETSEL, TRUE, i);
        ::SendMessageA(list, LB_SETCARETINDEX, *items.begin(), 0);
    }
    int Selected() const { return static_cast<int>(::SendMessageA(list, LB_GETSELCOUNT, 0, 0) == 1 ? ::SendMessageA(list, LB_GETCARETINDEX, 0, 0) : -1); }
    PROCESS_INFORMATION pi;
    HWND editor, player, list;
};

const std::string kBase = "Zoravel's M3U Editor";

TEST(EndToEnd, StartEditPlayCloseAndResume)
{
    ScratchDir dir("e2e");
    ASSERT_TRUE(::CreateDirectoryA(dir.File("lists").c_str(), nullptr));
    const std::string original = dir.File("list.m3u"), saved = dir.File("lists\\mix.m3u"), notes = dir.File("notes.txt");
    ASSERT_TRUE(WriteFileBytes(original, FormatM3u({Track(1), Track(2), Track(3), Track(4), notes})) && WriteFileBytes(notes, "no track"));
    {
        Program run(dir);
        const DWORD pid = run.pi.dwProcessId;
        ASSERT_NE(run.player, nullptr);
        EXPECT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(run.editor); }) && !::IsWindowVisible(run.player));
        EXPECT_FALSE(e2e::Text(run.editor) != kBase || FileExists(dir.File("settings.dat")) || FileExists(dir.File("continue.dat")));
        e2e::PostCommand(run.editor, ID_FILE_OPEN);
        ASSERT_TRUE(e2e::AnswerFileDialog(pid, original) && run.WaitItems({Track(1), Track(2), Track(3), Track(4), notes}));
        EXPECT_TRUE(run.WaitText(run.editor, 0, kBase + " - list.m3u"));
        run.Select({1, 4});
        e2e::Click(run.editor, IDC_REMOVE);
        EXPECT_EQ(e2e::AnswerMessageBox(pid, IDYES), "Delete?: Do you want to permanently delete the selected items?");
        ASSERT_TRUE(run.WaitItems({Track(1), Track(3), Track(4)}));
        run.Select({2});
        e2e::Click(run.editor, IDC_MOVE_UP);
        ASSERT_TRUE(run.WaitItems({Track(1), Track(4), Track(3)}));
        e2e::PostCommand(run.editor, ID_FILE_SAVE_AS); // a name typed without its extension
        ASSERT_TRUE(e2e::AnswerFileDialog(pid, dir.File("lists\\mix")) && run.WaitText(run.editor, 0, kBase + " - mix.m3u"));
        EXPECT_EQ(ReadFileBytes(saved), FormatM3u({Track(1), Track(4), Track(3)}));

        // Played from the second track; its two seconds run out and the next one follows.
        e2e::Click(run.editor, IDC_PLAYER_BUTTON);
        ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(run.player); }));
        run.Select({1});
        e2e::PostCommand(run.editor, IDC_TRACK_LIST, LBN_DBLCLK);
        ASSERT_TRUE(run.WaitText(run.player, IDC_TRACK_COUNTER, "2 of 3") && run.WaitText(run.player, IDC_TOTAL_TIME, "Total: 00:02"));
        ASSERT_TRUE(run.WaitText(run.player, IDC_TRACK_COUNTER, "3 of 3", 8000));
        EXPECT_TRUE(e2e::WaitFor([&] { return run.Selected() == 2; }) && ::IsWindowEnabled(::GetDlgItem(run.player, IDC_STOP)));
        e2e::Click(run.player, IDC_PLAY_PAUSE); // paused, so that the track cannot run out
        run.Select({0});
        e2e::Click(run.editor, IDC_MOVE_DOWN);
        ASSERT_TRUE(run.WaitItems({Track(4), Track(1), Track(3)}));
        // Exit from the tray menu asks before the change is lost: Yes saves it.
        ASSERT_TRUE(e2e::ChooseFromTrayMenu(pid, 4));
        EXPECT_EQ(e2e::AnswerMessageBox(pid, IDYES), "Save Changes?: Do you want to save your changes?");
        ASSERT_TRUE(run.Exited());
    }
    EXPECT_EQ(ReadFileBytes(saved), FormatM3u({Track(4), Track(1), Track(3)}));
    const std::vector<uint8_t> resume = SerializeResume(3, 2, {0, 1, 2});
    EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")), std::string(resume.begin(), resume.end()));
    const std::string bytes = ReadFileBytes(dir.File("settings.dat"));
    SettingsRecord settings{};
    ASSERT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), settings));
    EXPECT_EQ(PathFieldText(settings.lastPlaylist), original) << "the playlist last opened, not the one saved";
    EXPECT_EQ(PathFieldText(settings.playlistFolder) + " " + std::to_string(settings.playerShown), dir.File("lists") + " 1");

    // The next start reloads list.m3u with the third track current, selected
    // and not playing; Play starts it from its beginning.
    Program run(dir);
    ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3), Track(4), notes}) && run.WaitText(run.player, IDC_TRACK_COUNTER, "3 of 5"));
    EXPECT_TRUE(run.Selected() == 2 && ::IsWindowVisible(run.player) && !::IsWindowEnabled(::GetDlgItem(run.player, IDC_STOP)));
    e2e::Click(run.player, IDC_PLAY_PAUSE);
    EXPECT_TRUE(run.WaitText(run.player, IDC_CURRENT_TIME, "Current: 00:01"));
    EXPECT_TRUE(::PostMessageA(run.editor, WM_CLOSE, 0, 0) && run.Exited());
}

} // namespace
