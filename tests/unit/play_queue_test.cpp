// CPlayQueue over a device with a recording port: positions, wrap-around,
// shuffle rules, removal renumbering, moves, and what reaches the device; the
// bulk operations against the single steps they stand for.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "audio/mci_audio.h"
#include "fake_mci_port.h"
#include "playlist/play_queue.h"

namespace {

using Log = std::vector<std::string>;
using Pairs = std::vector<std::pair<int, std::string>>;

std::string TrackPath(int i)
{
    return "C:\\Music\\t" + std::to_string(i) + ".mp3";
}

std::string OpenCommand(int i)
{
    return "open \"" + TrackPath(i) + "\" alias qvmp3";
}

Pairs Snapshot(const CPlayQueue& q)
{
    Pairs out;
    for (int pos = 0; pos < q.Count(); ++pos)
        out.emplace_back(q.At(pos).listIndex, q.At(pos).path);
    return out;
}

// Fills q with exactly these entries, list indexes that Add refuses included.
void Load(CPlayQueue& q, const Pairs& entries, int current = -1)
{
    q.Clear();
    for (const auto& e : entries)
        q.Add(0, e.second.c_str());
    for (size_t pos = 0; pos < entries.size(); ++pos)
        q.SetEntry(static_cast<int>(pos), entries[pos].first, entries[pos].second.c_str());
    q.SetCurrent(current);
}

int Pick(std::mt19937& gen, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }

// A random queue of up to 14 entries: list order or shuffled, and in some
// rounds list indexes that break the one-entry-per-item rule.
Pairs RandomEntries(std::mt19937& gen, bool mayBreak)
{
    auto pick = [&gen](int lo, int hi) { return Pick(gen, lo, hi); };
    const int n = pick(0, 14);
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    if (pick(0, 1))
        std::shuffle(order.begin(), order.end(), gen);
    const bool broken = mayBreak && pick(0, 3) == 0;
    Pairs entries;
    for (int i = 0; i < n; ++i)
        entries.emplace_back(broken ? pick(-2, n + 2) : order[static_cast<size_t>(i)], "p" + std::to_string(i));
    return entries;
}

// A queue as the entry pairs (listIndex, "C:\Music\t<n>.mp3").
Pairs Entries(std::initializer_list<std::pair<int, int>> items)
{
    Pairs out;
    for (const auto& item : items)
        out.emplace_back(item.first, TrackPath(item.second));
    return out;
}

class PlayQueueTest : public ::testing::Test {
protected:
    FakeMciPort port;
    CMciAudio audio{port};
    CPlayQueue queue{audio};

    void SetUp() override { port.SetLength(2000); }

    // n tracks in list order: (i, t<i>.mp3).
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i)
            queue.Add(i, TrackPath(i).c_str());
    }
    // Feeds the shuffle these numbers, in order; counts the draws.
    void Script(std::vector<int> numbers)
    {
        scripted = std::move(numbers);
        draws = 0;
        queue.SetRandom([this] { return scripted.at(draws++); });
    }
    void OpenDevice()
    {
        ASSERT_TRUE(audio.Open("C:\\loaded.mp3"));
        port.ClearLog();
    }
    void PlayDevice()
    {
        OpenDevice();
        ASSERT_TRUE(audio.Play(0));
        port.ClearLog();
    }

    std::vector<int> scripted;
    size_t draws = 0;
};

TEST_F(PlayQueueTest, StartsEmptyWithRepeatOn)
{
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.Current(), -1);
    EXPECT_TRUE(queue.Repeat());
    EXPECT_FALSE(queue.HasValidCurrent());
    EXPECT_EQ(queue.CurrentEntry(), nullptr);
}

TEST_F(PlayQueueTest, AddAppendsCopiesAndIgnoresBadInput)
{
    std::string path = "C:\\a.mp3";
    queue.Add(0, path.c_str());
    path[3] = 'X'; // the queue holds its own copy
    queue.Add(-1, "C:\\neg.mp3");
    queue.Add(1, "");
    queue.Add(1, nullptr);
    queue.SetCurrent(0);
    queue.Add(7, "C:\\b.mp3");
    EXPECT_EQ(Snapshot(queue), (Pairs{{0, "C:\\a.mp3"}, {7, "C:\\b.mp3"}}));
    EXPECT_EQ(queue.Current(), 0);
    EXPECT_EQ(queue.PlayOrder(), (std::vector<int>{0, 7}));
    EXPECT_TRUE(port.log.empty());
}

TEST_F(PlayQueueTest, RemoveRenumbersTheHigherListIndexes)
{
    const struct {
        int k;
        Pairs after;
    } unshuffled[] = {
        {0, Entries({{0, 1}, {1, 2}, {2, 3}})},
        {1, Entries({{0, 0}, {1, 2}, {2, 3}})},
        {2, Entries({{0, 0}, {1, 1}, {2, 3}})},
        {3, Entries({{0, 0}, {1, 1}, {2, 2}})},
    };
    for (const auto& c : unshuffled) {
        queue.Clear();
        Fill(4);
        queue.Remove(c.k);
        EXPECT_EQ(Snapshot(queue), c.after) << "k=" << c.k;
    }

    // Shuffled: the entry carrying k goes wherever it stands.
    queue.Clear();
    for (int k : {2, 0, 3, 1})
        queue.Add(k, TrackPath(k).c_str());
    queue.Remove(1);
    EXPECT_EQ(Snapshot(queue), Entries({{1, 2}, {0, 0}, {2, 3}}));
}

TEST_F(PlayQueueTest, RemoveOutOfRangeDoesNothing)
{
    queue.Remove(0); // empty
    Fill(3);
    for (int k : {-1, 3, 100}) {
        queue.Remove(k);
        EXPECT_EQ(queue.Count(), 3) << k;
    }
}

// Removing before the current entry keeps the same track current; removing
// the current entry itself leaves current where it was.
TEST_F(PlayQueueTest, RemoveKeepsTheCurrentTrack)
{
    const struct {
        const char* name;
        int current;
        int k;
        int after;
    } cases[] = {
        {"before current", 2, 0, 1},
        {"just before current", 2, 1, 1},
        {"after current", 1, 3, 1},
        {"current itself names the next", 1, 1, 1},
        {"current last goes past the end", 3, 3, 3},
        {"no current", -1, 0, -1},
        {"current already past the end", 4, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        queue.Clear();
        Fill(4);
        queue.SetCurrent(c.current);
        const std::string before = queue.HasValidCurrent() ? queue.CurrentEntry()->path : "";
        queue.Remove(c.k);
        EXPECT_EQ(queue.Current(), c.after);
        if (!before.empty() && c.k != c.current) {
            EXPECT_EQ(queue.CurrentEntry()->path, before);
        }
    }
}

TEST_F(PlayQueueTest, ACurrentPastTheEndIsNoCurrentEntry)
{
    Fill(3);
    queue.SetCurrent(2);
    queue.Remove(2); // current == count
    ASSERT_EQ(queue.Current(), 2);
    EXPECT_FALSE(queue.HasValidCurrent());
    EXPECT_EQ(queue.CurrentEntry(), nullptr);
    EXPECT_FALSE(queue.PlayCurrent(0));
    EXPECT_TRUE(port.log.empty());

    // Back steps onto the last entry, Advance treats it as the end.
    EXPECT_TRUE(queue.Back());
    EXPECT_EQ(queue.Current(), 1);
    queue.SetCurrent(7);
    EXPECT_TRUE(queue.Back());
    EXPECT_EQ(queue.Current(), 1);

    queue.SetCurrent(2);
    EXPECT_TRUE(queue.Advance());
    EXPECT_EQ(queue.Current(), 0);
    queue.SetRepeat(false);
    queue.SetCurrent(9);
    EXPECT_FALSE(queue.Advance());
    EXPECT_EQ(queue.Current(), 9);
    EXPECT_EQ(port.beeps, (std::vector<unsigned>{0}));
}

TEST_F(PlayQueueTest, SetEntryOverwritesOnlyValidPositions)
{
    Fill(2);
    queue.SetEntry(1, 5, "C:\\new.mp3");
    queue.SetEntry(2, 0, "C:\\no.mp3");
    queue.SetEntry(-1, 0, "C:\\no.mp3");
    queue.SetEntry(0, 3, nullptr);
    EXPECT_EQ(Snapshot(queue), (Pairs{{3, ""}, {5, "C:\\new.mp3"}}));
}

TEST_F(PlayQueueTest, ClearEmptiesStopsAndClosesButKeepsRepeat)
{
    Fill(3);
    queue.SetCurrent(1);
    queue.SetRepeat(false);
    PlayDevice();
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.Current(), -1);
    EXPECT_FALSE(queue.Repeat());
    EXPECT_EQ(port.log, (Log{"stop qvmp3", "close qvmp3"}));
    EXPECT_FALSE(audio.isOpen);

    port.ClearLog();
    queue.Clear();
    EXPECT_TRUE(port.log.empty());
}

TEST_F(PlayQueueTest, DestroyingTheQueueClosesTheDevice)
{
    {
        CPlayQueue local(audio);
        local.Add(0, "C:\\x.mp3");
        PlayDevice();
    }
    EXPECT_EQ(port.log, (Log{"stop qvmp3", "close qvmp3"}));
}

TEST_F(PlayQueueTest, ShuffleLeavesOneOrTwoEntriesAlone)
{
    for (int n = 0; n <= 2; ++n) {
        queue.Clear();
        Fill(n);
        Script({});
        const Pairs before = Snapshot(queue);
        queue.Shuffle();
        EXPECT_EQ(Snapshot(queue), before) << n;
        EXPECT_EQ(draws, 0u) << n;
    }
}

TEST_F(PlayQueueTest, ShuffleOfThreeExchangesPositionZeroOnce)
{
    const struct {
        int number;
        Pairs after;
    } cases[] = {
        {0, Entries({{1, 1}, {0, 0}, {2, 2}})},
        {1, Entries({{2, 2}, {1, 1}, {0, 0}})},
        {32766, Entries({{1, 1}, {0, 0}, {2, 2}})},
        {32767, Entries({{2, 2}, {1, 1}, {0, 0}})},
    };
    for (const auto& c : cases) {
        queue.Clear();
        Fill(3);
        Script({c.number});
        queue.Shuffle();
        EXPECT_EQ(Snapshot(queue), c.after) << c.number;
        EXPECT_EQ(draws, 1u);
    }
}

TEST_F(PlayQueueTest, ShufflePartnersAreAlwaysLater)
{
    Fill(6);
    // i = 0..3, d = 5,4,3,2: j = i + 1 + r mod d.
    Script({7, 0, 5, 1});
    queue.Shuffle();
    // i0: j=0+1+2=3 -> [3,1,2,0,4,5]; i1: j=2 -> [3,2,1,0,4,5];
    // i2: j=2+1+2=5 -> [3,2,5,0,4,1]; i3: j=3+1+1=5 -> [3,2,5,1,4,0].
    EXPECT_EQ(Snapshot(queue), Entries({{3, 3}, {2, 2}, {5, 5}, {1, 1}, {4, 4}, {0, 0}}));
    EXPECT_EQ(draws, 4u);
}

TEST_F(PlayQueueTest, ShuffleMovesCurrentWithItsTrackOnlyWhileOpen)
{
    // The same draws with the device open and closed.
    for (bool open : {true, false}) {
        SCOPED_TRACE(open ? "open" : "closed");
        queue.Clear();
        audio.isOpen = open;
        Fill(6);
        queue.SetCurrent(1);
        Script({7, 0, 5, 1});
        queue.Shuffle();
        if (open) {
            EXPECT_EQ(queue.CurrentEntry()->path, TrackPath(1));
            EXPECT_EQ(queue.Current(), 3);
        } else {
            EXPECT_EQ(queue.Current(), 1);
        }
        audio.isOpen = false;
    }
}

TEST_F(PlayQueueTest, ShuffleIsAPermutation)
{
    std::mt19937 gen(1234);
    Fill(50);
    queue.SetRandom([&gen] { return static_cast<int>(gen() % 32768); });
    audio.isOpen = true;
    queue.SetCurrent(17);
    queue.Shuffle();
    std::vector<int> seen;
    for (const auto& e : Snapshot(queue)) {
        EXPECT_EQ(e.second, TrackPath(e.first)); // both fields travel together
        seen.push_back(e.first);
    }
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_EQ(queue.CurrentEntry()->listIndex, 17);
    audio.isOpen = false;
}

TEST_F(PlayQueueTest, AdvanceAndBackStepAndWrap)
{
    const struct {
        const char* name;
        bool advance;
        int count;
        int current;
        bool repeat;
        bool result;
        int after;
        bool beep;
    } cases[] = {
        {"advance empty", true, 0, -1, true, false, -1, false},
        {"advance from none", true, 3, -1, false, true, 0, false},
        {"advance middle", true, 3, 1, false, true, 2, false},
        {"advance wraps", true, 3, 2, true, true, 0, false},
        {"advance at end", true, 3, 2, false, false, 2, true},
        {"advance single wraps", true, 1, 0, true, true, 0, false},
        {"back from none", false, 3, -1, true, false, -1, false},
        {"back empty", false, 0, 0, true, false, 0, false},
        {"back middle", false, 3, 2, false, true, 1, false},
        {"back wraps", false, 3, 0, true, true, 2, false},
        {"back at start", false, 3, 0, false, false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        queue.Clear();
        Fill(c.count);
        queue.SetCurrent(c.current);
        queue.SetRepeat(c.repeat);
        PlayDevice();
        const bool result = c.advance ? queue.Advance() : queue.Back();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(queue.Current(), c.after);
        if (c.result) {
            EXPECT_EQ(port.log, (Log{"stop qvmp3", "close qvmp3"})); // nothing is played
        } else {
            EXPECT_EQ(port.log, c.beep ? Log{"beep 0"} : Log{});
            EXPECT_TRUE(audio.isPlaying); // left alone
        }
        audio.Close();
        port.ClearLog();
    }
}

TEST_F(PlayQueueTest, PlayCurrentStopsClosesOpensAndPlays)
{
    Fill(3);
    EXPECT_FALSE(queue.PlayCurrent(0)); // no current
    queue.SetCurrent(3);
    EXPECT_FALSE(queue.PlayCurrent(0));
    EXPECT_TRUE(port.log.empty());

    queue.SetCurrent(1);
    PlayDevice();
    EXPECT_TRUE(queue.PlayCurrent(0));
    EXPECT_EQ(port.log, (Log{"stop qvmp3", "close qvmp3", OpenCommand(1), "set qvmp3 time format ms",
                             "setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to 2000"}));

    port.ClearLog();
    EXPECT_TRUE(queue.PlayCurrent(1500));
    EXPECT_EQ(port.log, (Log{"stop qvmp3", "close qvmp3", OpenCommand(1), "set qvmp3 time format ms",
                             "setaudio qvmp3 volume to 0", "seek qvmp3 to 1500", "play qvmp3"}));
}

TEST_F(PlayQueueTest, AFileThatWillNotOpenFailsAfterTheBeep)
{
    Fill(3);
    queue.SetCurrent(0);
    port.Fail(OpenCommand(1));
    EXPECT_FALSE(queue.Next());
    EXPECT_EQ(queue.Current(), 1); // keeps the new value
    EXPECT_EQ(port.log, (Log{OpenCommand(1), "beep 0"}));
    EXPECT_FALSE(audio.isOpen);
}

TEST_F(PlayQueueTest, NextAndPreviousPlayOnlyAfterAStep)
{
    Fill(2);
    queue.SetRepeat(false);
    queue.SetCurrent(1);
    EXPECT_FALSE(queue.Next());
    EXPECT_EQ(port.log, (Log{"beep 0"}));

    port.ClearLog();
    EXPECT_TRUE(queue.Previous());
    EXPECT_EQ(queue.Current(), 0);
    EXPECT_EQ(port.log, (Log{OpenCommand(0), "set qvmp3 time format ms", "setaudio qvmp3 volume to 0",
                             "status qvmp3 length", "play qvmp3 from 0 to 2000"}));

    port.ClearLog();
    EXPECT_FALSE(queue.Previous());
    EXPECT_EQ(port.log, (Log{"beep 0"}));
    EXPECT_TRUE(audio.isPlaying);

    port.ClearLog();
    EXPECT_TRUE(queue.Next());
    EXPECT_EQ(queue.Current(), 1);
    EXPECT_EQ(port.log.at(2), OpenCommand(1));
}

TEST_F(PlayQueueTest, PlayListIndexFindsTheEntryInPlayOrder)
{
    for (int k : {2, 0, 3, 1})
        queue.Add(k, TrackPath(k).c_str());
    EXPECT_TRUE(queue.PlayListIndex(3));
    EXPECT_EQ(queue.Current(), 2);
    EXPECT_EQ(port.log.at(0), OpenCommand(3));

    port.ClearLog();
    for (int k : {-1, 4})
        EXPECT_FALSE(queue.PlayListIndex(k)) << k;
    EXPECT_TRUE(port.log.empty());

    // No entry carries the index: the current entry plays unchanged.
    queue.SetEntry(1, 9, TrackPath(0).c_str());
    queue.SetCurrent(3);
    EXPECT_TRUE(queue.PlayListIndex(0));
    EXPECT_EQ(queue.Current(), 3);
    EXPECT_EQ(port.log.at(2), OpenCommand(1));
}

TEST_F(PlayQueueTest, PositionOf)
{
    Fill(4);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(queue.PositionOf(k), k);
    EXPECT_EQ(queue.PositionOf(4), -1);
    EXPECT_EQ(queue.PositionOf(-1), -1);
    queue.SetEntry(0, 3, "C:\\x.mp3");
    queue.SetEntry(3, 0, "C:\\y.mp3");
    EXPECT_EQ(queue.PositionOf(3), 0);
    EXPECT_EQ(queue.PositionOf(0), 3);
}

TEST_F(PlayQueueTest, MovesExchangePathsAndCurrentFollows)
{
    const struct {
        const char* name;
        bool up;
        int k;
        int current;
        bool result;
        Pairs after;
        int currentAfter;
    } cases[] = {
        {"up first", true, 0, 0, false, Entries({{0, 0}, {1, 1}, {2, 2}, {3, 3}}), 0},
        {"up past end", true, 4, 0, false, Entries({{0, 0}, {1, 1}, {2, 2}, {3, 3}}), 0},
        {"down last", false, 3, 0, false, Entries({{0, 0}, {1, 1}, {2, 2}, {3, 3}}), 0},
        {"down negative", false, -1, 0, false, Entries({{0, 0}, {1, 1}, {2, 2}, {3, 3}}), 0},
        {"up", true, 2, 2, true, Entries({{0, 0}, {1, 2}, {2, 1}, {3, 3}}), 1},
        {"down", false, 0, 1, true, Entries({{0, 1}, {1, 0}, {2, 2}, {3, 3}}), 0},
        {"up last", true, 3, 0, true, Entries({{0, 0}, {1, 1}, {2, 3}, {3, 2}}), 0},
        {"down to last", false, 2, 3, true, Entries({{0, 0}, {1, 1}, {2, 3}, {3, 2}}), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        queue.Clear();
        Fill(4);
        queue.SetCurrent(c.current);
        EXPECT_EQ(c.up ? queue.MoveUp(c.k) : queue.MoveDown(c.k), c.result);
        EXPECT_EQ(Snapshot(queue), c.after);
        EXPECT_EQ(queue.Current(), c.currentAfter);
    }
    EXPECT_TRUE(port.log.empty());
}

TEST_F(PlayQueueTest, MovesInAShuffledQueueTradePlaces)
{
    // Play order t2, t0, t3, t1; the editor moves item 3 up to 2.
    for (int k : {2, 0, 3, 1})
        queue.Add(k, TrackPath(k).c_str());
    queue.SetCurrent(0);
    EXPECT_TRUE(queue.MoveUp(3));
    EXPECT_EQ(Snapshot(queue), Entries({{2, 3}, {0, 0}, {3, 2}, {1, 1}}));
    EXPECT_EQ(queue.Current(), 2); // still on t2
    EXPECT_EQ(queue.CurrentEntry()->path, TrackPath(2));

    // A list index that no entry carries refuses the move.
    queue.SetEntry(3, 7, TrackPath(1).c_str());
    EXPECT_FALSE(queue.MoveDown(0));
    EXPECT_FALSE(queue.MoveUp(1));
}

TEST_F(PlayQueueTest, SwapPathsKeepsListIndexes)
{
    Fill(3);
    queue.SetCurrent(2);
    queue.SwapPaths(0, 2);
    EXPECT_EQ(Snapshot(queue), Entries({{0, 2}, {1, 1}, {2, 0}}));
    EXPECT_EQ(queue.Current(), 0);
    queue.SwapPaths(0, 1);
    EXPECT_EQ(queue.Current(), 1);
    queue.SwapPaths(1, 1);
    EXPECT_EQ(queue.Current(), 1);
    for (auto ab : {std::pair<int, int>{-1, 0}, {0, 3}, {3, 3}}) {
        queue.SwapPaths(ab.first, ab.second);
        EXPECT_EQ(queue.Current(), 1);
    }
    EXPECT_EQ(Snapshot(queue), Entries({{0, 1}, {1, 2}, {2, 0}}));
}

// A random ascending selection of list indexes, in some rounds with indexes
// outside 0..n-1 (down to -2, up to n+2) or one out of order or repeated.
std::vector<int> RandomIndexes(std::mt19937& gen, int n)
{
    auto pick = [&gen](int lo, int hi) { return Pick(gen, lo, hi); };
    const int margin = pick(0, 1) ? 2 : 0;
    std::vector<int> ks;
    for (int k = -margin; k < n + margin; ++k) {
        if (pick(0, 2) == 0)
            ks.push_back(k);
    }
    if (!ks.empty() && pick(0, 7) == 0) {
        const int last = static_cast<int>(ks.size()) - 1;
        const int repeated = ks[static_cast<size_t>(pick(0, last))];
        ks.insert(ks.begin() + pick(0, last + 1), repeated);
    }
    return ks;
}

// The bulk removal against the one-by-one removal it stands for, on queues
// shuffled or not, with current anywhere (even past the end) and, in some
// rounds, list indexes that break the invariant (duplicates, gaps).
TEST(PlayQueueBulkRemove, MatchesRepeatedRemove)
{
    FakeMciPort port;
    CMciAudio audio(port);
    std::mt19937 gen(20240611);

    for (int round = 0; round < 3000; ++round) {
        const Pairs entries = RandomEntries(gen, true);
        const int n = static_cast<int>(entries.size());
        const std::vector<int> ks = RandomIndexes(gen, n);
        const int current = Pick(gen, -2, n + 2);

        CPlayQueue one(audio), bulk(audio);
        Load(one, entries, current);
        Load(bulk, entries, current);
        for (auto it = ks.rbegin(); it != ks.rend(); ++it)
            one.Remove(*it);
        // Nothing plays: nothing is to start.
        ASSERT_EQ(bulk.RemoveListIndexes(ks), CPlayQueue::kNothingToStart) << "round " << round;

        ASSERT_EQ(Snapshot(bulk), Snapshot(one)) << "round " << round;
        ASSERT_EQ(bulk.Current(), one.Current()) << "round " << round;
    }
}

// While a track plays, the one-by-one walk is the editor removing item after
// item from the highest: each removal of the playing track starts the one
// that moved into its place, or with none behind it the one before it. The
// bulk removal leaves current on the track that walk ends on and says so.
TEST(PlayQueueBulkRemove, WhatPlaysNextMatchesTheOneByOneWalk)
{
    std::mt19937 gen(7);
    int started = 0, everyTrackWent = 0;

    for (int round = 0; round < 3000; ++round) {
        const Pairs entries = RandomEntries(gen, true);
        const int n = static_cast<int>(entries.size());
        const std::vector<int> ks = RandomIndexes(gen, n);
        const int current = Pick(gen, -1, n);

        FakeMciPort walkPort, bulkPort;
        walkPort.SetLength(2000);
        CMciAudio walkAudio(walkPort), bulkAudio(bulkPort);
        CPlayQueue walk(walkAudio), bulk(bulkAudio);
        Load(walk, entries, current);
        Load(bulk, entries, current);
        walkAudio.isPlaying = bulkAudio.isPlaying = true;

        bool playingWent = false;
        for (auto it = ks.rbegin(); it != ks.rend(); ++it) {
            const bool playing = walkAudio.isPlaying;
            const int removedAt = walk.PositionOf(*it);
            const int currentBefore = walk.Current();
            walk.Remove(*it);
            if (!playing || removedAt < 0 || removedAt != currentBefore)
                continue;
            playingWent = true;
            if (walk.HasValidCurrent())
                walk.PlayCurrent(0);
            else if (walk.Count() > 0)
                walk.Previous();
        }

        // Where the walk ends; a queue that lost every track keeps what
        // current the plain removals leave.
        const int result = bulk.RemoveListIndexes(ks);
        ASSERT_EQ(Snapshot(bulk), Snapshot(walk)) << "round " << round;
        if (playingWent && walk.HasValidCurrent()) {
            ASSERT_EQ(result, walk.Current()) << "round " << round;
            ASSERT_EQ(bulk.Current(), walk.Current()) << "round " << round;
            ++started;
        } else if (playingWent && walk.Count() == 0) {
            ASSERT_EQ(result, CPlayQueue::kEveryTrackWent) << "round " << round;
            ++everyTrackWent;
        } else {
            ASSERT_EQ(result, CPlayQueue::kNothingToStart) << "round " << round;
            ASSERT_EQ(bulk.Current(), walk.Current()) << "round " << round;
        }
        ASSERT_TRUE(bulkPort.log.empty()) << "the bulk removal starts nothing itself";
    }
    // The rounds reach every outcome.
    EXPECT_GT(started, 100);
    EXPECT_GT(everyTrackWent, 10);
}

TEST(PlayQueueBulkRemove, UnsortedOrRepeatedIndexesAreRemovedOneByOne)
{
    FakeMciPort port;
    CMciAudio audio(port);
    for (std::vector<int> ks : {std::vector<int>{3, 1}, std::vector<int>{1, 1}, std::vector<int>{0, 2, 2}}) {
        CPlayQueue one(audio), bulk(audio);
        for (CPlayQueue* q : {&one, &bulk}) {
            for (int i = 0; i < 6; ++i)
                q->Add(i, TrackPath(i).c_str());
            q->SetCurrent(4);
        }
        for (auto it = ks.rbegin(); it != ks.rend(); ++it)
            one.Remove(*it);
        bulk.RemoveListIndexes(ks);
        EXPECT_EQ(Snapshot(bulk), Snapshot(one));
        EXPECT_EQ(bulk.Current(), one.Current());
    }
}

// A playlist of 100,000 tracks: every second one removed in one call, then
// a block moved at both ends; each must be a single pass, not a pass per item.
TEST(PlayQueueBulkRemove, HandlesABigPlaylist)
{
    FakeMciPort port;
    CMciAudio audio(port);
    CPlayQueue queue(audio);
    const int n = 100000;
    for (int i = 0; i < n; ++i)
        queue.Add(i, TrackPath(i).c_str());
    queue.SetCurrent(n - 1);
    std::vector<int> ks;
    for (int k = 0; k < n; k += 2)
        ks.push_back(k);
    audio.isPlaying = true; // the playing track stays
    EXPECT_EQ(queue.RemoveListIndexes(ks), CPlayQueue::kNothingToStart);
    ASSERT_EQ(queue.Count(), n / 2);
    for (int i = 0; i < n / 2; ++i) {
        ASSERT_EQ(queue.At(i).listIndex, i);
        ASSERT_EQ(queue.At(i).path, TrackPath(2 * i + 1));
    }
    EXPECT_EQ(queue.Current(), n / 2 - 1);

    std::vector<int> block;
    for (int k = 1; k < n / 2; ++k)
        block.push_back(k);
    EXPECT_TRUE(queue.MoveListIndexes(block, true));
    EXPECT_EQ(queue.At(n / 2 - 1).path, TrackPath(1));
    EXPECT_EQ(queue.Current(), n / 2 - 2);
    audio.isPlaying = false;
}

// A block move against MoveUp for each index in order, or MoveDown for each
// in reverse order, on queues shuffled or not and, in some rounds, broken.
TEST(PlayQueueBlockMove, MatchesRepeatedSingleMoves)
{
    FakeMciPort port;
    CMciAudio audio(port);
    std::mt19937 gen(99);

    for (int round = 0; round < 3000; ++round) {
        const Pairs entries = RandomEntries(gen, true);
        const int n = static_cast<int>(entries.size());
        const std::vector<int> ks = RandomIndexes(gen, n);
        const bool up = Pick(gen, 0, 1) == 1;
        const int current = Pick(gen, -1, n);

        CPlayQueue single(audio), block(audio);
        Load(single, entries, current);
        Load(block, entries, current);
        bool moved = false;
        if (up) {
            for (int k : ks)
                moved = single.MoveUp(k) || moved;
        } else {
            for (auto it = ks.rbegin(); it != ks.rend(); ++it)
                moved = single.MoveDown(*it) || moved;
        }

        ASSERT_EQ(block.MoveListIndexes(ks, up), moved) << "round " << round;
        ASSERT_EQ(Snapshot(block), Snapshot(single)) << "round " << round;
        ASSERT_EQ(block.Current(), single.Current()) << "round " << round;
    }
    EXPECT_TRUE(port.log.empty());
}

// Shuffle off: list order again, each entry with its item's text, and the
// track that was current current again.
TEST(PlayQueueListOrder, RestoreTakesTheListsTextsAndKeepsTheCurrentTrack)
{
    FakeMciPort port;
    CMciAudio audio(port);
    const std::vector<std::string> list = {"L0", "L1", "L2", "L3"};
    const CPlayQueue::ListText textOf = [&list](int i) { return list.at(static_cast<size_t>(i)); };
    const Pairs restored = {{0, "L0"}, {1, "L1"}, {2, "L2"}, {3, "L3"}};
    const struct {
        const char* name;
        int current;
        int listCount;
        Pairs after;
        int currentAfter;
    } cases[] = {
        {"current follows its track", 1, 4, restored, 0},
        {"last of the play order", 3, 4, restored, 1},
        {"no current", -1, 4, restored, -1},
        {"current past the end", 4, 4, restored, 4},
        {"a shorter list restores what it has", 2, 2, {{0, "L0"}, {1, "L1"}, {3, "t3"}, {1, "t1"}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayQueue queue(audio);
        Load(queue, {{2, "t2"}, {0, "t0"}, {3, "t3"}, {1, "t1"}}, c.current);
        queue.RestoreListOrder(c.listCount, textOf);
        EXPECT_EQ(Snapshot(queue), c.after);
        EXPECT_EQ(queue.Current(), c.currentAfter);
    }
    EXPECT_TRUE(port.log.empty());
}

// continue.dat's plan over the reloaded list: the entries in the planned
// order with the list's texts, current on the planned track.
TEST(PlayQueueListOrder, RefillTakesThePlannedOrderAndLooksTheCurrentTrackUp)
{
    FakeMciPort port;
    CMciAudio audio(port);
    const std::vector<std::string> list = {"L0", "", "L2", "L3"};
    const CPlayQueue::ListText textOf = [&list](int i) { return list.at(static_cast<size_t>(i)); };
    const struct {
        const char* name;
        std::vector<int> order;
        int currentPos;
        Pairs after;
        int currentAfter;
    } cases[] = {
        {"shuffled with a current", {3, 0, 2}, 2, {{3, "L3"}, {0, "L0"}, {2, "L2"}}, 2},
        {"no current", {0, 2, 3}, -1, {{0, "L0"}, {2, "L2"}, {3, "L3"}}, -1},
        {"a current beyond the plan", {0, 2}, 2, {{0, "L0"}, {2, "L2"}}, -1},
        // An item without text gets no entry, so positions behind it shift.
        {"an empty text is passed over", {1, 3, 0}, 2, {{3, "L3"}, {0, "L0"}}, 1},
        {"the current track has no entry", {1, 3, 0}, 0, {{3, "L3"}, {0, "L0"}}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayQueue queue(audio);
        Load(queue, {{5, "old"}}, 0);
        queue.Refill(c.order, c.currentPos, textOf);
        EXPECT_EQ(Snapshot(queue), c.after);
        EXPECT_EQ(queue.Current(), c.currentAfter);
    }
}

} // namespace
