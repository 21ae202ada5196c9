#include "editor/track_list_box.h"

#include <algorithm>

void CTrackListBox::Text(int index, TrackText& out) const
{
    if (index >= 0 && index < Count())
        out.assign(m_texts[static_cast<size_t>(index)].View());
    else
        out.clear();
}

size_t CTrackListBox::Insert(const std::vector<int>& at, const std::vector<TrackText>& texts)
{
    const size_t n = std::min(at.size(), texts.size());
    const int count = Count();
    size_t units = 0;
    for (size_t j = 0; j < n; ++j)
        units += texts[j].size() + 1;
    SharedTextBuilder shared(units); // the inserted texts, kept together
    // Inserted lowest first, each item moves the ones behind it.
    long long moves = 0;
    for (size_t j = 0; j < n; ++j)
        moves += std::max(0LL, static_cast<long long>(count) + static_cast<long long>(j) - at[j]);
    if (n <= kFewItems || moves <= count) {
        size_t j = 0;
        for (; j < n; ++j) {
            const int index = at[j];
            if (index < 0 || index > Count() || m_box.InsertString(index, texts[j].c_str()) < 0)
                break;
            m_texts.insert(m_texts.begin() + index, shared.Append(texts[j]));
        }
        return j;
    }

    // One pass: old item i goes to newIndex[i]; an at[] that breaks the
    // order ends the insert there, as the box would refuse it.
    std::vector<SharedText> merged;
    std::vector<char> inserted;
    std::vector<int> newIndex(static_cast<size_t>(count));
    merged.reserve(static_cast<size_t>(count) + n);
    inserted.reserve(static_cast<size_t>(count) + n);
    size_t j = 0;
    for (int i = 0; i <= count; ++i) {
        while (j < n && at[j] == static_cast<int>(merged.size())) {
            merged.push_back(shared.Append(texts[j++]));
            inserted.push_back(1);
        }
        if (i == count)
            break;
        newIndex[static_cast<size_t>(i)] = static_cast<int>(merged.size());
        merged.push_back(std::move(m_texts[static_cast<size_t>(i)]));
        inserted.push_back(0);
    }
    auto place = [&](int oldIndex) {
        return oldIndex >= 0 && oldIndex < count ? newIndex[static_cast<size_t>(oldIndex)] : -1;
    };
    const std::vector<int> selected = m_box.GetSelItems();
    const int caret = m_box.GetCaretIndex();
    const int top = TopIndex();
    std::vector<int> moved;
    moved.reserve(selected.size());
    for (int s : selected) {
        if (place(s) >= 0)
            moved.push_back(place(s));
    }
    if (Refill(merged, moved, place(caret), place(top))) {
        m_texts = std::move(merged);
        return j;
    }
    // The box is full: it gets back exactly what it held.
    for (size_t k = 0, i = 0; k < merged.size(); ++k) {
        if (!inserted[k])
            m_texts[i++] = std::move(merged[k]);
    }
    Refill(m_texts, selected, caret, top);
    return 0;
}

void CTrackListBox::Delete(const std::vector<int>& ascendingIndexes)
{
    const int count = Count();
    std::vector<int> ks;
    ks.reserve(ascendingIndexes.size());
    for (int k : ascendingIndexes) {
        if (k >= 0 && k < count && (ks.empty() || k > ks.back()))
            ks.push_back(k);
    }
    if (ks.empty())
        return;
    // Deleted highest first, each item moves the survivors behind it.
    long long moves = 0;
    for (size_t j = 0; j < ks.size(); ++j)
        moves += static_cast<long long>(count - 1 - ks[j]) - static_cast<long long>(ks.size() - 1 - j);
    if (ks.size() <= kFewItems || moves <= count) {
        for (auto it = ks.rbegin(); it != ks.rend(); ++it) {
            m_box.DeleteString(*it);
            m_texts.erase(m_texts.begin() + *it);
        }
        return;
    }

    // Rebuilt from the survivors, keeping what the user sees: their
    // selection, the caret and the first visible item.
    std::vector<char> gone(static_cast<size_t>(count), 0);
    for (int k : ks)
        gone[static_cast<size_t>(k)] = 1;
    // newIndex[i]: where item i ends up, or for a deleted one, where the
    // survivor after it ends up.
    std::vector<int> newIndex(static_cast<size_t>(count));
    std::vector<SharedText> kept;
    kept.reserve(static_cast<size_t>(count) - ks.size());
    for (int i = 0; i < count; ++i) {
        newIndex[static_cast<size_t>(i)] = static_cast<int>(kept.size());
        if (!gone[static_cast<size_t>(i)])
            kept.push_back(std::move(m_texts[static_cast<size_t>(i)]));
    }
    const int keptCount = static_cast<int>(kept.size());
    auto place = [&](int oldIndex) {
        if (oldIndex < 0 || oldIndex >= count || keptCount == 0)
            return -1;
        return std::min(newIndex[static_cast<size_t>(oldIndex)], keptCount - 1);
    };
    std::vector<int> survivors;
    for (int s : m_box.GetSelItems()) {
        if (s >= 0 && s < count && !gone[static_cast<size_t>(s)])
            survivors.push_back(newIndex[static_cast<size_t>(s)]);
    }
    const int caret = place(m_box.GetCaretIndex());
    const int top = place(TopIndex());
    m_texts = std::move(kept);
    Refill(m_texts, survivors, caret, top); // fewer items than it held: it takes them
}

ListSelection CTrackListBox::Selection() const
{
    const int caret = m_box.GetCaretIndex();
    return SelectionOf(m_box.GetSelItems(), caret >= 0 && caret < Count() ? caret : -1);
}

void CTrackListBox::Select(const ListSelection& selection)
{
    m_box.SendMessage(LB_SETSEL, FALSE, -1);
    SelectRuns(selection.runs);
    if (selection.caret >= 0 && selection.caret < Count())
        m_box.SetCaretIndex(selection.caret);
}

size_t CTrackListBox::Assign(std::vector<SharedText> texts)
{
    m_texts = std::move(texts);
    if (Refill(m_texts, {}, -1, -1))
        return m_texts.size();
    m_texts.resize(static_cast<size_t>(m_box.GetCount()));
    return m_texts.size();
}

void CTrackListBox::Replace(std::vector<SharedText> texts)
{
    if (texts.size() != m_texts.size())
        return;
    const std::vector<int> selected = m_box.GetSelItems();
    const int caret = m_box.GetCaretIndex();
    const int top = TopIndex();
    m_texts = std::move(texts);
    Refill(m_texts, selected, caret < Count() ? caret : -1, top);
}

bool CTrackListBox::Refill(const std::vector<SharedText>& items, const std::vector<int>& selected, int caret, int top)
{
    m_box.ResetContent();
    if (!items.empty()) {
        size_t bytes = 0;
        for (const SharedText& text : items)
            bytes += (text.size() + 1) * sizeof(wchar_t);
        m_box.InitStorage(static_cast<int>(items.size()), static_cast<int>(bytes / items.size() + 1));
    }
    for (const SharedText& text : items) {
        if (m_box.AddString(text.c_str()) < 0)
            return false;
    }
    SelectRuns(SelectionOf(selected, -1).runs);
    if (caret >= 0)
        m_box.SetCaretIndex(caret);
    if (top >= 0)
        m_box.SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(top));
    return true;
}

void CTrackListBox::SelectRuns(const std::vector<IndexRun>& runs) const
{
    const int last = m_box.GetCount() - 1;
    for (const IndexRun& run : runs) {
        const int first = std::max(run.first, 0);
        const int end = std::min(run.last, last);
        if (first <= end)
            m_box.SendMessage(LB_SELITEMRANGEEX, static_cast<WPARAM>(first), static_cast<LPARAM>(end));
    }
}
