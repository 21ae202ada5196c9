// continue.dat through a real close and a real start: the play order and the
// current track come back over the reloaded playlist, also when the playlist
// gained or lost tracks since, and nothing starts playing.
#include "persist_restarts.h"

#include "audio/mci_audio_win.h"
#include "res/resource.h"

#include <gtest/gtest.h>

using namespace persist_tests;

namespace {

class ResumeFile : public Restarts {
protected:
    // Nothing plays or stays open after a start, and nothing was sounded.
    void ExpectQuietStart()
    {
        EXPECT_FALSE(TheAudio().isPlaying);
        EXPECT_FALSE(TheAudio().isOpen);
        EXPECT_TRUE(ui.beeps.empty()) << ui.beeps.size() << " beeps";
        EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.size() << " message boxes";
    }

    std::string Counter() const { return Player().Item(IDC_TRACK_COUNTER).GetWindowText(); }
};

TEST_F(ResumeFile, ShuffledOrderWithItsCurrentTrackComesBack)
{
    const std::vector<std::string> tracks = FiveTracks();
    const std::string playlist = WritePlaylist(tracks);
    Start();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->LoadPlaylist(playlist.c_str(), false));
    // The queue as a shuffle left it: 3, 0, 4, 1, 2.
    CPlayQueue& queue = Player().m_queue;
    const int shuffled[] = {3, 0, 4, 1, 2};
    for (int pos = 0; pos < 5; ++pos)
        queue.SetEntry(pos, shuffled[pos], tracks[static_cast<size_t>(shuffled[pos])].c_str());
    // The third of them plays.
    ASSERT_TRUE(queue.PlayListIndex(4));
    ASSERT_EQ(queue.current, 2);
    Close();
    EXPECT_FALSE(TheAudio().isOpen);

    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({5, 2, 3, 0, 4, 1, 2}));

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->m_list.GetCount(), 5);
    EXPECT_TRUE(QueueInStep(*editor));
    EXPECT_EQ(QueueOrder(*editor), (std::vector<int>{3, 0, 4, 1, 2}));
    EXPECT_EQ(Player().m_queue.current, 2);
    EXPECT_EQ(SelectedItems(*editor), (std::vector<int>{4}));
    EXPECT_EQ(Counter(), "3 of 5");
    // The display read the track's length without playing it.
    EXPECT_GT(Player().m_position.GetRangeMax(), 1000);
    ExpectQuietStart();
    Close();
    // An untouched run writes the same file back.
    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({5, 2, 3, 0, 4, 1, 2}));
}

struct ChangedPlaylist {
    const char* name;
    std::vector<int32_t> stored; // continue.dat as written at the last close
    int tracks;                  // entries of the playlist file now
    std::vector<int> order;      // the rebuilt play order
    int current;                 // its current position, -1 for none
};

TEST_F(ResumeFile, PlaylistThatChangedSinceTheSave)
{
    const ChangedPlaylist cases[] = {
        {"gained two tracks", {3, 1, 2, 0, 1}, 5, {2, 0, 1, 3, 4}, 1},
        {"lost two tracks", {5, 1, 4, 2, 0, 3, 1}, 3, {2, 0, 1}, 0},
        {"lost the current track", {5, 2, 3, 0, 4, 1, 2}, 3, {0, 1, 2}, -1},
        {"lost the track before the current one", {5, 3, 4, 3, 2, 1, 0}, 4, {3, 2, 1, 0}, 2},
        {"unchanged, nothing current", {2, -1, 1, 0}, 2, {1, 0}, -1},
        {"emptied", {5, 2, 3, 0, 4, 1, 2}, 0, {}, -1},
    };
    const std::vector<std::string> all = FiveTracks();
    for (const ChangedPlaylist& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> tracks(all.begin(), all.begin() + c.tracks);
        const std::string playlist = WritePlaylist(tracks);
        ASSERT_TRUE(WriteFileBytes(File("settings.dat"), Bytes(Written(playlist))));
        ASSERT_TRUE(WriteFileBytes(File("continue.dat"), Int32s(c.stored)));
        ui.beeps.clear();
        ui.boxes.clear();

        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->m_list.GetCount(), c.tracks);
        EXPECT_TRUE(QueueInStep(*editor));
        EXPECT_EQ(QueueOrder(*editor), c.order);
        EXPECT_EQ(Player().m_queue.current, c.current);
        const std::vector<int> selected = SelectedItems(*editor);
        if (c.current >= 0) {
            EXPECT_EQ(selected, (std::vector<int>{c.order[static_cast<size_t>(c.current)]}));
        } else {
            EXPECT_TRUE(selected.empty()) << selected.size() << " items selected";
        }
        ExpectQuietStart();
        Close();

        // What the next close writes is the rebuilt state.
        std::vector<int32_t> expected{c.tracks, c.current};
        expected.insert(expected.end(), c.order.begin(), c.order.end());
        EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s(expected));
    }
}

TEST_F(ResumeFile, WithoutSettingsTheStoredOrderIsDropped)
{
    WritePlaylist(FiveTracks());
    ASSERT_TRUE(WriteFileBytes(File("continue.dat"), Int32s({5, 2, 3, 0, 4, 1, 2})));
    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->m_bSettingsLoaded);
    EXPECT_EQ(editor->m_list.GetCount(), 0);
    EXPECT_EQ(Player().m_queue.Count(), 0);
    ExpectQuietStart();
    Close();
    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({0, -1}));
}

TEST_F(ResumeFile, WithoutResumeFileThePlaylistLoadsInListOrder)
{
    const std::string playlist = WritePlaylist(FiveTracks());
    ASSERT_TRUE(WriteFileBytes(File("settings.dat"), Bytes(Written(playlist))));
    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(QueueOrder(*editor), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Player().m_queue.current, -1);
    EXPECT_TRUE(SelectedItems(*editor).empty());
    ExpectQuietStart();
    Close();
    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({5, -1, 0, 1, 2, 3, 4}));
}

TEST_F(ResumeFile, MissingPlaylistDropsTheStoredOrderQuietly)
{
    ASSERT_TRUE(WriteFileBytes(File("settings.dat"), Bytes(Written(File("gone.m3u")))));
    ASSERT_TRUE(WriteFileBytes(File("continue.dat"), Int32s({5, 2, 3, 0, 4, 1, 2})));
    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->m_bSettingsLoaded);
    EXPECT_EQ(editor->m_list.GetCount(), 0);
    EXPECT_EQ(Player().m_queue.Count(), 0);
    EXPECT_EQ(editor->GetWindowText(), "Zoravel's M3U Editor");
    ExpectQuietStart();
    Close();
}

TEST_F(ResumeFile, AnEmptyListWritesAnEightByteFile)
{
    Start();
    ASSERT_NE(editor, nullptr);
    Close();
    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({0, -1}));
}

} // namespace
