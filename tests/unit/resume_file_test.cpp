#include "persist/resume_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutI32(Bytes& b, int32_t v)
{
    const uint32_t bits = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

Bytes Ints(std::initializer_list<int32_t> values)
{
    Bytes b;
    for (int32_t v : values)
        PutI32(b, v);
    return b;
}

ResumeData Stored(int current, std::vector<int> order)
{
    ResumeData d;
    d.count = static_cast<int>(order.size());
    d.current = current;
    d.order = std::move(order);
    return d;
}

// Five tracks played in the shuffled order 3, 0, 4, 1, 2 with the third current.
const uint8_t kExampleFile[] = {
    0x05, 0x00, 0x00, 0x00, // count 5
    0x02, 0x00, 0x00, 0x00, // current 2
    0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
};

} // namespace

TEST(ResumeBytes, ShuffledExampleGivesExactBytes)
{
    const Bytes bytes = SerializeResume(5, 2, {3, 0, 4, 1, 2});
    EXPECT_EQ(bytes, Bytes(std::begin(kExampleFile), std::end(kExampleFile)));
}

TEST(ResumeBytes, ShortQueueIsPaddedWithMinusOne)
{
    EXPECT_EQ(SerializeResume(4, -1, {1, 0}), Ints({4, -1, 1, 0, -1, -1}));
    EXPECT_EQ(SerializeResume(2, 0, {}), Ints({2, 0, -1, -1}));
}

TEST(ResumeBytes, CountDecidesTheLength)
{
    EXPECT_EQ(SerializeResume(0, -1, {}), Ints({0, -1}));     // an empty list: 8 bytes
    EXPECT_EQ(SerializeResume(0, -1, {4, 5}), Ints({0, -1})); // entries beyond count stay out
    EXPECT_EQ(SerializeResume(2, 1, {7, 8, 9}), Ints({2, 1, 7, 8}));
    EXPECT_EQ(SerializeResume(-3, 0, {1}), Ints({0, 0}));
}

TEST(ResumeParse, ShuffledExample)
{
    ResumeData d;
    ASSERT_TRUE(ParseResume(kExampleFile, sizeof kExampleFile, d));
    EXPECT_EQ(d.count, 5);
    EXPECT_EQ(d.current, 2);
    EXPECT_EQ(d.order, (std::vector<int>{3, 0, 4, 1, 2}));
}

TEST(ResumeParse, DamagedFiles)
{
    const struct {
        const char* name;
        Bytes bytes;
        bool read;
        int current;
        std::vector<int> order;
    } cases[] = {
        {"empty", {}, false, -1, {}},
        {"7 bytes", Bytes(7, 0x01), false, -1, {}},
        {"header only", Ints({0, -1}), true, -1, {}},
        {"count beyond the entries", Ints({5, 1, 3, 0}), true, 1, {3, 0}},
        {"huge count", Ints({INT_MAX, 0, 2}), true, 0, {2}},
        {"huge count, no entries", Ints({0x40000000, 7}), true, 7, {}},
        {"negative count", Ints({-1, 0, 1, 2}), true, 0, {}},
        {"most negative count", Ints({INT_MIN, 0, 1}), true, 0, {}},
        {"entries beyond count", Ints({1, 0, 6, 7, 8}), true, 0, {6}},
        {"a partial last entry", [] { Bytes b = Ints({3, 0, 4, 5}); b.push_back(9); return b; }(), true, 0, {4, 5}},
        {"-1 and repeated entries kept as read", Ints({4, 0, -1, 2, 2, 9}), true, 0, {-1, 2, 2, 9}},
        {"stray current", Ints({1, INT_MIN, 0}), true, INT_MIN, {0}},
    };
    for (const auto& c : cases) {
        ResumeData d;
        d.order = {42};
        EXPECT_EQ(ParseResume(c.bytes.data(), c.bytes.size(), d), c.read) << c.name;
        EXPECT_EQ(d.current, c.current) << c.name;
        EXPECT_EQ(d.order, c.order) << c.name;
        EXPECT_EQ(d.count, static_cast<int>(c.order.size())) << c.name;
    }
    ResumeData d;
    EXPECT_FALSE(ParseResume(nullptr, 100, d));
}

TEST(ResumeParse, NeverHoldsMoreThanTheFileCarries)
{
    std::mt19937 rng(61u);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 500; ++round) {
        Bytes bytes(static_cast<size_t>(round % 64));
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(byte(rng));
        // Every fourth file claims a small count, so that the entries get read too.
        if (round % 4 == 0 && bytes.size() >= 4)
            bytes[3] = bytes[2] = bytes[1] = 0;
        ResumeData d;
        const bool read = ParseResume(bytes.data(), bytes.size(), d);
        ASSERT_EQ(read, bytes.size() >= 8);
        const size_t carried = bytes.size() >= 8 ? (bytes.size() - 8) / 4 : 0;
        ASSERT_LE(d.order.size(), carried);
        ASSERT_EQ(d.count, static_cast<int>(d.order.size()));
        ASSERT_LE(d.order.capacity(), carried);
    }
}

TEST(ResumeRebuild, ShuffledExampleComesBackWithEntryFourCurrent)
{
    ResumeData d;
    ASSERT_TRUE(ParseResume(kExampleFile, sizeof kExampleFile, d));
    const ResumePlan plan = RebuildPlayOrder(d, 5);
    EXPECT_EQ(plan.order, (std::vector<int>{3, 0, 4, 1, 2}));
    ASSERT_EQ(plan.current, 2);
    EXPECT_EQ(plan.order[plan.current], 4);
}

TEST(ResumeRebuild, Cases)
{
    const struct {
        const char* name;
        ResumeData stored;
        int listCount;
        std::vector<int> order;
        int current;
    } cases[] = {
        {"list gained tracks", Stored(2, {3, 0, 4, 1, 2}), 7, {3, 0, 4, 1, 2, 5, 6}, 2},
        {"list lost the current track", Stored(2, {3, 0, 4, 1, 2}), 3, {0, 1, 2}, -1},
        {"list lost tracks, current kept", Stored(3, {3, 0, 4, 1, 2}), 3, {0, 1, 2}, 1},
        {"lost tracks keep the stored order", Stored(0, {4, 2, 3, 0, 1}), 3, {2, 0, 1}, -1},
        {"gained and lost", Stored(1, {9, 2, 0}), 4, {2, 0, 1, 3}, 0},
        {"-1 entries are dropped", Stored(1, {-1, 1, -1, 0}), 3, {1, 0, 2}, 0},
        {"current on a -1 entry", Stored(0, {-1, 1, 0}), 2, {1, 0}, -1},
        {"repeats keep the first place", Stored(0, {2, 0, 2, 2, 1}), 3, {2, 0, 1}, 0},
        {"current on a repeat follows its track", Stored(3, {2, 0, 1, 0}), 3, {2, 0, 1}, 1},
        {"no current stored", Stored(-1, {1, 0}), 2, {1, 0}, -1},
        {"current at the end of the order", Stored(2, {1, 0}), 2, {1, 0}, -1},
        {"current far out", Stored(INT_MAX, {1, 0}), 2, {1, 0}, -1},
        {"current far negative", Stored(INT_MIN, {1, 0}), 2, {1, 0}, -1},
        {"huge indexes", Stored(0, {INT_MAX, INT_MIN, 1}), 2, {1, 0}, -1},
        {"empty stored order", Stored(0, {}), 3, {0, 1, 2}, -1},
        {"empty list", Stored(0, {0, 1}), 0, {}, -1},
        {"negative list count", Stored(0, {0, 1}), -4, {}, -1},
    };
    for (const auto& c : cases) {
        const ResumePlan plan = RebuildPlayOrder(c.stored, c.listCount);
        EXPECT_EQ(plan.order, c.order) << c.name;
        EXPECT_EQ(plan.current, c.current) << c.name;
    }
}

TEST(ResumeRebuild, AlwaysEveryListIndexOnce)
{
    std::mt19937 rng(7u);
    for (int round = 0; round < 300; ++round) {
        const int listCount = round % 12;
        std::uniform_int_distribution<int> index(-3, listCount + 3);
        std::uniform_int_distribution<int> length(0, 15);
        ResumeData stored;
        stored.order.resize(static_cast<size_t>(length(rng)));
        for (int& k : stored.order)
            k = index(rng);
        stored.count = static_cast<int>(stored.order.size());
        stored.current = index(rng);

        const ResumePlan plan = RebuildPlayOrder(stored, listCount);
        std::vector<int> sorted = plan.order;
        std::sort(sorted.begin(), sorted.end());
        for (int k = 0; k < listCount; ++k)
            ASSERT_EQ(sorted[static_cast<size_t>(k)], k) << "round " << round;
        ASSERT_EQ(sorted.size(), static_cast<size_t>(listCount));

        // The current entry is the track that stood at the stored position.
        const bool storedCurrentValid = stored.current >= 0 &&
            stored.current < static_cast<int>(stored.order.size()) &&
            stored.order[static_cast<size_t>(stored.current)] >= 0 &&
            stored.order[static_cast<size_t>(stored.current)] < listCount;
        if (storedCurrentValid)
            ASSERT_EQ(plan.order[static_cast<size_t>(plan.current)], stored.order[static_cast<size_t>(stored.current)]);
        else
            ASSERT_EQ(plan.current, -1);
    }
}

TEST(ResumeRebuild, RoundTripOfAQueue)
{
    const std::vector<int> queue = {6, 2, 0, 5, 1, 4, 3};
    const Bytes bytes = SerializeResume(7, 4, queue);
    ResumeData d;
    ASSERT_TRUE(ParseResume(bytes.data(), bytes.size(), d));
    const ResumePlan plan = RebuildPlayOrder(d, 7);
    EXPECT_EQ(plan.order, queue);
    EXPECT_EQ(plan.current, 4);
}
