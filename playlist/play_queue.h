#pragma once
// CPlayQueue: the player's play order. Each entry pairs the index of a track's
// item in the editor's list box with its own copy of the path (a shared text:
// the copy costs a count, and nothing ever changes it in place); shuffling
// permutes the entries, never the list box. The queue also starts and stops
// playback of its current entry on the audio device, and answers what the
// list's bulk edits mean for the play order and for what plays.

#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "playlist/shared_text.h"

class CMciAudio;

// A track's text as the list and the queue hold it: a path or whatever line
// the playlist had, in UTF-16 units (wider wchar_t natively, one unit each).
// Code that handles track text is written against this name.
using TrackText = std::wstring;

struct PlayQueueEntry {
    int listIndex;
    SharedText path;
};

// An entry to put back at a position of the play order.
struct PlacedEntry {
    int position;
    PlayQueueEntry entry;
};

class CPlayQueue {
public:
    // The text of the list item at a list index, for the operations that
    // take the play order back from the list.
    using ListText = std::function<SharedText(int listIndex)>;

    // What RemoveListIndexes leaves to start, when it is no position.
    static constexpr int kNothingToStart = -1; // the playing track stays, or nothing plays
    static constexpr int kEveryTrackWent = -2; // the playing track went, and every other one

    explicit CPlayQueue(CMciAudio& audio);
    ~CPlayQueue();

    CPlayQueue(const CPlayQueue&) = delete;
    CPlayQueue& operator=(const CPlayQueue&) = delete;

    int Count() const;
    // The current position: -1 for none; it may also stand past the end
    // once its entry was removed (see Remove).
    int Current() const { return m_current; }
    // Any value: the queue never reads outside its entries whatever current is.
    void SetCurrent(int pos) { m_current = pos; }
    // The entry at a position; pos must be below Count().
    const PlayQueueEntry& At(int pos) const { return m_entries[static_cast<size_t>(pos)]; }
    // The current entry, or null when current is no valid position.
    const PlayQueueEntry* CurrentEntry() const;
    // The list indexes in play order, as continue.dat stores them.
    std::vector<int> PlayOrder() const;

    bool Repeat() const { return m_repeat; }
    void SetRepeat(bool repeat) { m_repeat = repeat; }
    // Source of the shuffle's random numbers, 0..32767: rand() seeded with the
    // time unless a test puts in its own sequence.
    void SetRandom(std::function<int()> random) { m_random = std::move(random); }

    // The playlist file's folder: an entry that depends on one is opened from
    // there, whatever the current directory is. Empty for an untitled list,
    // whose entries are opened as written.
    void SetTrackFolder(TrackText folder) { m_trackFolder = std::move(folder); }
    // The path the device opens for the entry at a position (below Count()).
    TrackText PathToOpen(int pos) const;

    void Add(int listIndex, const wchar_t* path);
    void Add(int listIndex, SharedText path);
    // Room for this many entries, ahead of adding a whole list.
    void Reserve(size_t count) { m_entries.reserve(count); }
    void Remove(int listIndex);
    void SetEntry(int pos, int listIndex, SharedText path);
    void Clear();
    void Shuffle();
    bool Advance();
    bool Back();
    bool PlayCurrent(int fromMs);
    bool Next();
    bool Previous();
    bool PlayListIndex(int listIndex);
    bool MoveUp(int listIndex);
    bool MoveDown(int listIndex);
    void SwapPaths(int a, int b);

    // current is a valid position.
    bool HasValidCurrent() const;
    // The device plays the current track (paused counts as playing).
    bool Playing() const;
    // Position of the first entry carrying listIndex, -1 if none. O(1) in the
    // unshuffled case (entries[listIndex] carries it), otherwise a scan.
    int PositionOf(int listIndex) const;

    // The list items at these list indexes were deleted (ascending, unique):
    // the same entries and renumbering as Remove(k) for each k from the
    // highest to the lowest, in one pass over the queue. While a track plays
    // and goes, each of those removals would start the track that moved into
    // its place or, with none behind it, the one before it (which may go at a
    // later step in turn): current is then left on the track that walk ends
    // on, and its position is returned for the caller to start. Otherwise
    // current is left as the removals leave it and kNothingToStart (or
    // kEveryTrackWent) is returned. Indexes that are not ascending and
    // unique, or a queue that does not carry each list index once, take the
    // walk step by step.
    int RemoveListIndexes(const std::vector<int>& ascendingListIndexes);

    // Move Up (up) or Move Down of the list items at these list indexes, as
    // MoveUp for each in the given order or MoveDown for each in the reverse
    // order; one lookup of the positions serves them all. True when any moved.
    bool MoveListIndexes(const std::vector<int>& listIndexes, bool up);

    // The way back from RemoveListIndexes: list items came back at these
    // list indexes (ascending, unique), so every entry's list index moves up
    // past them as its item does; then each placed entry goes in so that it
    // stands at its position (taken in ascending order, a position past the
    // end appends). An entry with an empty path or a negative list index is
    // refused, as Add refuses it. Current stays on its entry; a current past
    // the end stays as far past the new end, and none stays none. Nothing is
    // started or stopped. One pass over the queue.
    void InsertListIndexes(const std::vector<int>& ascendingListIndexes, std::vector<PlacedEntry> placed);

    // Shuffle off: entry i becomes list index i with the item's text, for
    // each of the listCount items that has an entry, and the track that was
    // current is current again at its list index.
    void RestoreListOrder(int listCount, const ListText& textOf);

    // Refills the queue with these list indexes in this play order, each
    // with its item's text, and makes the entry carrying order[currentPos]
    // current (-1 for none).
    void Refill(const std::vector<int>& order, int currentPos, const ListText& textOf);

private:
    void StopAndClose();
    // The one-pass removal without the playing track's rule.
    void RemovePlain(const std::vector<int>& ascendingListIndexes);
    // RemoveListIndexes for any input, removal by removal.
    int RemoveStepByStep(const std::vector<int>& listIndexes);

    CMciAudio& m_audio;
    std::vector<PlayQueueEntry> m_entries;
    int m_current = -1;
    bool m_repeat = true;
    std::function<int()> m_random;
    TrackText m_trackFolder;
};
