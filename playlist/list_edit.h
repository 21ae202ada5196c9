#pragma once
// One edit of the track list and the play queue in step with it: Add Tracks
// or drop (items added at the end), a removal (Remove, Clear Dupes, Remove
// Missing Files) or a block move of the selection. The edit is done here and
// keeps what it takes to undo and redo it: what changed and the selection
// before and after, never a copy of the whole list.

#include <cstddef>
#include <utility>
#include <vector>

#include "playlist/play_queue.h"
#include "playlist/track_list.h"

// How the queue stands when an edit is undone or redone: with shuffle off it
// follows the list, and items that come back take their list places in it.
enum class QueueOrder { ListOrder, Shuffled };

struct EditOutcome {
    bool done = false; // false: nothing changed
    // As RemoveListIndexes answers: a queue position for the caller to start,
    // or kNothingToStart, or kEveryTrackWent.
    int start = CPlayQueue::kNothingToStart;
};

class CListEdit {
public:
    // Each does its command and returns the edit; outcome tells what it did
    // (not done: the edit is empty and nothing changed).
    // Texts go to the end of the list and of the play order, an empty one
    // excepted (it names no track); a full list takes the first ones.
    static CListEdit Add(ITrackList& list, CPlayQueue& queue, const std::vector<TrackText>& texts,
                         EditOutcome& outcome);
    // The items at these indexes go (taken sorted, once each, in range).
    static CListEdit Remove(ITrackList& list, CPlayQueue& queue, const std::vector<int>& indexes,
                            EditOutcome& outcome);
    // The selected items move one place up or down, runs as blocks; nothing
    // moves when the selection touches the end it would move towards.
    static CListEdit Move(ITrackList& list, CPlayQueue& queue, bool up, EditOutcome& outcome);

    // Undo takes the list, the selection and the queue back to how they were
    // before the edit; Redo does the edit again. Both do nothing to a list
    // whose count is not what the edit left (or found). Neither starts or
    // stops playback: a playing track stays current. When nothing plays and
    // current is where the edit left it, Undo puts it back exactly. Items
    // that go take current with them by the queue's removal rules, and
    // outcome.start says what the caller should start.
    EditOutcome Undo(ITrackList& list, CPlayQueue& queue, QueueOrder order) const;
    EditOutcome Redo(ITrackList& list, CPlayQueue& queue, QueueOrder order) const;

    bool Empty() const { return m_kind == Kind::None; }
    // The memory the edit holds, roughly: it grows with what changed.
    size_t Bytes() const;

private:
    enum class Kind { None, Add, Remove, Move };

    void KeepSelectionAfter(ListSelection after);
    // Undo's current rule, given the current it started from.
    void RestoreCurrent(CPlayQueue& queue, int currentAtStart, bool startedTrack) const;
    EditOutcome RemoveAgain(ITrackList& list, CPlayQueue& queue) const;
    EditOutcome InsertAgain(ITrackList& list, CPlayQueue& queue, QueueOrder order) const;
    // The edit done again (forward) or taken back, list and queue alike.
    EditOutcome Replay(ITrackList& list, CPlayQueue& queue, QueueOrder order, bool forward) const;

    Kind m_kind = Kind::None;
    bool m_up = false;
    // A track started by the edit itself stays current through its undo.
    bool m_startedTrack = false;
    int m_countBefore = 0;
    int m_countAfter = 0;
    int m_currentBefore = -1;
    int m_currentAfter = -1;
    // Add: the indexes the texts took; Remove: the indexes that went.
    std::vector<int> m_indexes;
    std::vector<TrackText> m_texts;
    // Remove: each queue entry that went, as its play position and the
    // index into m_indexes of its list item.
    std::vector<std::pair<int, int>> m_placed;
    ListSelection m_before;
    ListSelection m_after;
    bool m_afterAsBefore = false; // the selection after is m_before
};
