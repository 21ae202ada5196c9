#include "playlist/play_queue.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "audio/mci_audio.h"
#include "playlist/track_paths.h"

CPlayQueue::CPlayQueue(CMciAudio& device) : m_audio(device)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_random = [] { return std::rand(); };
}

CPlayQueue::~CPlayQueue()
{
    Clear();
}

int CPlayQueue::Count() const
{
    return static_cast<int>(m_entries.size());
}

bool CPlayQueue::HasValidCurrent() const
{
    return m_current >= 0 && m_current < Count();
}

bool CPlayQueue::Playing() const
{
    return m_audio.isPlaying;
}

const PlayQueueEntry* CPlayQueue::CurrentEntry() const
{
    return HasValidCurrent() ? &m_entries[static_cast<size_t>(m_current)] : nullptr;
}

std::vector<int> CPlayQueue::PlayOrder() const
{
    std::vector<int> order;
    order.reserve(m_entries.size());
    for (const PlayQueueEntry& entry : m_entries)
        order.push_back(entry.listIndex);
    return order;
}

void CPlayQueue::StopAndClose()
{
    if (m_audio.isPlaying)
        m_audio.Stop();
    if (m_audio.isOpen)
        m_audio.Close();
}

void CPlayQueue::Add(int listIndex, const wchar_t* path)
{
    if (listIndex < 0 || !path || !*path)
        return;
    m_entries.push_back(PlayQueueEntry{listIndex, path});
}

void CPlayQueue::Add(int listIndex, SharedText path)
{
    if (listIndex >= 0 && !path.empty())
        m_entries.push_back(PlayQueueEntry{listIndex, std::move(path)});
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
    for (size_t pos = 0; pos < m_entries.size(); ++pos) {
        PlayQueueEntry& entry = m_entries[pos];
        if (entry.listIndex == listIndex) {
            if (currentValid && static_cast<int>(pos) < m_current)
                ++removedBeforeCurrent;
            continue;
        }
        if (entry.listIndex > listIndex)
            --entry.listIndex;
        if (kept != pos)
            m_entries[kept] = std::move(entry);
        ++kept;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(kept), m_entries.end());
    if (currentValid)
        m_current -= removedBeforeCurrent;
}

int CPlayQueue::RemoveListIndexes(const std::vector<int>& ascendingListIndexes)
{
    const std::vector<int>& ks = ascendingListIndexes;
    // Not ascending and unique: the one-pass reasoning does not hold, so do
    // exactly what the caller described, one by one.
    for (size_t i = 1; i < ks.size(); ++i) {
        if (ks[i] <= ks[i - 1])
            return RemoveStepByStep(ks);
    }
    const int n = Count();
    if (n == 0 || ks.empty())
        return kNothingToStart;

    const PlayQueueEntry* playing = m_audio.isPlaying ? CurrentEntry() : nullptr;
    if (!playing || !std::binary_search(ks.begin(), ks.end(), playing->listIndex)) {
        // The playing track stays (or nothing plays): only the entries change.
        RemovePlain(ks);
        return kNothingToStart;
    }

    // The rule below needs in-range indexes over a queue that carries each
    // list index once; anything else takes the walk step by step.
    bool wellFormed = ks.front() >= 0 && ks.back() < n;
    std::vector<char> carried(static_cast<size_t>(n), 0);
    for (const PlayQueueEntry& entry : m_entries) {
        if (!wellFormed)
            break;
        wellFormed = entry.listIndex >= 0 && entry.listIndex < n && !carried[static_cast<size_t>(entry.listIndex)];
        if (wellFormed)
            carried[static_cast<size_t>(entry.listIndex)] = 1;
    }
    if (!wellFormed)
        return RemoveStepByStep(ks);

    std::vector<char> removed(static_cast<size_t>(n), 0);
    for (int k : ks)
        removed[static_cast<size_t>(k)] = 1;
    auto kept = [&](int pos) { return !removed[static_cast<size_t>(m_entries[static_cast<size_t>(pos)].listIndex)]; };

    // One by one, each removal of the playing track would start the track
    // that moved into its place or, with none behind it, the last one left;
    // that track may go at a later step in turn. Entries keep their order and
    // a kept track is never passed over, so the walk ends on the first kept
    // track behind the playing one or, with none, on the last kept one
    // before it. The tracks that go anyway are never started.
    int target = -1;
    for (int pos = m_current + 1; pos < n && target < 0; ++pos) {
        if (kept(pos))
            target = pos;
    }
    for (int pos = m_current - 1; pos >= 0 && target < 0; --pos) {
        if (kept(pos))
            target = pos;
    }

    int removedBefore = 0;
    for (int pos = 0; pos < target; ++pos)
        removedBefore += kept(pos) ? 0 : 1;
    RemovePlain(ks);
    if (target < 0)
        return kEveryTrackWent; // current stays as the removals left it
    m_current = target - removedBefore;
    return m_current;
}

int CPlayQueue::RemoveStepByStep(const std::vector<int>& listIndexes)
{
    // As if each start succeeded: the device plays on until the next one.
    const bool playing = m_audio.isPlaying;
    bool playingWent = false;
    for (auto it = listIndexes.rbegin(); it != listIndexes.rend(); ++it) {
        const int removedAt = PositionOf(*it);
        const int currentBefore = m_current;
        Remove(*it);
        if (!playing || removedAt < 0 || removedAt != currentBefore)
            continue;
        playingWent = true;
        // Unless the next one moved into its place, the one before it plays.
        if (!HasValidCurrent() && Count() > 0)
            m_current = std::min(m_current, Count()) - 1;
    }
    if (playingWent && HasValidCurrent())
        return m_current;
    return playingWent && Count() == 0 ? kEveryTrackWent : kNothingToStart;
}

void CPlayQueue::RemovePlain(const std::vector<int>& ascendingListIndexes)
{
    const std::vector<int>& ks = ascendingListIndexes;
    const int n = Count();
    if (n == 0 || ks.empty())
        return;

    // Walking from the highest index down, an entry whose list index L is one
    // of the removed indexes is erased in the step of L, and any other entry
    // ends up renumbered by the count of removed indexes below L. A step does
    // nothing once its index is no longer below the (shrinking) count.
    std::vector<int> carriers(static_cast<size_t>(n), 0);
    for (const PlayQueueEntry& entry : m_entries) {
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
    int newCurrent = m_current;
    if (HasValidCurrent()) {
        int c = m_current;
        for (;;) {
            const int own = m_entries[static_cast<size_t>(c)].listIndex;
            if (!isRemoved(own)) {
                int erasedBefore = 0;
                for (int pos = 0; pos < c; ++pos)
                    erasedBefore += isRemoved(m_entries[static_cast<size_t>(pos)].listIndex) ? 1 : 0;
                newCurrent = c - erasedBefore;
                break;
            }
            int next = c + 1;
            while (next < n && isRemoved(m_entries[static_cast<size_t>(next)].listIndex)
                   && m_entries[static_cast<size_t>(next)].listIndex >= own)
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
    for (size_t pos = 0; pos < m_entries.size(); ++pos) {
        PlayQueueEntry& entry = m_entries[pos];
        if (isRemoved(entry.listIndex))
            continue;
        if (entry.listIndex > 0)
            entry.listIndex -= removedBelow[static_cast<size_t>(std::min(entry.listIndex, n))];
        if (kept != pos)
            m_entries[kept] = std::move(entry);
        ++kept;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(kept), m_entries.end());
    m_current = newCurrent;
}

void CPlayQueue::SetEntry(int pos, int listIndex, SharedText path)
{
    if (pos < 0 || pos >= Count())
        return;
    PlayQueueEntry& entry = m_entries[static_cast<size_t>(pos)];
    entry.listIndex = listIndex;
    entry.path = std::move(path);
}

void CPlayQueue::Clear()
{
    std::vector<PlayQueueEntry>().swap(m_entries);
    m_current = -1;
    StopAndClose();
}

void CPlayQueue::Shuffle()
{
    const int n = Count();
    if (n < 3)
        return;
    for (int i = 0; i + 2 < n; ++i) {
        const unsigned d = static_cast<unsigned>(n - 1 - i);
        const int r = m_random ? m_random() : std::rand();
        const int j = i + 1 + static_cast<int>(static_cast<unsigned>(r) % d);
        // Only a track that is loaded in the device is followed; otherwise
        // current keeps its number.
        if (m_audio.isOpen) {
            if (j == m_current)
                m_current = i;
            else if (i == m_current)
                m_current = j;
        }
        std::swap(m_entries[static_cast<size_t>(i)], m_entries[static_cast<size_t>(j)]);
    }
}

bool CPlayQueue::Advance()
{
    const int count = Count();
    if (count == 0)
        return false;
    // A current past the end (its entry was removed) counts as the end, so
    // nothing is read there; below -1 counts as no current entry.
    const int from = std::max(m_current, -1);
    if (from + 1 >= count) {
        if (!m_repeat) {
            m_audio.Beep(0);
            return false;
        }
        m_current = 0;
    } else {
        m_current = from + 1;
    }
    StopAndClose();
    return true;
}

bool CPlayQueue::Back()
{
    const int count = Count();
    if (m_current < 0 || count == 0)
        return false;
    if (m_current > 0) {
        m_current = std::min(m_current, count) - 1;
    } else {
        if (!m_repeat) {
            m_audio.Beep(0);
            return false;
        }
        m_current = count - 1;
    }
    StopAndClose();
    return true;
}

TrackText CPlayQueue::PathToOpen(int pos) const
{
    return ResolveTrackPath(At(pos).path.Str(), m_trackFolder);
}

bool CPlayQueue::PlayCurrent(int fromMs)
{
    if (!HasValidCurrent())
        return false;
    StopAndClose();
    if (!m_audio.Open(PathToOpen(m_current).c_str()))
        return false;
    return m_audio.Play(fromMs);
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
    if (listIndex >= 0 && listIndex < count && m_entries[static_cast<size_t>(listIndex)].listIndex == listIndex)
        return listIndex;
    for (int pos = 0; pos < count; ++pos) {
        if (m_entries[static_cast<size_t>(pos)].listIndex == listIndex)
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
        m_current = pos;
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
    std::swap(m_entries[static_cast<size_t>(a)].path, m_entries[static_cast<size_t>(b)].path);
    if (m_current == a)
        m_current = b;
    else if (m_current == b)
        m_current = a;
}

bool CPlayQueue::MoveListIndexes(const std::vector<int>& listIndexes, bool up)
{
    // MoveUp and MoveDown look each list index up, in a shuffled queue a scan
    // per item. One map of list index to position, built by PositionOf's own
    // rule, does it for all of them: swapping paths never changes it.
    const int n = Count();
    std::vector<int> position(static_cast<size_t>(n), -1);
    for (int pos = n - 1; pos >= 0; --pos) {
        const int listIndex = At(pos).listIndex;
        if (listIndex >= 0 && listIndex < n)
            position[static_cast<size_t>(listIndex)] = pos;
    }
    for (int listIndex = 0; listIndex < n; ++listIndex) {
        if (At(listIndex).listIndex == listIndex)
            position[static_cast<size_t>(listIndex)] = listIndex;
    }
    auto swapWithNext = [&](int listIndex) {
        // The single moves' own rule: both list indexes below the count.
        if (listIndex < 0 || listIndex + 1 >= n)
            return false;
        const int a = position[static_cast<size_t>(listIndex)];
        const int b = position[static_cast<size_t>(listIndex) + 1];
        if (a < 0 || b < 0)
            return false;
        SwapPaths(a, b);
        return true;
    };
    bool moved = false;
    if (up) {
        for (int listIndex : listIndexes)
            moved = swapWithNext(listIndex - 1) || moved;
    } else {
        for (auto it = listIndexes.rbegin(); it != listIndexes.rend(); ++it)
            moved = swapWithNext(*it) || moved;
    }
    return moved;
}

void CPlayQueue::RestoreListOrder(int listCount, const ListText& textOf)
{
    const PlayQueueEntry* entry = CurrentEntry();
    const int k = entry ? entry->listIndex : -1;
    for (int i = 0; i < listCount; ++i) {
        if (i == k)
            m_current = i;
        if (i < Count())
            SetEntry(i, i, textOf(i));
    }
}

void CPlayQueue::Refill(const std::vector<int>& order, int currentPos, const ListText& textOf)
{
    Clear();
    for (int listIndex : order)
        Add(listIndex, textOf(listIndex));
    // Add passes over an empty path, so the track is looked up again rather
    // than trusting its planned position.
    const bool stored = currentPos >= 0 && static_cast<size_t>(currentPos) < order.size();
    m_current = stored ? PositionOf(order[static_cast<size_t>(currentPos)]) : -1;
}

void CPlayQueue::InsertListIndexes(const std::vector<int>& ascendingListIndexes, std::vector<PlacedEntry> placed)
{
    std::vector<int> ks = ascendingListIndexes;
    if (!std::is_sorted(ks.begin(), ks.end()) || std::adjacent_find(ks.begin(), ks.end()) != ks.end()) {
        std::sort(ks.begin(), ks.end());
        ks.erase(std::unique(ks.begin(), ks.end()), ks.end());
    }
    ks.erase(ks.begin(), std::lower_bound(ks.begin(), ks.end(), 0));
    // Item j came back in front of the item that stood at ks[j] - j without
    // it; that sequence does not fall, so one binary search per entry counts
    // the items that came back in front of it.
    std::vector<int> before(ks.size());
    for (size_t j = 0; j < ks.size(); ++j)
        before[j] = ks[j] - static_cast<int>(j);
    if (!before.empty()) {
        for (PlayQueueEntry& entry : m_entries) {
            if (entry.listIndex >= 0)
                entry.listIndex += static_cast<int>(std::upper_bound(before.begin(), before.end(), entry.listIndex)
                                                    - before.begin());
        }
    }

    placed.erase(std::remove_if(placed.begin(), placed.end(),
                                [](const PlacedEntry& p) { return p.entry.listIndex < 0 || p.entry.path.empty(); }),
                 placed.end());
    if (placed.empty())
        return;
    std::stable_sort(placed.begin(), placed.end(),
                     [](const PlacedEntry& a, const PlacedEntry& b) { return a.position < b.position; });

    const int count = Count();
    const bool currentValid = HasValidCurrent();
    int newCurrent = m_current;
    if (m_current >= count)
        newCurrent = m_current + static_cast<int>(placed.size());
    std::vector<PlayQueueEntry> merged;
    merged.reserve(m_entries.size() + placed.size());
    size_t next = 0;
    for (size_t pos = 0; pos <= m_entries.size(); ++pos) {
        const bool atEnd = pos == m_entries.size();
        while (next < placed.size()
               && (atEnd || placed[next].position <= static_cast<int>(merged.size())))
            merged.push_back(std::move(placed[next++].entry));
        if (atEnd)
            break;
        if (currentValid && static_cast<int>(pos) == m_current)
            newCurrent = static_cast<int>(merged.size());
        merged.push_back(std::move(m_entries[pos]));
    }
    m_entries.swap(merged);
    m_current = newCurrent;
}
