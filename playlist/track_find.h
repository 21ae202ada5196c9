#pragma once
// Find in the track list: the next item whose text holds what the user
// typed, in any case. One pass over the list's texts through one reused
// string, so that a miss over 100,000 tracks stays instant.

#include "playlist/case_fold.h"
#include "playlist/track_list.h"

constexpr int kTrackNotFound = -1;

// The first index from start on (start itself included), going round to the
// top after the last item, whose text contains needle once both are folded;
// kTrackNotFound when none does or needle is empty. A start outside the list
// starts at the top.
int FindTrack(const ITrackList& list, const TrackText& needle, int start, const CCaseFolding& folding);
