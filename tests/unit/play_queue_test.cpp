// The play queue over a recording port: renumbering, the current-track rules,
// wrap-around and what reaches the device; each bulk operation
// against the single steps it stands for, over seeded random queues.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "fake_mci_port.h"
#include "playlist/play_queue.h"

namespace {

using Log = std::vector<std::string>;
using Pairs = std::vector<std::pair<int, std::wstring>>;

std::wstring T(int i) { return L"C:\\t" + std::to_wstring(i) + L".mp3"; }
Pairs Snap(const CPlayQueue& q)
{
    Pairs out;
    for (int pos = 0; pos < q.Count(); ++pos)
        out.emplace_back(q.At(pos).listIndex, q.At(pos).path.Str());
    return out;
}
// Entries (k, T(k)) in this order; Seq(n) for 0..n-1.
Pairs Order(std::vector<int> ks) { return [&] { Pairs out; for (int k : ks) out.emplace_back(k, T(k)); return out; }(); }
Pairs Seq(int n) { return Order([n] { std::vector<int> ks(static_cast<size_t>(n)); std::iota(ks.begin(), ks.end(), 0); return ks; }()); }
// Exactly these entries, list indexes that Add refuses included.
void Load(CPlayQueue& q, const Pairs& entries, int current = -1)
{
    q.Clear();
    for (size_t pos = 0; pos < entries.size(); ++pos)
        q.Add(0, L"x"), q.SetEntry(static_cast<int>(pos), entries[pos].first, entries[pos].second.c_str());
    q.SetCurrent(current);
}

class PlayQueueTest : public ::testing::Test {
protected:
    FakeMciPort port;
    CMciAudio audio{port};
    CPlayQueue queue{audio};
    void SetUp() override { port.SetLength("2000"); }
    void Playing() { EXPECT_TRUE(audio.Open(L"C:\\loaded.mp3") && audio.Play(0)); port.Clear(); }
};

// Removing list index k renumbers the later indexes wherever they stand; the
// current track stays current, and a removed current names what moved up.
TEST_F(PlayQueueTest, AddAndRemoveKeepListIndexesAndTheCurrentTrack)
{
    for (auto add : {std::make_pair(0, L"C:\\a.mp3"), {1, L""}, {1, nullptr}, {-1, L"C:\\b.mp3"}, {7, L"C:\\b.mp3"}})
        queue.Add(add.first, add.second); // no path or no index: nothing added
    EXPECT_EQ(Snap(queue), (Pairs{{0, L"C:\\a.mp3"}, {7, L"C:\\b.mp3"}}));
    const Pairs drop0 = {{0, T(1)}, {1, T(2)}, {2, T(3)}}, drop1 = {{0, T(0)}, {1, T(2)}, {2, T(3)}};
    const struct { Pairs before; int current, k; Pairs after; int currentAfter; } rows[] = {
        {Seq(4), 2, 0, drop0, 1}, {Seq(4), 2, 1, drop1, 1}, {Seq(4), 1, 3, Seq(3), 1}, {Seq(4), 1, 1, drop1, 1}, {Seq(4), 3, 3, Seq(3), 3},
        {Seq(4), -1, 0, drop0, -1}, {Seq(4), 4, 0, drop0, 4}, {Seq(3), 1, -1, Seq(3), 1}, {Seq(3), 1, 3, Seq(3), 1}, {{}, -1, 0, {}, -1},
        {Order({2, 0, 3, 1}), 3, 1, {{1, T(2)}, {0, T(0)}, {2, T(3)}}, 3}, {Order({2, 0, 3, 1}), 2, 0, {{1, T(2)}, {2, T(3)}, {0, T(1)}}, 1},
    };
    for (const auto& r : rows) {
        Load(queue, r.before, r.current);
        queue.Remove(r.k);
        EXPECT_TRUE(Snap(queue) == r.after && queue.Current() == r.currentAfter) << "k " << r.k << ", current " << r.current;
    }
    EXPECT_TRUE(port.log.empty());
}

// A step closes the device and plays nothing; a refusal beeps and leaves it playing.
TEST_F(PlayQueueTest, AdvanceAndBackStepWrapOrBeep)
{
    const struct { bool advance; int count, current; bool repeat, result; int after; } rows[] = {
        {true, 0, -1, true, false, -1}, {true, 4, -1, false, true, 0}, {true, 4, 1, false, true, 2}, {true, 4, 3, true, true, 0},
        {true, 4, 3, false, false, 3},  {true, 4, 9, true, true, 0},   {true, 4, -5, false, true, 0}, {true, 4, 9, false, false, 9},
        {false, 4, -1, true, false, -1}, {false, 0, 0, true, false, 0}, {false, 4, 2, false, true, 1}, {false, 4, 0, true, true, 3},
        {false, 4, 0, false, false, 0}, {false, 4, 4, false, true, 3}, {false, 4, 7, false, true, 3},
    };
    for (const auto& r : rows) {
        Load(queue, Seq(r.count), r.current);
        queue.SetRepeat(r.repeat);
        Playing();
        EXPECT_EQ(r.advance ? queue.Advance() : queue.Back(), r.result) << r.advance << " from " << r.current << " of " << r.count;
        EXPECT_TRUE(queue.Current() == r.after && audio.isPlaying == !r.result) << r.advance << " from " << r.current << " of " << r.count;
        EXPECT_EQ(port.log, (r.result ? Log{"stop qvmp3", "close qvmp3"} : Log(r.count > 0 && r.current >= 0, "beep 0")));
        audio.Close();
    }
}

// Shuffle off puts the list back in its order, with the list's texts; Clear
// stops and closes, but keeps the repeat switch. (Playing: the window tests.)
TEST_F(PlayQueueTest, RestoreAndClear)
{
    Load(queue, Order({1, 0}), 0);
    queue.SetRepeat(false);
    queue.RestoreListOrder(2, [](int i) { return std::vector<std::wstring>{L"a", L"b"}.at(static_cast<size_t>(i)); });
    EXPECT_TRUE(Snap(queue) == (Pairs{{0, L"a"}, {1, L"b"}}) && queue.Current() == 1);
    queue.RestoreListOrder(1, [](int) { return std::wstring(L"x"); }); // a shorter list reaches no further entry
    EXPECT_TRUE(Snap(queue) == (Pairs{{0, L"x"}, {1, L"b"}}) && queue.Current() == 1);
    Playing();
    queue.Clear();
    EXPECT_TRUE(queue.Count() == 0 && queue.Current() == -1 && !queue.Repeat() && !audio.isOpen && port.log == (Log{"stop qvmp3", "close qvmp3"}));
}

int Pick(std::mt19937& gen, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }

// Queues of up to 14 entries, in list order or shuffled, in some rounds with
// list indexes that break the one-entry-per-item rule; selections that reach
// outside the list or repeat an index; current anywhere. The walk the
// editor's Remove stands for goes from the highest index: while a track
// plays, each removal of it starts the one that moved into its place, or with
// none behind it the one before it.
TEST(PlayQueueBulk, RemovalAndMovesMatchTheirSingleSteps)
{
    std::mt19937 gen(20240611);
    int started = 0, allGone = 0;
    for (int round = 0; round < 4000; ++round) {
        const int n = Pick(gen, 0, 14), margin = Pick(gen, 0, 1) * 2, current = Pick(gen, -2, n + 2);
        std::vector<int> order(static_cast<size_t>(n)), ks;
        std::iota(order.begin(), order.end(), 0);
        if (Pick(gen, 0, 1))
            std::shuffle(order.begin(), order.end(), gen);
        const bool broken = Pick(gen, 0, 3) == 0;
        Pairs entries;
        for (int i = 0; i < n; ++i)
            entries.emplace_back(broken ? Pick(gen, -2, n + 2) : order[static_cast<size_t>(i)], L"p" + std::to_wstring(i));
        for (int k = -margin; k < n + margin; ++k)
            if (Pick(gen, 0, 2) == 0)
                ks.push_back(k);
        if (!ks.empty() && Pick(gen, 0, 7) == 0)
            ks.insert(ks.begin() + Pick(gen, 0, static_cast<int>(ks.size())), ks[static_cast<size_t>(Pick(gen, 0, static_cast<int>(ks.size()) - 1))]);
        FakeMciPort onePort, bulkPort;
        onePort.SetLength("2000");
        CMciAudio oneAudio(onePort), bulkAudio(bulkPort);
        CPlayQueue one(oneAudio), bulk(bulkAudio);
        Load(one, entries, current);
        Load(bulk, entries, current);
        oneAudio.isPlaying = bulkAudio.isPlaying = round % 2 == 1;
        bool playingWent = false;
        for (auto it = ks.rbegin(); it != ks.rend(); ++it) {
            const bool playing = oneAudio.isPlaying;
            const int at = one.PositionOf(*it), was = one.Current();
            one.Remove(*it);
            if (playing && at >= 0 && at == was && (playingWent = true) && !(one.HasValidCurrent() && one.PlayCurrent(0)) && one.Count() > 0 && !one.HasValidCurrent())
                one.Previous();
        }
        const int result = bulk.RemoveListIndexes(ks);
        const bool starts = playingWent && one.HasValidCurrent();
        ASSERT_TRUE(Snap(bulk) == Snap(one) && bulkPort.log.empty()) << round << ": the bulk removal starts nothing itself";
        ASSERT_EQ(result, starts ? one.Current() : playingWent && one.Count() == 0 ? CPlayQueue::kEveryTrackWent : CPlayQueue::kNothingToStart) << round;
        ASSERT_TRUE(playingWent && one.Count() == 0 ? true : bulk.Current() == one.Current()) << round;
        started += starts, allGone += result == CPlayQueue::kEveryTrackWent;
        // A block move against MoveUp for each index in order, or MoveDown for each in the reverse order.
        const bool up = Pick(gen, 0, 1) == 1;
        Load(one, entries, current);
        Load(bulk, entries, current);
        bool moved = false;
        for (size_t i = 0; i < ks.size(); ++i)
            moved = (up ? one.MoveUp(ks[i]) : one.MoveDown(ks[ks.size() - 1 - i])) || moved;
        ASSERT_TRUE(bulk.MoveListIndexes(ks, up) == moved && Snap(bulk) == Snap(one) && bulk.Current() == one.Current()) << round;
    }
    EXPECT_TRUE(started > 200 && allGone > 5) << started << " " << allGone;
}

} // namespace
