// continue.dat on arbitrary bytes, rebuilt over lists of every small size:
// the reader never reads or allocates past what the file holds, and the
// rebuilt play order names every list index exactly once.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "persist/resume_file.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckPlan(const ResumeData& stored, int listCount)
{
    const ResumePlan plan = RebuildPlayOrder(stored, listCount);
    const size_t n = listCount > 0 ? static_cast<size_t>(listCount) : 0;
    Require(plan.order.size() == n);
    std::vector<bool> seen(n, false);
    for (int k : plan.order) {
        Require(k >= 0 && static_cast<size_t>(k) < n);
        Require(!seen[static_cast<size_t>(k)]);
        seen[static_cast<size_t>(k)] = true;
    }
    // The stored order comes first (its valid first occurrences), then the
    // rest in list order.
    std::vector<bool> taken(n, false);
    size_t pos = 0;
    for (int k : stored.order) {
        if (k < 0 || static_cast<size_t>(k) >= n || taken[static_cast<size_t>(k)])
            continue;
        taken[static_cast<size_t>(k)] = true;
        Require(plan.order[pos++] == k);
    }
    for (size_t k = 0; k < n; ++k) {
        if (!taken[k])
            Require(plan.order[pos++] == static_cast<int>(k));
    }

    // The current track survives exactly when it is still in the list.
    const bool currentStored = stored.current >= 0 && static_cast<size_t>(stored.current) < stored.order.size();
    const int track = currentStored ? stored.order[static_cast<size_t>(stored.current)] : -1;
    if (track >= 0 && static_cast<size_t>(track) < n) {
        Require(plan.current >= 0 && static_cast<size_t>(plan.current) < n);
        Require(plan.order[static_cast<size_t>(plan.current)] == track);
    } else {
        Require(plan.current == -1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResumeData stored;
    const bool read = ParseResume(data, size, stored);
    Require(read == (size >= kResumeHeaderSize));
    Require(stored.count >= 0 && static_cast<size_t>(stored.count) == stored.order.size());
    if (!read) {
        Require(stored.count == 0 && stored.current == -1);
        return 0;
    }
    Require(stored.order.size() <= (size - kResumeHeaderSize) / 4);

    // Written back, the parsed file reads the same.
    const std::vector<uint8_t> bytes = SerializeResume(stored.count, stored.current, stored.order);
    ResumeData again;
    Require(ParseResume(bytes.data(), bytes.size(), again));
    Require(again.count == stored.count && again.current == stored.current && again.order == stored.order);

    // Lists that shrank, stayed or grew since the save.
    for (int listCount : {-1, 0, 1, 2, 5, stored.count - 1, stored.count, stored.count + 3})
        CheckPlan(stored, listCount);
    return 0;
}
