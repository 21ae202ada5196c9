#pragma once
// CPlayQueue: the player's play order. Each entry pairs the index of a track's
// item in the editor's list box with its own copy of the path; shuffling
// permutes the entries, never the list box. The queue also starts and stops
// playback of its current entry on the audio device.

#include <functional>
#include <string>
#include <vector>

class CMciAudio;

struct PlayQueueEntry {
    int listIndex;
    std::string path; // the entry's own heap copy
};

class CPlayQueue {
public:
    explicit CPlayQueue(CMciAudio& audio);
    ~CPlayQueue();

    CPlayQueue(const CPlayQueue&) = delete;
    CPlayQueue& operator=(const CPlayQueue&) = delete;

    std::vector<PlayQueueEntry> entries;
    int current = -1;
    bool repeat = true;
    // Source of the shuffle's random numbers, 0..32767; rand() seeded with the
    // time unless a test puts in its own sequence.
    std::function<int()> random;

    int Count() const;
    void Add(int listIndex, const char* path);
    void Remove(int listIndex);
    void SetEntry(int pos, int listIndex, const char* path);
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
    // Position of the first entry carrying listIndex, -1 if none. O(1) in the
    // unshuffled case (entries[listIndex] carries it), otherwise a scan.
    int PositionOf(int listIndex) const;
    // Same entries, renumbering and current as Remove(k) for each k from the
    // highest to the lowest, in one pass over the queue. Ascending, unique.
    void RemoveListIndexes(const std::vector<int>& ascendingListIndexes);

private:
    void StopAndClose();

    CMciAudio& audio;
};
