#pragma once
// The track list as a plain vector with selection flags, holding the core to
// the list's contract and counting the calls it gets.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "playlist/track_list.h"

class FakeTrackList : public ITrackList {
public:
    explicit FakeTrackList(std::vector<TrackText> texts = {}) : items(std::move(texts)), selected(items.size(), 0) {}

    int Count() const override { return static_cast<int>(items.size()); }
    void Text(int index, TrackText& out) const override
    {
        ++textCalls;
        out = items.at(static_cast<size_t>(index));
    }
    size_t Insert(const std::vector<int>& at, const std::vector<TrackText>& texts) override
    {
        ++insertCalls;
        const size_t n = std::min(at.size(), capacity - std::min(capacity, items.size()));
        std::vector<TrackText> merged;
        std::vector<char> flags;
        for (size_t j = 0, old = 0; j <= n; ++j) {
            const size_t until = j < n ? static_cast<size_t>(at[j]) : static_cast<size_t>(-1);
            for (; merged.size() < until && old < items.size(); ++old) {
                merged.push_back(items[old]);
                flags.push_back(selected[old]);
            }
            if (j < n) {
                EXPECT_EQ(merged.size(), until) << "insert out of order or range";
                merged.push_back(texts.at(j));
                flags.push_back(0);
            }
        }
        items.swap(merged);
        selected.swap(flags);
        return n;
    }
    void Delete(const std::vector<int>& ks) override
    {
        ++deleteCalls;
        EXPECT_TRUE(std::is_sorted(ks.begin(), ks.end()) && std::adjacent_find(ks.begin(), ks.end()) == ks.end()
                    && (ks.empty() || (ks.front() >= 0 && ks.back() < Count())));
        size_t kept = 0;
        for (size_t i = 0, next = 0; i < items.size(); ++i) {
            if (next < ks.size() && ks[next] == static_cast<int>(i)) {
                ++next;
            } else {
                if (kept != i)
                    items[kept] = std::move(items[i]);
                selected[kept++] = selected[i];
            }
        }
        items.resize(kept);
        selected.resize(kept);
        caret = std::min(caret, Count() - 1);
    }
    ListSelection Selection() const override
    {
        std::vector<int> indexes;
        for (size_t i = 0; i < selected.size(); ++i) {
            if (selected[i])
                indexes.push_back(static_cast<int>(i));
        }
        return SelectionOf(indexes, caret);
    }
    void Select(const ListSelection& selection) override
    {
        selected.assign(items.size(), 0);
        for (int i : IndexesOf(selection.runs))
            selected.at(static_cast<size_t>(i)) = 1;
        caret = selection.caret;
    }

    std::vector<TrackText> items;
    std::vector<char> selected;
    int caret = -1;
    size_t capacity = static_cast<size_t>(-1); // a full list takes no more
    mutable int textCalls = 0;
    int insertCalls = 0;
    int deleteCalls = 0;
};
