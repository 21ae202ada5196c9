// The M3U reader and writer: golden files (input beside what saving it
// writes), exact bytes in and out, and the display name of a path.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "persist/file_io.h"
#include "playlist/m3u.h"

namespace {

using Tracks = std::vector<std::string>;

std::string GoldenPath(const std::string& file)
{
    return std::string(QUILLON_TESTDATA) + "/m3u/" + file;
}

std::string ReadBytes(const std::string& path)
{
    std::string data;
    ReadWholeFile(path.c_str(), data);
    return data;
}

std::string TempPath(const char* name)
{
    return ::testing::TempDir() + name;
}

bool WriteBytes(const std::string& path, const std::string& data)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

Tracks Parse(const std::string& text)
{
    return ParseM3u(text.data(), text.size());
}

TEST(M3uGolden, SavingWhatWasReadGivesTheExpectedBytes)
{
    const char* names[] = {
        "three_paths",        "unix_line_ends", "blank_and_indented",     "trailing_spaces",
        "extended_m3u",       "no_final_line_end", "relative_and_missing", "empty",
        "only_white_space",   "stray_carriage_returns", "ansi_bytes",      "long_lines",
        "nul_bytes",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string input = GoldenPath(std::string(name) + ".m3u");
        const std::string expected = ReadBytes(GoldenPath(std::string(name) + ".expected.m3u"));
        Tracks tracks{"left over"};
        ASSERT_TRUE(ReadM3uFile(input.c_str(), tracks));
        EXPECT_EQ(FormatM3u(tracks), expected);
        // What the program writes reads back as the same list.
        EXPECT_EQ(Parse(expected), tracks);
        EXPECT_EQ(Parse(ReadBytes(input)), tracks);
    }
}

TEST(M3uGolden, TracksComeInFileOrder)
{
    Tracks tracks;
    ASSERT_TRUE(ReadM3uFile(GoldenPath("three_paths.m3u").c_str(), tracks));
    EXPECT_EQ(tracks, (Tracks{"C:\\Music\\Rock\\one.mp3", "C:\\Music\\Rock\\two.mp3", "D:\\Songs\\three (live).mp3"}));

    ASSERT_TRUE(ReadM3uFile(GoldenPath("extended_m3u.m3u").c_str(), tracks));
    ASSERT_EQ(tracks.size(), 5u);
    EXPECT_EQ(tracks[0], "#EXTM3U");
    EXPECT_EQ(tracks[1], "#EXTINF:215,Band - One");

    ASSERT_TRUE(ReadM3uFile(GoldenPath("empty.m3u").c_str(), tracks));
    EXPECT_TRUE(tracks.empty());
}

// Over-long lines neither stop the reading nor get cut, so saving loses nothing.
TEST(M3uGolden, LongLinesAreReadWholeAndReadingGoesOn)
{
    Tracks tracks;
    ASSERT_TRUE(ReadM3uFile(GoldenPath("long_lines.m3u").c_str(), tracks));
    ASSERT_EQ(tracks.size(), 6u);
    EXPECT_EQ(tracks[0].size(), 259u);
    EXPECT_EQ(tracks[2].size(), 260u);
    EXPECT_EQ(tracks[4].size(), 700u);
    EXPECT_EQ(tracks[5], "D:\\Songs\\three (live).mp3");
}

TEST(M3uParse, LineRules)
{
    const struct {
        const char* name;
        std::string text;
        Tracks tracks;
    } cases[] = {
        {"nothing", "", {}},
        {"one line without end", "a", {"a"}},
        {"lone LF", "\n", {}},
        {"CR LF only", "\r\n", {}},
        {"CR before LF dropped once", "a\r\r\nb", {"a\r", "b"}},
        {"CR inside kept", "a\rb\n", {"a\rb"}},
        {"CR at the very end kept", "a\r", {"a\r"}},
        {"leading white space of every kind", " \t\v\f\r\nx\n", {"x"}},
        {"trailing white space kept", "x \t\v\f\n", {"x \t\v\f"}},
        {"inner spaces kept", "  a  b  \r\n", {"a  b  "}},
        {"hash lines are tracks", "#\n# x\n", {"#", "# x"}},
        {"Ctrl-Z is a byte like any other", "a\x1a" "b\n", {"a\x1a" "b"}},
        {"NUL ends the text", std::string("ab\0cd\n", 6), {"ab"}},
        {"NUL first makes the line empty", std::string("\0cd\ne\n", 6), {"e"}},
        {"non-ASCII is not white space", "\xa0x\n", {"\xa0x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.text), c.tracks) << c.name;

    EXPECT_TRUE(ParseM3u(nullptr, 10).empty());
}

TEST(M3uFormat, EveryLineEndsWithCrLf)
{
    EXPECT_EQ(FormatM3u({}), "");
    EXPECT_EQ(FormatM3u({"a"}), "a\r\n");
    EXPECT_EQ(FormatM3u({"C:\\x.mp3", "y ", "#z"}), "C:\\x.mp3\r\ny \r\n#z\r\n");
    const std::string long_path(5000, 'q');
    EXPECT_EQ(FormatM3u({long_path}), long_path + "\r\n");
}

TEST(M3uFile, MissingFileFailsAndLeavesTracksAlone)
{
    Tracks tracks{"kept"};
    EXPECT_FALSE(ReadM3uFile(GoldenPath("no_such_file.m3u").c_str(), tracks));
    EXPECT_FALSE(ReadM3uFile(nullptr, tracks));
    EXPECT_EQ(tracks, (Tracks{"kept"}));
}

TEST(M3uFile, RoundTripThroughAFile)
{
    const Tracks list = {"C:\\Music\\a.mp3", "D:\\b c\\d.mp3 ", "#EXTINF:1,x", std::string(400, 'L'),
                         "E:\\M\xfcsik\\\xe9t\xe9.mp3"};
    const std::string path = TempPath("quillon_m3u_round_trip.m3u");
    ASSERT_TRUE(WriteBytes(path, FormatM3u(list)));
    Tracks back;
    ASSERT_TRUE(ReadM3uFile(path.c_str(), back));
    EXPECT_EQ(back, list);

    ASSERT_TRUE(WriteBytes(path, ""));
    back = {"old"};
    ASSERT_TRUE(ReadM3uFile(path.c_str(), back));
    EXPECT_TRUE(back.empty());
    std::remove(path.c_str());
}

TEST(M3uDisplayName, TextAfterTheLastBackslash)
{
    const struct {
        std::string path;
        std::string name;
    } cases[] = {
        {"D:\\Music\\Rock\\set.m3u", "set.m3u"},
        {"set.m3u", "set.m3u"},
        {"C:\\a.m3u", "a.m3u"},
        {"\\a", "a"},
        // The last character is not looked at as a separator.
        {"D:\\Music\\", "Music\\"},
        {"\\", "\\"},
        {"a\\\\", "\\"},
        {"", ""},
        {"x", "x"},
        {"C:/Music/list.m3u", "C:/Music/list.m3u"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayName(c.path), c.name) << '"' << c.path << '"';
}

} // namespace
