#pragma once
// The editor's list of tracks as the portable core sees it: texts by index,
// bulk inserts and deletes, and the selection. Edits, undo, find and the
// missing-file check work through it, on the list box and on a plain vector
// alike. Lists run to 100,000 items, so every change comes as one call.

#include <cstddef>
#include <vector>

#include "playlist/play_queue.h"

// Items first..last, both included.
struct IndexRun {
    int first;
    int last;
};

// A selection kept as runs, so that Select All of a long list costs one run.
struct ListSelection {
    std::vector<IndexRun> runs; // ascending, apart from each other
    int caret = -1;             // the focused item, -1 for none
};

bool operator==(const ListSelection& a, const ListSelection& b);
inline bool operator!=(const ListSelection& a, const ListSelection& b) { return !(a == b); }

// The runs of these indexes (ascending, unique).
ListSelection SelectionOf(const std::vector<int>& ascendingIndexes, int caret);
std::vector<int> IndexesOf(const std::vector<IndexRun>& runs);

class ITrackList {
public:
    virtual ~ITrackList() = default;

    virtual int Count() const = 0;
    // The text of the item at index (below Count()), into out: a caller that
    // reads many items passes the same string and nothing is allocated anew.
    virtual void Text(int index, TrackText& out) const = 0;
    // Inserts texts[j] so that it stands at at[j] afterwards; at is ascending
    // and unique, and each at[j] is at most the count once the ones before it
    // are in. Returns how many went in, in order: fewer than all only when
    // the list is full, which never happens to an insert that leaves the
    // count at most what it was before the last Delete. Inserted items are
    // not selected.
    virtual size_t Insert(const std::vector<int>& at, const std::vector<TrackText>& texts) = 0;
    // Deletes the items at these indexes (ascending, unique, below Count()).
    virtual void Delete(const std::vector<int>& ascendingIndexes) = 0;
    virtual ListSelection Selection() const = 0;
    // Selects exactly these items and puts the caret there.
    virtual void Select(const ListSelection& selection) = 0;
};
