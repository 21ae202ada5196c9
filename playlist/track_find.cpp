#include "playlist/track_find.h"

namespace {

bool ContainsFolded(const TrackText& text, const TrackText& foldedNeedle, const CCaseFolding& folding)
{
    const size_t n = foldedNeedle.size();
    if (text.size() < n)
        return false;
    const CCaseFolding::Unit first = foldedNeedle[0];
    for (size_t at = 0; at + n <= text.size(); ++at) {
        if (folding.Fold(text[at]) != first)
            continue;
        size_t i = 1;
        while (i < n && folding.Fold(text[at + i]) == foldedNeedle[i])
            ++i;
        if (i == n)
            return true;
    }
    return false;
}

} // namespace

int FindTrack(const ITrackList& list, const TrackText& needle, int start, const CCaseFolding& folding)
{
    const int count = list.Count();
    if (needle.empty() || count <= 0)
        return kTrackNotFound;
    if (start < 0 || start >= count)
        start = 0;
    const TrackText folded = folding.Folded(needle);
    TrackText text;
    for (int step = 0; step < count; ++step) {
        const int index = start + step < count ? start + step : start + step - count;
        list.Text(index, text);
        if (ContainsFolded(text, folded, folding))
            return index;
    }
    return kTrackNotFound;
}
