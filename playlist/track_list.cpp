#include "playlist/track_list.h"

bool operator==(const ListSelection& a, const ListSelection& b)
{
    if (a.caret != b.caret || a.runs.size() != b.runs.size())
        return false;
    for (size_t i = 0; i < a.runs.size(); ++i) {
        if (a.runs[i].first != b.runs[i].first || a.runs[i].last != b.runs[i].last)
            return false;
    }
    return true;
}

ListSelection SelectionOf(const std::vector<int>& ascendingIndexes, int caret)
{
    ListSelection selection;
    selection.caret = caret;
    for (int index : ascendingIndexes) {
        if (!selection.runs.empty() && selection.runs.back().last + 1 == index)
            selection.runs.back().last = index;
        else
            selection.runs.push_back(IndexRun{index, index});
    }
    return selection;
}

std::vector<int> IndexesOf(const std::vector<IndexRun>& runs)
{
    size_t total = 0;
    for (const IndexRun& run : runs)
        total += run.last >= run.first ? static_cast<size_t>(static_cast<long long>(run.last) - run.first) + 1 : 0;
    std::vector<int> indexes;
    indexes.reserve(total);
    for (const IndexRun& run : runs) {
        for (long long i = run.first; i <= run.last; ++i)
            indexes.push_back(static_cast<int>(i));
    }
    return indexes;
}
