#pragma once
// The editor's list box as the core's track list. The texts are also kept
// here, beside the box: reading 100,000 of them back through the box costs
// two messages each, which Find, Save and the bulk edits cannot afford.
// Every change of the list goes through this object, so the two never part.
// Redraw is the caller's: it suspends it around an edit.
#include "framework/window.h"
#include "playlist/track_list.h"

#include <vector>

class CTrackListBox final : public ITrackList {
public:
    // Up to this many items change one by one, as a user would see them go
    // item after item; so do more when the box would move fewer items than
    // it holds (at its end). Anything else rebuilds the box in one pass.
    static constexpr size_t kFewItems = 32;

    explicit CTrackListBox(const fw::CListBox& box) : m_box(box) {}

    int Count() const override { return static_cast<int>(m_texts.size()); }
    void Text(int index, TrackText& out) const override;
    size_t Insert(const std::vector<int>& at, const std::vector<TrackText>& texts) override;
    void Delete(const std::vector<int>& ascendingIndexes) override;
    ListSelection Selection() const override;
    void Select(const ListSelection& selection) override;

    // The texts, shared: a copy of the vector costs a count per text.
    const std::vector<SharedText>& Texts() const { return m_texts; }
    // A new list: these texts, nothing selected. Returns how many the box
    // took (all of them unless it is full; the rest are dropped).
    size_t Assign(std::vector<SharedText> texts);
    // Every item's text rewritten, one for one: the selection, the caret and
    // the first visible item stay.
    void Replace(std::vector<SharedText> texts);

private:
    // The box refilled with the items in order, then the selection (new
    // indexes, ascending), caret and first visible item: false when the box
    // did not take them all.
    bool Refill(const std::vector<SharedText>& items, const std::vector<int>& selected, int caret, int top);
    void SelectRuns(const std::vector<IndexRun>& runs) const;
    int TopIndex() const { return static_cast<int>(m_box.SendMessage(LB_GETTOPINDEX)); }

    const fw::CListBox& m_box;
    std::vector<SharedText> m_texts;
};
