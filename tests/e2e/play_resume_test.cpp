// Playing through a list of two-second tracks, and the start after a close
// that puts the player back on the track it was on, in the same play order,
// without playing.
#include "e2e_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace e2e_tests {
namespace {

const std::vector<std::string> kFive{Track(1), Track(2), Track(3), Track(4), Track(5)};

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

HICON Face(HWND dialog, int id)
{
    return reinterpret_cast<HICON>(::SendMessageA(::GetDlgItem(dialog, id), BM_GETIMAGE, IMAGE_ICON, 0));
}

// The "%d of %d" counter read back as its first number; 0 when it shows none.
int CounterPosition(HWND player)
{
    int at = 0, of = 0;
    const std::string text = e2e::ControlText(player, IDC_TRACK_COUNTER);
    return std::sscanf(text.c_str(), "%d of %d", &at, &of) == 2 && of == 5 ? at : 0;
}

// Slides the player out with the editor's player button.
void ShowPlayer(ProgramRun& run)
{
    e2e::Click(run.Editor(), IDC_PLAYER_BUTTON);
    ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(run.Player()) != FALSE; }, kWait));
}

// The start after a close: the list back, track `item` current and shown
// on the counter as `counterAt` of 5, selected, and nothing playing.
void ExpectResumedNotPlaying(ProgramRun& run, int item, int counterAt)
{
    ASSERT_TRUE(run.WaitItems(kFive));
    HWND player = run.Player();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(run.WaitPlayerText(IDC_TRACK_COUNTER, std::to_string(counterAt) + " of 5"));
    EXPECT_EQ(run.Selected(), std::vector<int>{item});
    EXPECT_FALSE(Enabled(player, IDC_STOP));
    HWND position = ::GetDlgItem(player, IDC_POSITION);
    const LRESULT thumb = ::SendMessageA(position, TBM_GETPOS, 0, 0);
    EXPECT_EQ(thumb, ::SendMessageA(position, TBM_GETRANGEMIN, 0, 0)) << "the thumb at the start";
    const std::string time = e2e::ControlText(player, IDC_CURRENT_TIME);
    EXPECT_EQ(time, "Current: 00:00");
    // Two ticks of the position timer: a playing track would move both.
    EXPECT_FALSE(e2e::WaitFor(
        [&] {
            return e2e::ControlText(player, IDC_CURRENT_TIME) != time || ::SendMessageA(position, TBM_GETPOS, 0, 0) != thumb;
        },
        1600))
        << "the time moved: something plays";
}

TEST(PlayAndResume, PlaysThroughAndComesBackOnTheSameTrackWithoutPlaying)
{
    ScratchDir dir("e2e");
    const std::string playlist = dir.File("five.m3u");
    ASSERT_TRUE(WriteFileBytes(playlist, M3uBytes(kFive)));

    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.Open(playlist));
        ASSERT_TRUE(run.WaitItems(kFive));
        ShowPlayer(run);
        HWND player = run.Player();
        const HICON stoppedFace = Face(player, IDC_PLAY_PAUSE);
        EXPECT_FALSE(Enabled(player, IDC_STOP));

        run.DoubleClick(1);
        ASSERT_TRUE(run.WaitPlayerText(IDC_TRACK_COUNTER, "2 of 5"));
        EXPECT_TRUE(e2e::WaitFor([&] { return Enabled(player, IDC_STOP); }, kWait));
        EXPECT_NE(Face(player, IDC_PLAY_PAUSE), stoppedFace) << "the pause face while playing";
        EXPECT_TRUE(run.WaitPlayerText(IDC_TOTAL_TIME, "Total: 00:02"));

        // The two seconds run out and the next track follows by itself.
        ASSERT_TRUE(run.WaitPlayerText(IDC_TRACK_COUNTER, "3 of 5", 8000));
        EXPECT_TRUE(e2e::WaitFor([&] { return run.Selected() == std::vector<int>{2}; }, kWait));
        EXPECT_TRUE(Enabled(player, IDC_STOP));

        // Closed while the third track plays.
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")), Int32s({5, 2, 0, 1, 2, 3, 4}));

    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ExpectResumedNotPlaying(run, 2, 3);
        HWND player = run.Player();
        EXPECT_TRUE(::IsWindowVisible(player)) << "the player was out at the close";
        const HICON resumedFace = Face(player, IDC_PLAY_PAUSE);

        // Play starts the resumed track from its beginning.
        e2e::Click(player, IDC_PLAY_PAUSE);
        EXPECT_TRUE(e2e::WaitFor([&] { return Enabled(player, IDC_STOP); }, kWait));
        EXPECT_TRUE(run.WaitPlayerText(IDC_CURRENT_TIME, "Current: 00:01"));
        EXPECT_EQ(e2e::ControlText(player, IDC_TRACK_COUNTER), "3 of 5");
        EXPECT_NE(Face(player, IDC_PLAY_PAUSE), resumedFace) << "the resumed player showed the pause face";

        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
}

TEST(PlayAndResume, AShuffledOrderComesBackAsItWas)
{
    ScratchDir dir("e2e");
    const std::string playlist = dir.File("five.m3u");
    ASSERT_TRUE(WriteFileBytes(playlist, M3uBytes(kFive)));

    int position = 0;
    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ASSERT_TRUE(run.Open(playlist));
        ASSERT_TRUE(run.WaitItems(kFive));
        ShowPlayer(run);
        HWND player = run.Player();
        const HICON stoppedFace = Face(player, IDC_PLAY_PAUSE);
        e2e::Click(player, IDC_SHUFFLE);
        ASSERT_TRUE(e2e::WaitFor([&] { return e2e::IsChecked(player, IDC_SHUFFLE); }, kWait));

        run.DoubleClick(3);
        ASSERT_TRUE(e2e::WaitFor([&] { return Face(player, IDC_PLAY_PAUSE) != stoppedFace; }, kWait));
        // Paused, so that the track cannot run out before the close.
        e2e::Click(player, IDC_PLAY_PAUSE);
        ASSERT_TRUE(e2e::WaitFor([&] { return Face(player, IDC_PLAY_PAUSE) == stoppedFace; }, kWait));
        position = CounterPosition(player);
        ASSERT_NE(position, 0) << e2e::ControlText(player, IDC_TRACK_COUNTER);
        EXPECT_EQ(run.Selected(), std::vector<int>{3});
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    // count 5, the current position, then a permutation of the five list
    // indexes with item 3 at the current position.
    const std::string stored = ReadFileBytes(dir.File("continue.dat"));
    ASSERT_EQ(stored.size(), 28u);
    const std::vector<int32_t> words = Int32sOf(stored);
    EXPECT_EQ(words[0], 5);
    EXPECT_EQ(words[1], position - 1);
    std::vector<int32_t> order(words.begin() + 2, words.end());
    ASSERT_GE(words[1], 0);
    ASSERT_LT(words[1], 5);
    EXPECT_EQ(order[static_cast<size_t>(words[1])], 3);
    std::vector<int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int32_t>{0, 1, 2, 3, 4}));

    {
        ProgramRun run(dir.Path());
        ASSERT_NE(run.Editor(), nullptr);
        ExpectResumedNotPlaying(run, 3, position);
        EXPECT_TRUE(e2e::IsChecked(run.Player(), IDC_SHUFFLE));
        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")), stored) << "the resumed order is the order written back";
}

} // namespace
} // namespace e2e_tests
