#include "playlist/list_edit.h"

#include <algorithm>

namespace {

// Moving each item of a run by one place ends the same as moving the run's
// neighbour to its other end: one delete and one insert per run, all runs in
// one call each.
void MoveRuns(ITrackList& list, const std::vector<IndexRun>& runs, bool up)
{
    std::vector<int> from;
    std::vector<int> to;
    std::vector<TrackText> texts(runs.size());
    from.reserve(runs.size());
    to.reserve(runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        const int neighbour = up ? runs[i].first - 1 : runs[i].last + 1;
        from.push_back(neighbour);
        to.push_back(up ? runs[i].last : runs[i].first);
        list.Text(neighbour, texts[i]);
    }
    list.Delete(from);
    list.Insert(to, texts);
}

std::vector<IndexRun> Shifted(std::vector<IndexRun> runs, int by)
{
    for (IndexRun& run : runs) {
        run.first += by;
        run.last += by;
    }
    return runs;
}

// Takes back the first inserted of these list items after an insert that
// did not take them all.
void TakeBack(ITrackList& list, const std::vector<int>& at, size_t inserted)
{
    if (inserted > 0)
        list.Delete(std::vector<int>(at.begin(), at.begin() + static_cast<std::ptrdiff_t>(inserted)));
}

} // namespace

CListEdit CListEdit::Add(ITrackList& list, CPlayQueue& queue, const std::vector<TrackText>& texts,
                         EditOutcome& outcome)
{
    outcome = EditOutcome{};
    CListEdit edit;
    for (const TrackText& text : texts) {
        if (!text.empty())
            edit.m_texts.push_back(text);
    }
    if (edit.m_texts.empty())
        return CListEdit{};
    edit.m_countBefore = list.Count();
    edit.m_currentBefore = queue.Current();
    edit.m_before = list.Selection();
    edit.m_indexes.resize(edit.m_texts.size());
    for (size_t j = 0; j < edit.m_indexes.size(); ++j)
        edit.m_indexes[j] = edit.m_countBefore + static_cast<int>(j);

    const size_t inserted = list.Insert(edit.m_indexes, edit.m_texts);
    if (inserted == 0)
        return CListEdit{};
    edit.m_texts.resize(inserted);
    edit.m_indexes.resize(inserted);
    for (size_t j = 0; j < inserted; ++j)
        queue.Add(edit.m_indexes[j], edit.m_texts[j].c_str());

    edit.m_kind = Kind::Add;
    edit.m_countAfter = list.Count();
    edit.m_currentAfter = queue.Current();
    edit.KeepSelectionAfter(list.Selection());
    outcome.done = true;
    return edit;
}

CListEdit CListEdit::Remove(ITrackList& list, CPlayQueue& queue, const std::vector<int>& indexes,
                            EditOutcome& outcome)
{
    outcome = EditOutcome{};
    CListEdit edit;
    const int count = list.Count();
    std::vector<int>& ks = edit.m_indexes;
    for (int k : indexes) {
        if (k >= 0 && k < count)
            ks.push_back(k);
    }
    std::sort(ks.begin(), ks.end());
    ks.erase(std::unique(ks.begin(), ks.end()), ks.end());
    if (ks.empty())
        return CListEdit{};
    edit.m_countBefore = count;
    edit.m_currentBefore = queue.Current();
    edit.m_before = list.Selection();
    edit.m_texts.resize(ks.size());
    for (size_t j = 0; j < ks.size(); ++j)
        list.Text(ks[j], edit.m_texts[j]);
    for (int pos = 0; pos < queue.Count(); ++pos) {
        const auto it = std::lower_bound(ks.begin(), ks.end(), queue.At(pos).listIndex);
        if (it != ks.end() && *it == queue.At(pos).listIndex)
            edit.m_placed.emplace_back(pos, static_cast<int>(it - ks.begin()));
    }

    list.Delete(ks);
    outcome.start = queue.RemoveListIndexes(ks);

    edit.m_kind = Kind::Remove;
    edit.m_startedTrack = outcome.start >= 0;
    edit.m_countAfter = list.Count();
    edit.m_currentAfter = queue.Current();
    edit.KeepSelectionAfter(list.Selection());
    outcome.done = true;
    return edit;
}

CListEdit CListEdit::Move(ITrackList& list, CPlayQueue& queue, bool up, EditOutcome& outcome)
{
    outcome = EditOutcome{};
    CListEdit edit;
    // Runs that touch or overlap would move into each other: the selection
    // is taken as the set of items it names.
    const ListSelection selected = list.Selection();
    std::vector<int> indexes = IndexesOf(selected.runs);
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    edit.m_before = SelectionOf(indexes, selected.caret);
    const std::vector<IndexRun>& runs = edit.m_before.runs;
    const int count = list.Count();
    if (runs.empty() || runs.front().first < 0 || runs.back().last >= count)
        return CListEdit{};
    if (up ? runs.front().first == 0 : runs.back().last == count - 1)
        return CListEdit{};
    edit.m_countBefore = count;
    edit.m_currentBefore = queue.Current();

    queue.MoveListIndexes(indexes, up);
    MoveRuns(list, runs, up);
    // The caret ends where moving item by item leaves it: on the last item
    // selected again.
    edit.m_after.runs = Shifted(runs, up ? -1 : 1);
    edit.m_after.caret = edit.m_after.runs.back().last;
    list.Select(edit.m_after);

    edit.m_kind = Kind::Move;
    edit.m_up = up;
    edit.m_countAfter = list.Count();
    edit.m_currentAfter = queue.Current();
    outcome.done = true;
    return edit;
}

void CListEdit::KeepSelectionAfter(ListSelection after)
{
    // A long scattered selection that an edit leaves as it was is kept once.
    m_afterAsBefore = after == m_before;
    if (!m_afterAsBefore)
        m_after = std::move(after);
}

void CListEdit::RestoreCurrent(CPlayQueue& queue, int currentAtStart, bool startedTrack) const
{
    // A track that plays, or that the edit or the caller starts, is what the
    // user hears: it stays current. Otherwise current is only a place in the
    // play order, and one nobody moved since the edit goes back where it was.
    if (m_startedTrack || startedTrack || currentAtStart != m_currentAfter)
        return;
    if (queue.Playing() && queue.HasValidCurrent())
        return;
    queue.SetCurrent(m_currentBefore);
}

EditOutcome CListEdit::Replay(ITrackList& list, CPlayQueue& queue, QueueOrder order, bool forward) const
{
    EditOutcome outcome;
    switch (m_kind) {
    case Kind::Add:
    case Kind::Remove:
        // Undoing a removal inserts, as doing an addition again does.
        return (m_kind == Kind::Add) == forward ? InsertAgain(list, queue, order) : RemoveAgain(list, queue);
    case Kind::Move: {
        const ListSelection& from = forward ? m_before : m_after;
        const bool up = m_up == forward;
        queue.MoveListIndexes(IndexesOf(from.runs), up);
        MoveRuns(list, from.runs, up);
        outcome.done = true;
        break;
    }
    case Kind::None:
        break;
    }
    return outcome;
}

EditOutcome CListEdit::Undo(ITrackList& list, CPlayQueue& queue, QueueOrder order) const
{
    EditOutcome outcome;
    if (Empty() || list.Count() != m_countAfter)
        return outcome;
    const int currentAtStart = queue.Current();
    outcome = Replay(list, queue, order, false);
    if (!outcome.done)
        return outcome;
    list.Select(m_before);
    RestoreCurrent(queue, currentAtStart, outcome.start >= 0);
    return outcome;
}

EditOutcome CListEdit::Redo(ITrackList& list, CPlayQueue& queue, QueueOrder order) const
{
    EditOutcome outcome;
    if (Empty() || list.Count() != m_countBefore)
        return outcome;
    outcome = Replay(list, queue, order, true);
    if (!outcome.done)
        return outcome;
    // From the state the edit found, doing it again leaves current where it
    // left it; from any other, the edit's own rules are the right ones.
    list.Select(m_afterAsBefore ? m_before : m_after);
    return outcome;
}

EditOutcome CListEdit::RemoveAgain(ITrackList& list, CPlayQueue& queue) const
{
    EditOutcome outcome;
    list.Delete(m_indexes);
    outcome.start = queue.RemoveListIndexes(m_indexes);
    outcome.done = true;
    return outcome;
}

EditOutcome CListEdit::InsertAgain(ITrackList& list, CPlayQueue& queue, QueueOrder order) const
{
    EditOutcome outcome;
    const size_t inserted = list.Insert(m_indexes, m_texts);
    if (inserted < m_indexes.size()) {
        TakeBack(list, m_indexes, inserted);
        return outcome;
    }
    if (m_kind == Kind::Add) {
        for (size_t j = 0; j < m_indexes.size(); ++j)
            queue.Add(m_indexes[j], m_texts[j].c_str());
    } else {
        // The entries return to their places in the play order; with the
        // queue in list order, to their list places, which are the same
        // unless shuffle was turned off since.
        std::vector<PlacedEntry> placed;
        placed.reserve(m_placed.size());
        for (const auto& p : m_placed) {
            const int listIndex = m_indexes[static_cast<size_t>(p.second)];
            placed.push_back(PlacedEntry{order == QueueOrder::ListOrder ? listIndex : p.first,
                                         PlayQueueEntry{listIndex, m_texts[static_cast<size_t>(p.second)]}});
        }
        queue.InsertListIndexes(m_indexes, std::move(placed));
    }
    outcome.done = true;
    return outcome;
}

size_t CListEdit::Bytes() const
{
    size_t bytes = sizeof(*this) + m_indexes.capacity() * sizeof(int) + m_placed.capacity() * sizeof(m_placed[0])
                   + (m_before.runs.capacity() + m_after.runs.capacity()) * sizeof(IndexRun)
                   + m_texts.capacity() * sizeof(TrackText);
    for (const TrackText& text : m_texts)
        bytes += (text.capacity() + 1) * sizeof(TrackText::value_type);
    return bytes;
}
