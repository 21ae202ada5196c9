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

using Items = std::vector<std::wstring>;

std::wstring Track(int n) { return FixturePath((L"track" + std::to_wstring(n) + L".mp3").c_str()); }

// One run of the program in a start-up directory.
struct Program {
    explicit Program(const ScratchDir& dir)
        : pi(e2e::Launch(L"" QUILLON_EXE, dir.Path())), editor(e2e::Editor(pi.dwProcessId)),
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
    bool WaitText(HWND window, int id, const std::wstring& text, DWORD ms = 15000)
    {
        return e2e::WaitFor([&] { return (id ? e2e::ControlText(window, id) : e2e::Text(window)) == text; }, ms);
    }
    void Select(std::initializer_list<int> items)
    {
        ::SendMessageW(list, LB_SETSEL, FALSE, -1);
        for (int i : items)
            ::SendMessageW(list, LB_SETSEL, TRUE, i);
        ::SendMessageW(list, LB_SETCARETINDEX, *items.begin(), 0);
    }
    int Selected() const { return static_cast<int>(::SendMessageW(list, LB_GETSELCOUNT, 0, 0) == 1 ? ::SendMessageW(list, LB_GETCARETINDEX, 0, 0) : -1); }
    PROCESS_INFORMATION pi;
    HWND editor, player, list;
};

const std::wstring kBase = L"Zoravel's M3U Editor";

TEST(EndToEnd, StartEditPlayCloseAndResume)
{
    ScratchDir dir(L"e2e");
    ASSERT_TRUE(::CreateDirectoryW(dir.File(L"lists").c_str(), nullptr));
    const std::wstring original = dir.File(L"list.m3u"), saved = dir.File(L"lists\\mix.m3u"), notes = dir.File(L"notes.txt");
    ASSERT_TRUE(WriteFileBytes(original, M3uBytes({Track(1), Track(2), Track(3), Track(4), notes})) && WriteFileBytes(notes, "no track"));
    {
        Program run(dir);
        const DWORD pid = run.pi.dwProcessId;
        ASSERT_NE(run.player, nullptr);
        EXPECT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(run.editor); }) && !::IsWindowVisible(run.player));
        EXPECT_FALSE(e2e::Text(run.editor) != kBase || FileExists(dir.File(L"settings.dat")) || FileExists(dir.File(L"continue.dat")));
        e2e::PostCommand(run.editor, ID_FILE_OPEN);
        ASSERT_TRUE(e2e::AnswerFileDialog(pid, original) && run.WaitItems({Track(1), Track(2), Track(3), Track(4), notes}));
        EXPECT_TRUE(run.WaitText(run.editor, 0, kBase + L" - list.m3u"));
        run.Select({1, 4});
        e2e::Click(run.editor, IDC_REMOVE);
        EXPECT_EQ(e2e::AnswerMessageBox(pid, IDYES), L"Delete?: Do you want to permanently delete the selected items?");
        ASSERT_TRUE(run.WaitItems({Track(1), Track(3), Track(4)}));
        run.Select({2});
        e2e::Click(run.editor, IDC_MOVE_UP);
        ASSERT_TRUE(run.WaitItems({Track(1), Track(4), Track(3)}));
        e2e::PostCommand(run.editor, ID_FILE_SAVE_AS); // a name typed without its extension
        ASSERT_TRUE(e2e::AnswerFileDialog(pid, dir.File(L"lists\\mix")) && run.WaitText(run.editor, 0, kBase + L" - mix.m3u"));
        EXPECT_EQ(ReadFileBytes(saved), M3uBytes({Track(1), Track(4), Track(3)}));

        // Played from the second track; its two seconds run out and the next one follows.
        e2e::Click(run.editor, IDC_PLAYER_BUTTON);
        ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(run.player); }));
        run.Select({1});
        e2e::PostCommand(run.editor, IDC_TRACK_LIST, LBN_DBLCLK);
        ASSERT_TRUE(run.WaitText(run.player, IDC_TRACK_COUNTER, L"2 of 3") && run.WaitText(run.player, IDC_TOTAL_TIME, L"Total: 00:02"));
        ASSERT_TRUE(run.WaitText(run.player, IDC_TRACK_COUNTER, L"3 of 3", 8000));
        EXPECT_TRUE(e2e::WaitFor([&] { return run.Selected() == 2; }) && ::IsWindowEnabled(::GetDlgItem(run.player, IDC_STOP)));
        e2e::Click(run.player, IDC_PLAY_PAUSE); // paused, so that the track cannot run out
        run.Select({0});
        e2e::Click(run.editor, IDC_MOVE_DOWN);
        ASSERT_TRUE(run.WaitItems({Track(4), Track(1), Track(3)}));
        // Exit from the tray menu asks before the change is lost: Yes saves it.
        ASSERT_TRUE(e2e::ChooseFromTrayMenu(pid, 4));
        EXPECT_EQ(e2e::AnswerMessageBox(pid, IDYES), L"Save Changes?: Do you want to save your changes?");
        ASSERT_TRUE(run.Exited());
    }
    EXPECT_EQ(ReadFileBytes(saved), M3uBytes({Track(4), Track(1), Track(3)}));
    const std::vector<uint8_t> resume = SerializeResume(3, 2, {0, 1, 2});
    EXPECT_EQ(ReadFileBytes(dir.File(L"continue.dat")), std::string(resume.begin(), resume.end()));
    const std::string bytes = ReadFileBytes(dir.File(L"settings.dat"));
    SettingsRecord settings{};
    ASSERT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), settings));
    EXPECT_EQ(PathFieldPath(settings.lastPlaylist, SystemAnsiCodePage()), original) << L"the playlist last opened, not the one saved";
    EXPECT_EQ(PathFieldPath(settings.playlistFolder, SystemAnsiCodePage()) + L" " + std::to_wstring(settings.playerShown), dir.File(L"lists") + L" 1");

    // The next start reloads list.m3u with the third track current, selected
    // and not playing; Play starts it from its beginning.
    Program run(dir);
    ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3), Track(4), notes}) && run.WaitText(run.player, IDC_TRACK_COUNTER, L"3 of 5"));
    EXPECT_TRUE(run.Selected() == 2 && ::IsWindowVisible(run.player) && !::IsWindowEnabled(::GetDlgItem(run.player, IDC_STOP)));
    e2e::Click(run.player, IDC_PLAY_PAUSE);
    EXPECT_TRUE(run.WaitText(run.player, IDC_CURRENT_TIME, L"Current: 00:01"));
    EXPECT_TRUE(::PostMessageW(run.editor, WM_CLOSE, 0, 0) && run.Exited());
}

} // namespace
