// A playlist opened, edited and saved the way a user does it, through the
// real Open and Save as dialogs, dropped files and the "Delete?" question,
// then reopened in later runs of the program.
#include "e2e_fixture.h"
#include "persist/settings_record.h"

#include <gtest/gtest.h>

namespace e2e_tests {
namespace {

TEST(PlaylistEditing, OpenEditSaveAsAndReopenInLaterRuns)
{
    ScratchDir dir("e2e");
    const std::string original = dir.File("list.m3u");
    const std::string notes = dir.File("notes.txt");
    ASSERT_TRUE(::CreateDirectoryA(dir.File("lists").c_str(), nullptr));
    const std::string saved = dir.File("lists\\mix.m3u");
    const std::string originalBytes = M3uBytes({Track(1), Track(2), Track(3)});
    ASSERT_TRUE(WriteFileBytes(original, originalBytes));
    ASSERT_TRUE(WriteFileBytes(notes, "not a track"));
    const std::vector<std::string> edited{Track(4), Track(1), Track(3)};

    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.Open(original));
        ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3)}));
        EXPECT_TRUE(run.WaitTitle(Titled("list.m3u")));

        // Two files dropped on the window: the one that is no MP3 is
        // announced and added all the same.
        ASSERT_TRUE(e2e::DropFiles(run.Editor(), run.Pid(), {Track(4), notes}));
        std::string text, caption;
        ASSERT_NE(run.Program().WaitMessageBox(&text, &caption, kWait), nullptr);
        EXPECT_EQ(caption, "Warning!");
        EXPECT_EQ(text, "Warning: The extension of this file is not \"mp3\"\r\n    " + notes);
        ASSERT_TRUE(run.Program().AnswerMessageBox(IDOK));
        ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3), Track(4), notes}));
        EXPECT_TRUE(run.WaitTitle(Titled("list.m3u*")));

        // Remove asks first: No keeps everything, Yes deletes the selection.
        run.Select({1, 4});
        e2e::Click(run.Editor(), IDC_REMOVE);
        ASSERT_NE(run.Program().WaitMessageBox(&text, &caption, kWait), nullptr);
        EXPECT_EQ(caption, "Delete?");
        EXPECT_EQ(text, "Do you want to permanently delete the selected items?");
        ASSERT_TRUE(run.Program().AnswerMessageBox(IDNO));
        ASSERT_TRUE(run.Sync());
        EXPECT_EQ(e2e::ListItems(run.List()), (std::vector<std::string>{Track(1), Track(2), Track(3), Track(4), notes}));

        run.Select({1, 4});
        e2e::Click(run.Editor(), IDC_REMOVE);
        ASSERT_TRUE(run.Program().AnswerMessageBox(IDYES));
        ASSERT_TRUE(run.WaitItems({Track(1), Track(3), Track(4)}));

        // Moves: the last item up, then the first item down.
        run.Select({2});
        e2e::Click(run.Editor(), IDC_MOVE_UP);
        ASSERT_TRUE(run.WaitItems({Track(1), Track(4), Track(3)}));
        EXPECT_EQ(run.Selected(), std::vector<int>{1}) << "the moved item stays selected";
        run.Select({0});
        e2e::Click(run.Editor(), IDC_MOVE_DOWN);
        ASSERT_TRUE(run.WaitItems(edited));

        // Save as, typing a full path without the extension: "m3u" is added.
        e2e::PostCommand(run.Editor(), ID_FILE_SAVE_AS);
        ASSERT_TRUE(run.Program().AnswerFileDialog(dir.File("lists\\mix"), kWait));
        ASSERT_TRUE(run.WaitTitle(Titled("mix.m3u")));
        EXPECT_EQ(ReadFileBytes(saved), M3uBytes(edited));
        EXPECT_EQ(ReadFileBytes(original), originalBytes) << "Save as leaves the opened file alone";

        // Nothing is unsaved now: the close asks nothing.
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    // The list as edited, in list order, nothing current.
    EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")), Int32s({3, -1, 0, 1, 2}));
    SettingsRecord settings{};
    const std::string settingsBytes = ReadFileBytes(dir.File("settings.dat"));
    ASSERT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(settingsBytes.data()), settingsBytes.size(), settings));
    EXPECT_EQ(PathFieldText(settings.lastPlaylist), original) << "the playlist last opened, not the one saved";
    EXPECT_EQ(PathFieldText(settings.playlistFolder), dir.File("lists"));

    // The next start reloads the playlist last opened; Open brings the saved one.
    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.WaitItems({Track(1), Track(2), Track(3)}));
        EXPECT_TRUE(run.WaitTitle(Titled("list.m3u")));
        ASSERT_TRUE(run.Open(saved));
        ASSERT_TRUE(run.WaitItems(edited));
        EXPECT_TRUE(run.WaitTitle(Titled("mix.m3u")));
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    // And the start after that reloads the saved one.
    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.WaitItems(edited));
        EXPECT_TRUE(run.WaitTitle(Titled("mix.m3u")));
        EXPECT_TRUE(::IsWindowVisible(run.Editor()));
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(ReadFileBytes(saved), M3uBytes(edited));
    EXPECT_EQ(ReadFileBytes(original), originalBytes);
}

} // namespace
} // namespace e2e_tests
