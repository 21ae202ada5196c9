// Shared texts: what each text holds across block edges, copies, moves and
// blocks that were given back and handed out again (the sanitizer run finds
// a count that is one short).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playlist/shared_text.h"

namespace {

std::wstring Text(size_t length, int seed)
{
    std::wstring text(length, L' ');
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<wchar_t>(L'a' + (seed + i) % 26);
    return text;
}

TEST(SharedText, EveryTextKeepsItsUnitsAndItsNulWhateverBlockItLandsIn)
{
    constexpr size_t kBlock = SharedTextBuilder::kBlockUnits;
    // Lengths that fill a block exactly (with the NUL), miss it by one, pass
    // it by one, and outgrow any block.
    const struct { std::vector<size_t> lengths; size_t expected; } rows[] = {
        {{kBlock - 1, 1}, 2 * kBlock},
        {{kBlock - 2, 1, 3}, 2 * kBlock},
        {{10, kBlock - 11, 1}, 2 * kBlock},
        {{10, kBlock - 10, 1}, 2 * kBlock},
        {{3 * kBlock, 5, kBlock}, 4 * kBlock},
        {{0, 7, 0}, 10},
    };
    for (size_t r = 0; r < sizeof rows / sizeof rows[0]; ++r) {
        std::vector<std::wstring> wanted;
        std::vector<SharedText> texts;
        {
            SharedTextBuilder builder(rows[r].expected);
            for (size_t length : rows[r].lengths) {
                wanted.push_back(Text(length, static_cast<int>(texts.size())));
                if (texts.size() % 2 == 0) {
                    texts.push_back(builder.Append(wanted.back()));
                } else {
                    wchar_t* room = builder.Reserve(length + 4); // more room than the text takes
                    std::copy(wanted.back().begin(), wanted.back().end(), room);
                    texts.push_back(builder.Commit(length));
                }
            }
        }
        texts.erase(texts.begin()); // the first text goes before the others are read
        wanted.erase(wanted.begin());
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i], wanted[i]) << "row " << r << ", text " << i;
            EXPECT_EQ(texts[i].c_str()[texts[i].size()], L'\0') << "row " << r << ", text " << i;
        }
    }
}

TEST(SharedText, CopiesShareMovesEmptyAndBlocksComeBackClean)
{
    SharedText first;
    EXPECT_TRUE(first.empty() && first == L"" && first.c_str()[0] == L'\0');
    {
        SharedTextBuilder builder;
        first = builder.Append(L"C:\\a.mp3");
        SharedText second = builder.Append(L"C:\\b.mp3");
        SharedText copy = second;
        EXPECT_EQ(copy.c_str(), second.c_str()) << "a copy shares the units";
        SharedText moved = std::move(copy);
        EXPECT_TRUE(copy.empty() && moved == L"C:\\b.mp3");
        moved = moved; // itself
        swap(moved, first);
        EXPECT_TRUE(moved == L"C:\\a.mp3" && first == L"C:\\b.mp3");
        first = SharedText(L"own");
    }
    EXPECT_EQ(first, L"own");
    // Full blocks given back and taken again: the new texts are whole, the
    // ones still held unchanged.
    std::vector<SharedText> held;
    for (int round = 0; round < 3; ++round) {
        std::vector<SharedText> texts;
        SharedTextBuilder builder;
        for (int i = 0; i < 5000; ++i)
            texts.push_back(builder.Append(Text(100, round * 5000 + i)));
        held.push_back(texts[round]);
        for (int i = 0; i < 5000; ++i)
            ASSERT_EQ(texts[static_cast<size_t>(i)], Text(100, round * 5000 + i));
    }
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(held[static_cast<size_t>(round)], Text(100, round * 5000 + round));
}

} // namespace
