// continue.dat on arbitrary bytes, rebuilt over lists of every small size:
// the reader never reads or allocates past what the file holds; the rebuilt
// order is the stored order's valid first occurrences, then the rest in list
// order, and the current track survives exactly when it is still there.
#include <cstdlib>

#include "persist/resume_file.h"

#define REQUIRE(condition) ((condition) ? (void)0 : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResumeData stored, again;
    const bool read = ParseResume(data, size, stored);
    REQUIRE(read == (size >= kResumeHeaderSize) && stored.count >= 0 && static_cast<size_t>(stored.count) == stored.order.size());
    REQUIRE(read ? stored.order.size() <= (size - kResumeHeaderSize) / 4 : stored.current == -1);
    const std::vector<uint8_t> bytes = SerializeResume(stored.count, stored.current, stored.order);
    REQUIRE(ParseResume(bytes.data(), bytes.size(), again) && again.current == stored.current && again.order == stored.order);
    for (int listCount : {-1, 0, 1, 2, 5, stored.count - 1, stored.count, stored.count + 3}) {
        const ResumePlan plan = RebuildPlayOrder(stored, listCount);
        const size_t n = listCount > 0 ? static_cast<size_t>(listCount) : 0;
        std::vector<bool> taken(n, false);
        std::vector<int> expected;
        for (int k : stored.order)
            if (k >= 0 && static_cast<size_t>(k) < n && !taken[static_cast<size_t>(k)])
                taken[static_cast<size_t>(k)] = true, expected.push_back(k);
        for (size_t k = 0; k < n; ++k)
            if (!taken[k])
                expected.push_back(static_cast<int>(k));
        REQUIRE(plan.order == expected);
        const bool stillThere = stored.current >= 0 && stored.current < stored.count && stored.order[static_cast<size_t>(stored.current)] >= 0 &&
                                static_cast<size_t>(stored.order[static_cast<size_t>(stored.current)]) < n;
        REQUIRE(stillThere ? plan.order.at(static_cast<size_t>(plan.current)) == stored.order[static_cast<size_t>(stored.current)]
                           : plan.current == -1);
    }
    return 0;
}
