#include "playlist/play_queue.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "audio/mci_audio.h"

CPlayQueue::CPlayQueue(CMciAudio& device) : audio(device)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    random = [] { return std::rand(); };
}

CPlayQueue::~CPlayQueue()
{
    Clear();
}

int CPlayQueue::Count() const
{
    return static_cast<int>(entries.size());
}

bool CPlayQueue::HasValidCurrent() const
{
    return current >= 0 && current < Count();
}

void CPlayQueue::StopAndClose()
{
    if (audio.isPlaying)
        audio.Stop();
    if (audio.isOpen)
        audio.Close();
}

void CPlayQueue::Add(int listIndex, const char* path)
{
    if (listIndex < 0 || !path || !*path)
        return;
    entries.push_back(PlayQueueEntry{listIndex, path});
}

void CPlayQueue::Remove(int listIndex)
{
    const int count = Count();
    if (count == 0 || listIndex < 0 || listIndex >= count)
        return;
    // The same track stays current when an entry before it goes; when the
    // current entry itself goes, current names the one that moved up into
    // its place (or one past the end).
    const bool currentValid = HasValidCurrent();
    int removedBeforeCurrent = 0;
    size_t kept = 0;
    for (size_t pos = 0; pos < entries.size(); ++pos) {
        PlayQueueEntry& entry = entries[pos];
        if (entry.listIndex == listIndex) {
            if (currentValid && static_cast<int>(pos) < current)
                ++removedBeforeCurrent;
            continue;
        }
        if (entry.listIndex > listIndex)
            --entry.listIndex;
        if (kept != pos)
            entries[kept] = std::move(entry);
        ++kept;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
    if (currentValid)
        current -= removedBeforeCurrent;
}

void CPlayQueue::RemoveListIndexes(const std::vector<int>& ascendingListIndexes)
{
    const std::vector<int>& ks = ascendingListIndexes;
    for (size_t i = 1; i < ks.size(); ++i) {
        if (ks[i] <= ks[i - 1]) {
            // Not ascending and unique: the one-pass reasoning below does not
            // hold, so do exactly what the caller described, one by one.
            for (auto it = ks.rbegin(); it != ks.rend(); ++it)
                Remove(*it);
            return;
        }
    }
    const int n = Count();
    if (n == 0 || ks.empty())
        return;

    // Walking from the highest index down, an entry whose list index L is one
    // of the removed indexes is erased in the step of L, and any other entry
    // ends up renumbered by the count of removed indexes below L. A step does
    // nothing once its index is no longer below the (shrinking) count.
    std::vector<int> carriers(static_cast<size_t>(n), 0);
    for (const PlayQueueEntry& entry : entries) {
        if (entry.listIndex >= 0 && entry.listIndex < n)
            ++carriers[static_cast<size_t>(entry.listIndex)];
    }
    std::vector<char> removed(static_cast<size_t>(n), 0);
    int count = n;
    for (auto it = ks.rbegin(); it != ks.rend(); ++it) {
        const int k = *it;
        if (k < 0 || k >= count)
            continue;
        removed[static_cast<size_t>(k)] = 1;
        count -= carriers[static_cast<size_t>(k)];
    }
    std::vector<int> removedBelow(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        removedBelow[static_cast<size_t>(i) + 1] = removedBelow[static_cast<size_t>(i)] + removed[static_cast<size_t>(i)];
    auto isRemoved = [&](int listIndex) {
        return listIndex >= 0 && listIndex < n && removed[static_cast<size_t>(listIndex)];
    };

    // Where current ends up. It follows its entry; when that entry is erased
    // it names whatever entry moves into its place at that step: the first
    // later entry not erased by then (erased later means a smaller index).
    // With none left behind it, current equals the count after that step and
    // stays there, as Remove leaves a current that is past the end alone.
    int newCurrent = current;
    if (HasValidCurrent()) {
        int c = current;
        for (;;) {
            const int own = entries[static_cast<size_t>(c)].listIndex;
            if (!isRemoved(own)) {
                int erasedBefore = 0;
                for (int pos = 0; pos < c; ++pos)
                    erasedBefore += isRemoved(entries[static_cast<size_t>(pos)].listIndex) ? 1 : 0;
                newCurrent = c - erasedBefore;
                break;
            }
            int next = c + 1;
            while (next < n && isRemoved(entries[static_cast<size_t>(next)].listIndex)
                   && entries[static_cast<size_t>(next)].listIndex >= own)
                ++next;
            if (next == n) {
                int countAfterStep = n;
                for (int k = own; k < n; ++k)
                    countAfterStep -= removed[static_cast<size_t>(k)] ? carriers[static_cast<size_t>(k)] : 0;
                newCurrent = countAfterStep;
                break;
            }
            c = next;
        }
    }

    size_t kept = 0;
    for (size_t pos = 0; pos < entries.size(); ++pos) {
        PlayQueueEntry& entry = entries[pos];
        if (isRemoved(entry.listIndex))
            continue;
        if (entry.listIndex > 0)
            entry.listIndex -= removedBelow[static_cast<size_t>(std::min(entry.listIndex, n))];
        if (kept != pos)
            entries[kept] = std::move(entry);
        ++kept;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
    current = newCurrent;
}

void CPlayQueue::SetEntry(int pos, int listIndex, const char* path)
{
    if (pos < 0 || pos >= Count())
        return;
    PlayQueueEntry& entry = entries[static_cast<size_t>(pos)];
    entry.listIndex = listIndex;
    entry.path = path ? path : "";
}

void CPlayQueue::Clear()
{
    std::vector<PlayQueueEntry>().swap(entries);
    current = -1;
    StopAndClose();
}

void CPlayQueue::Shuffle()
{
    const int n = Count();
    if (n < 3)
        return;
    for (int i = 0; i + 2 < n; ++i) {
        const unsigned d = static_cast<unsigned>(n - 1 - i);
        const int r = random ? random() : std::rand();
        const int j = i + 1 + static_cast<int>(static_cast<unsigned>(r) % d);
        // Only a track that is loaded in the device is followed; otherwise
        // current keeps its number.
        if (audio.isOpen) {
            if (j == current)
                current = i;
            else if (i == current)
                current = j;
        }
        std::swap(entries[static_cast<size_t>(i)], entries[static_cast<size_t>(j)]);
    }
}

bool CPlayQueue::Advance()
{
    const int count = Count();
    if (count == 0)
        return false;
    // A current past the end (its entry was removed) counts as the end, so
    // nothing is read there; below -1 counts as no current entry.
    const int from = std::max(current, -1);
    if (from + 1 >= count) {
        if (!repeat) {
            audio.Beep(0);
            return false;
        }
        current = 0;
    } else {
        current = from + 1;
    }
    StopAndClose();
    return true;
}

bool CPlayQueue::Back()
{
    const int count = Count();
    if (current < 0 || count == 0)
        return false;
    if (current > 0) {
        current = std::min(current, count) - 1;
    } else {
        if (!repeat) {
            audio.Beep(0);
            return false;
        }
        current = count - 1;
    }
    StopAndClose();
    return true;
}

bool CPlayQueue::PlayCurrent(int fromMs)
{
    if (!HasValidCurrent())
        return false;
    StopAndClose();
    if (!audio.Open(entries[static_cast<size_t>(current)].path.c_str()))
        return false;
    return audio.Play(fromMs);
}

bool CPlayQueue::Next()
{
    return Advance() && PlayCurrent(0);
}

bool CPlayQueue::Previous()
{
    return Back() && PlayCurrent(0);
}

int CPlayQueue::PositionOf(int listIndex) const
{
    const int count = Count();
    if (listIndex >= 0 && listIndex < count && entries[static_cast<size_t>(listIndex)].listIndex == listIndex)
        return listIndex;
    for (int pos = 0; pos < count; ++pos) {
        if (entries[static_cast<size_t>(pos)].listIndex == listIndex)
            return pos;
    }
    return -1;
}

bool CPlayQueue::PlayListIndex(int listIndex)
{
    const int count = Count();
    if (count == 0 || listIndex < 0 || listIndex >= count)
        return false;
    const int pos = PositionOf(listIndex);
    if (pos >= 0)
        current = pos;
    return PlayCurrent(0);
}

bool CPlayQueue::MoveUp(int listIndex)
{
    if (listIndex < 1 || listIndex >= Count())
        return false;
    const int a = PositionOf(listIndex - 1);
    const int b = PositionOf(listIndex);
    if (a < 0 || b < 0)
        return false;
    SwapPaths(a, b);
    return true;
}

bool CPlayQueue::MoveDown(int listIndex)
{
    if (listIndex < 0 || listIndex >= Count() - 1)
        return false;
    const int a = PositionOf(listIndex);
    const int b = PositionOf(listIndex + 1);
    if (a < 0 || b < 0)
        return false;
    SwapPaths(a, b);
    return true;
}

void CPlayQueue::SwapPaths(int a, int b)
{
    const int count = Count();
    if (a < 0 || a >= count || b < 0 || b >= count)
        return;
    std::swap(entries[static_cast<size_t>(a)].path, entries[static_cast<size_t>(b)].path);
    if (current == a)
        current = b;
    else if (current == b)
        current = a;
}
