// The built program started in a scratch start-up directory and driven only
// from outside: the first start in an empty directory, the data files its
// close writes, and a second start that reads them back.
#include "e2e_fixture.h"
#include "persist/settings_record.h"

#include <gtest/gtest.h>

namespace e2e_tests {
namespace {

SettingsRecord ParsedSettings(const std::string& bytes)
{
    SettingsRecord record{};
    EXPECT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record));
    return record;
}

TEST(StartUp, FirstStartInAnEmptyDirectoryThenASecondStartReadsWhatItWrote)
{
    ScratchDir dir("e2e");
    const std::string settingsFile = dir.File("settings.dat");
    const std::string resumeFile = dir.File("continue.dat");
    RECT shownAt{};
    bool repeatShown = false;
    {
        ProgramRun run(dir.Path());
        HWND editor = run.Editor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(editor) != FALSE; }, kWait));
        EXPECT_EQ(e2e::Title(editor), kBaseTitle);
        HWND player = run.Player();
        ASSERT_NE(player, nullptr);
        EXPECT_FALSE(::IsWindowVisible(player));
        EXPECT_EQ(e2e::ListCount(run.List()), 0);
        // The data files are written at the close, not before.
        EXPECT_FALSE(FileExists(settingsFile));
        EXPECT_FALSE(FileExists(resumeFile));
        ASSERT_TRUE(::GetWindowRect(editor, &shownAt));
        repeatShown = e2e::IsChecked(player, IDC_REPEAT);

        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }

    const std::string settings = ReadFileBytes(settingsFile);
    ASSERT_EQ(settings.size(), 884u);
    const SettingsRecord written = ParsedSettings(settings);
    EXPECT_EQ(written.shuffle, 0);
    EXPECT_EQ(written.repeat, repeatShown ? 1 : 0) << "the repeat switch as it was shown";
    EXPECT_EQ(written.mute, 0);
    EXPECT_EQ(written.onTop, 0);
    EXPECT_EQ(written.volume, 1000);
    EXPECT_EQ(written.playerShown, 0) << "the player was never slid out";
    EXPECT_EQ(written.listHidden, 0);
    EXPECT_EQ(written.editorPlacement.length, 44u);
    EXPECT_EQ(written.editorPlacement.showCmd, static_cast<uint32_t>(SW_SHOWNORMAL));
    EXPECT_EQ(written.editorPlacement.rcNormalPosition.left, shownAt.left);
    EXPECT_EQ(written.editorPlacement.rcNormalPosition.top, shownAt.top);
    EXPECT_EQ(written.editorPlacement.rcNormalPosition.right, shownAt.right);
    EXPECT_EQ(written.editorPlacement.rcNormalPosition.bottom, shownAt.bottom);
    EXPECT_EQ(PathFieldText(written.lastPlaylist), "");
    EXPECT_EQ(PathFieldText(written.playlistFolder), "");
    EXPECT_EQ(PathFieldText(written.trackFolder), "");
    EXPECT_EQ(ReadFileBytes(resumeFile), Int32s({0, -1})) << "an empty list: count 0, no current track";

    // The second start puts the editor where it was, keeps the player in,
    // and its close writes the same bytes again.
    {
        ProgramRun run(dir.Path());
        HWND editor = run.Editor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(editor) != FALSE; }, kWait));
        RECT r{};
        ::GetWindowRect(editor, &r);
        EXPECT_TRUE(::EqualRect(&r, &shownAt)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_FALSE(::IsWindowVisible(run.Player()));
        EXPECT_EQ(e2e::Title(editor), kBaseTitle);

        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(ReadFileBytes(settingsFile), settings);
    EXPECT_EQ(ReadFileBytes(resumeFile), Int32s({0, -1}));
}

} // namespace
} // namespace e2e_tests
