// Undo and Redo of the list edits against the states before and after each
// edit, over seeded random edits in each play mode; which track is current
// after an undo; the saved-state marker; the bounds; 100,000 tracks.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "audio/mci_audio.h"
#include "fake_mci_port.h"
#include "fake_track_list.h"
#include "playlist/edit_history.h"

namespace {

struct State {
    std::vector<TrackText> texts;
    ListSelection selection;
    std::vector<int> order;
    int current;
    TrackText currentTrack; // empty when current names no entry
};

struct Rig {
    explicit Rig(int tracks = 0, size_t budget = CEditHistory::kByteBudget, size_t steps = 500) : history(budget, steps)
    {
        port.SetLength(2000);
        for (int i = 0; i < tracks; ++i)
            history.AddTracks(list, queue, {Track()});
        history.Reset();
    }
    TrackText Track() { return L"C:\\m\\t" + std::to_wstring(made++) + L".mp3"; }
    State Capture() const
    {
        EXPECT_EQ(queue.Count(), list.Count());
        for (int pos = 0; pos < queue.Count(); ++pos) // in step: entry path = item text
            EXPECT_EQ(queue.At(pos).path, list.items.at(static_cast<size_t>(queue.At(pos).listIndex)));
        const PlayQueueEntry* entry = queue.CurrentEntry();
        return State{list.items, list.Selection(), queue.PlayOrder(), queue.Current(), entry ? entry->path.Str() : L""};
    }
    // What the player does with an outcome.
    EditOutcome Played(EditOutcome outcome)
    {
        if (outcome.start >= 0)
            queue.PlayCurrent(0);
        return outcome;
    }
    bool Undo(QueueOrder order = QueueOrder::ListOrder) { return Played(history.Undo(list, queue, order)).done; }
    bool Redo(QueueOrder order = QueueOrder::ListOrder) { return Played(history.Redo(list, queue, order)).done; }

    FakeMciPort port;
    CMciAudio audio{port};
    CPlayQueue queue{audio};
    FakeTrackList list;
    CEditHistory history;
    int made = 0;
};

void ExpectSame(const State& actual, const State& expected, bool withCurrent)
{
    EXPECT_EQ(actual.texts, expected.texts);
    EXPECT_TRUE(actual.selection == expected.selection);
    EXPECT_EQ(actual.order, expected.order);
    if (withCurrent) {
        EXPECT_EQ(actual.current, expected.current);
    }
}

TEST(EditHistoryTest, UndoAndRedoGiveTheStatesBeforeAndAfterEveryEdit)
{
    ASSERT_FALSE(SelectionOf({1}, 1) == SelectionOf({1, 2}, 1)); // the comparison below sees the runs
    for (unsigned seed = 1; seed <= 180; ++seed) {
        const QueueOrder order = seed % 2 ? QueueOrder::Shuffled : QueueOrder::ListOrder;
        const int mode = seed / 2 % 3; // no current, current idle, current playing
        SCOPED_TRACE(seed);
        std::mt19937 gen(seed);
        auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
        Rig rig(pick(0, 10));
        rig.queue.SetRandom([&] { return pick(0, 32767); });
        if (order == QueueOrder::Shuffled)
            rig.queue.Shuffle();
        rig.queue.SetCurrent(mode > 0 && rig.list.Count() > 0 ? pick(0, rig.list.Count() - 1) : -1);
        if (mode == 2)
            rig.queue.PlayCurrent(0);

        std::vector<State> befores, afters;
        for (int step = 0; step < 14; ++step) {
            std::vector<int> picked;
            for (int i = 0; i < rig.list.Count(); ++i) {
                if (pick(0, 2) == 0)
                    picked.push_back(i);
            }
            rig.list.Select(SelectionOf(picked, picked.empty() ? -1 : picked[0]));
            const State before = rig.Capture();
            const int command = pick(0, 3);
            const EditOutcome outcome =
                command == 0 ? rig.history.AddTracks(rig.list, rig.queue, {rig.Track(), rig.Track()})
                : command == 1 ? rig.Played(rig.history.RemoveTracks(rig.list, rig.queue, picked))
                               : rig.history.MoveSelection(rig.list, rig.queue, command == 2);
            if (!outcome.done) {
                ExpectSame(rig.Capture(), before, true);
                continue;
            }
            const State after = rig.Capture();
            const EditOutcome undo = rig.Played(rig.history.Undo(rig.list, rig.queue, order));
            ASSERT_TRUE(undo.done);
            const State undone = rig.Capture();
            ExpectSame(undone, before, mode < 2);
            // A playing track that is still there stays current; one that the
            // undo takes away is left by the removal rules (undo.start).
            if (mode == 2 && std::count(before.texts.begin(), before.texts.end(), after.currentTrack)) {
                EXPECT_EQ(undone.currentTrack, after.currentTrack);
            } else if (undo.start < 0) {
                EXPECT_EQ(undone.current, before.current);
            }
            ASSERT_TRUE(rig.Redo(order));
            ExpectSame(rig.Capture(), after, undo.start < 0);
            befores.push_back(before);
            afters.push_back(after);
        }
        for (size_t i = befores.size(); i-- > 0;) {
            ASSERT_TRUE(rig.Undo(order));
            ExpectSame(rig.Capture(), befores[i], mode < 2);
        }
        EXPECT_FALSE(rig.Undo(order));
        for (const State& after : afters) {
            ASSERT_TRUE(rig.Redo(order));
            ExpectSame(rig.Capture(), after, mode < 2);
        }
        EXPECT_FALSE(rig.Redo(order));
    }
}

// Tracks 1 and 2 of four go while track 1 is current, and come back.
TEST(EditHistoryTest, UndoKeepsThePlayingTrackAndRestoresAnIdleCurrent)
{
    // between: '-' nothing, 's' Stop, 'n' the user makes track 0 current; start:
    // what the removal asks to start; current: after the undo.
    const struct { const char* name; bool playing; std::vector<int> removed; char between; int start, current; } cases[] = {
        {"idle, current went", false, {2, 9, 1, -1, 2}, '-', CPlayQueue::kNothingToStart, 1},
        {"idle, moved by the user since", false, {1, 2}, 'n', CPlayQueue::kNothingToStart, 0},
        {"playing, current went", true, {1, 2}, '-', 1, 3},
        {"playing, the started track stopped since", true, {1, 2, 3}, 's', 0, 0},
        {"playing, current stayed", true, {2}, '-', CPlayQueue::kNothingToStart, 1},
        {"playing, every track went", true, {0, 1, 2, 3}, '-', CPlayQueue::kEveryTrackWent, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(4);
        rig.queue.SetCurrent(1);
        if (c.playing)
            rig.queue.PlayCurrent(0);
        EXPECT_EQ(rig.Played(rig.history.RemoveTracks(rig.list, rig.queue, c.removed)).start, c.start);
        if (c.between == 's')
            rig.audio.Stop();
        if (c.between == 'n')
            rig.queue.SetCurrent(0);
        EXPECT_EQ(rig.history.Undo(rig.list, rig.queue, QueueOrder::ListOrder).start, CPlayQueue::kNothingToStart);
        EXPECT_EQ(rig.queue.Current(), c.current);
    }
}

// Tracks come back to their old places in a shuffled order, and to their
// list places once shuffle was turned off.
TEST(EditHistoryTest, RemovedTracksComeBackToTheQueueAsItStandsNow)
{
    Rig rig(6);
    auto textOf = [&](int i) { return rig.list.items[static_cast<size_t>(i)]; };
    rig.queue.Refill({4, 1, 5, 0, 3, 2}, 0, textOf);
    rig.history.RemoveTracks(rig.list, rig.queue, {1, 4});
    EXPECT_EQ(rig.queue.PlayOrder(), (std::vector<int>{3, 0, 2, 1}));
    rig.Undo(QueueOrder::Shuffled);
    EXPECT_EQ(rig.queue.PlayOrder(), (std::vector<int>{4, 1, 5, 0, 3, 2}));
    rig.Redo(QueueOrder::Shuffled);
    rig.queue.RestoreListOrder(rig.list.Count(), textOf);
    rig.Undo(QueueOrder::ListOrder);
    EXPECT_EQ(rig.queue.PlayOrder(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    rig.Capture();
}

// The queue's own way back: list indexes taken sorted and from 0, entries
// placed in position order, refused as Add refuses them, current kept.
TEST(EditHistoryTest, InsertListIndexesRenumbersPlacesAndKeepsCurrent)
{
    const struct { int current; std::vector<PlacedEntry> placed; std::vector<int> order; int after; } cases[] = {
        {1, {{0, {0, L"a"}}, {3, {3, L"d"}}}, {0, 1, 2, 3}, 2},
        {0, {{9, {3, L"d"}}, {0, {0, L"a"}}}, {0, 1, 2, 3}, 1},
        {1, {{0, {0, L""}}, {0, {-1, L"x"}}}, {1, 2}, 1},
        {-1, {{0, {0, L"a"}}}, {0, 1, 2}, -1},
        {2, {{0, {0, L"a"}}, {1, {3, L"d"}}}, {0, 3, 1, 2}, 4}, // past the end stays as far past it
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.queue.Add(0, L"b");
        rig.queue.Add(1, L"c");
        rig.queue.SetCurrent(c.current);
        rig.queue.InsertListIndexes({3, 0, -1}, c.placed);
        EXPECT_EQ(rig.queue.PlayOrder(), c.order);
        EXPECT_EQ(rig.queue.Current(), c.after);
    }
}

// After each action (a = add, u = undo, r = redo, s = save, n = New): is the
// list as it is in its file?
TEST(EditHistoryTest, KnowsWhenTheListIsAsSaved)
{
    const struct { size_t maxSteps; const char* actions; const char* saved; } cases[] = {
        {10, "asauurr", "0101010"}, {10, "aasuruu", "0010100"},
        {10, "asuaurr", "0100000"}, // a new edit ends the way back to the saved state
        {10, "aaan", "0001"},       {2, "saaauu", "100000"}, // the step out of it was dropped
        {2, "asaaauu", "0100000"},  {2, "aasau", "00101"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actions);
        Rig rig(0, CEditHistory::kByteBudget, c.maxSteps);
        std::string saved;
        for (const char* a = c.actions; *a; ++a) {
            switch (*a) {
            case 'a': rig.history.AddTracks(rig.list, rig.queue, {rig.Track()}); break;
            case 'u': rig.Undo(); break;
            case 'r': rig.Redo(); break;
            case 's': rig.history.MarkSaved(); break;
            default: rig.history.Reset(); break;
            }
            saved += rig.history.AtSavedState() ? '1' : '0';
        }
        EXPECT_EQ(saved, c.saved);
    }
}

TEST(EditHistoryTest, DropsTheOldestStepsAndSurvivesAFullList)
{
    Rig rig(0, 5000, 3);
    for (int i = 0; i < 5; ++i)
        rig.history.AddTracks(rig.list, rig.queue, {TrackText(2000 / sizeof(wchar_t), 'x')}); // over 2 KB a step
    EXPECT_EQ(rig.history.Steps(), 2u); // the budget bites before the count
    EXPECT_LE(rig.history.Bytes(), 5000u);
    while (rig.Undo()) {
    }
    EXPECT_EQ(rig.list.Count(), 3);
    for (int i = 0; i < 4; ++i)
        rig.history.AddTracks(rig.list, rig.queue, {rig.Track()});
    EXPECT_EQ(rig.history.Steps(), 3u);
    rig.history.AddTracks(rig.list, rig.queue, {TrackText(9000, 'z')}); // the newest stays, however large
    EXPECT_EQ(rig.history.Steps(), 1u);

    // A list that cannot take back every item of an undo keeps none of them.
    rig.history.RemoveTracks(rig.list, rig.queue, {0, 2, 4});
    const State removed = rig.Capture();
    rig.list.capacity = 7;
    EXPECT_FALSE(rig.Undo());
    ExpectSame(rig.Capture(), removed, true);
    rig.list.capacity = 9;
    EXPECT_TRUE(rig.Undo());
    EXPECT_TRUE(rig.history.AddTracks(rig.list, rig.queue, {L"C:\\a.mp3", L"", L"C:\\b.mp3"}).done); // one fits
    EXPECT_EQ(rig.list.items.back(), L"C:\\a.mp3");
    EXPECT_TRUE(rig.Undo());
    EXPECT_EQ(rig.Capture().texts.size(), 8u);
}

TEST(EditHistoryTest, StepsOnAHugeListHoldWhatChangedAndUndoInOneCall)
{
    Rig rig;
    std::vector<TrackText> tracks;
    for (int i = 0; i < 100000; ++i)
        tracks.push_back(L"C:\\Music\\Some Artist\\Some Album\\" + std::to_wstring(i) + L" A Title.mp3");
    rig.history.AddTracks(rig.list, rig.queue, tracks);
    rig.history.Reset();
    for (int i = 0; i < 10; ++i) {
        rig.list.Select(SelectionOf({50000 - i}, 50000 - i));
        ASSERT_TRUE(rig.history.MoveSelection(rig.list, rig.queue, true).done);
    }
    EXPECT_LT(rig.history.Bytes(), 1024u * 1024);
    EXPECT_EQ(rig.list.items[49990], tracks[50000]);

    std::vector<int> half(50000);
    std::generate(half.begin(), half.end(), [i = 0]() mutable { return 2 * i++; });
    rig.list.Select(SelectionOf(half, 0));
    const size_t bytes = rig.history.Bytes();
    rig.history.AddTracks(rig.list, rig.queue, {L"C:\\new.mp3"});
    EXPECT_LT(rig.history.Bytes() - bytes, 600000u); // 50,000 runs of selection, kept once
    rig.history.RemoveTracks(rig.list, rig.queue, half);
    const int texts = rig.list.textCalls;
    const int inserts = rig.list.insertCalls;
    ASSERT_TRUE(rig.Undo());
    EXPECT_EQ(rig.list.insertCalls, inserts + 1);
    EXPECT_EQ(rig.list.textCalls, texts);
    while (rig.Undo()) {
    }
    EXPECT_EQ(rig.list.items, tracks);
    EXPECT_EQ(rig.queue.PlayOrder().back(), 99999);
}

} // namespace
