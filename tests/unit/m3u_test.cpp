// The M3U readers and writers: golden files (input beside what saving it
// writes) in every encoding and line end, exact bytes in and out, the save
// encoding policy, and the display name of a path.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "codec_support.h"
#include "persist/file_io.h"
#include "playlist/m3u.h"

namespace {

using Tracks = std::vector<std::string>;
using WideTracks = std::vector<std::wstring>;

const CWindows1252 k1252;

std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

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
        "nul_bytes",          "dos_ctrl_z",
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

        // The document reader agrees, line for line, and writes the same
        // bytes where the file's lines end in CR LF.
        const M3uDocument document = ReadM3u(ReadBytes(input), false, k1252);
        WideTracks decoded;
        for (const std::string& track : tracks)
            decoded.push_back(Decode(track, document.encoding, k1252).text);
        EXPECT_EQ(document.tracks, decoded);
        if (document.lineEnd == LineEnd::CrLf) {
            EXPECT_EQ(WriteM3u(document, k1252), expected);
        }
    }
}

TEST(M3uDocumentGolden, EveryEncodingAndLineEndIsReadAndWrittenBack)
{
    const struct {
        const char* file;
        TextEncoding encoding;
        LineEnd lineEnd;
        std::vector<std::u16string> tracks;
    } rows[] = {
        {"utf8_bom.m3u", TextEncoding::Utf8Bom, LineEnd::CrLf,
         {u"C:\\Musik\\Caf\u00E9.mp3", u"#EXTINF:1,\u65E5\u672C", u"D:\\\u65E5\u672C\\\u66F2 .mp3"}},
        {"utf8_plain.m3u8", TextEncoding::Utf8, LineEnd::Lf,
         {u"/music/\u00DCn\u00EFcode.mp3", u"/music/\xD83D\xDE00 smile.mp3"}},
        {"utf8_detected.m3u", TextEncoding::Utf8, LineEnd::CrLf, {u"C:\\M\u00FAsica\\canci\u00F3n.mp3", u"C:\\ascii.mp3"}},
        {"utf16le.m3u", TextEncoding::Utf16Le, LineEnd::CrLf, {u"C:\\M\u00FCsik\\a.mp3", u"\xD800x.mp3"}},
        {"utf16be.m3u", TextEncoding::Utf16Be, LineEnd::CrLf, {u"D:\\\u03A9mega.mp3", u"E:\\\xD83D\xDE00.mp3"}},
        {"ansi_1252.m3u", TextEncoding::Ansi, LineEnd::CrLf, {u"C:\\Caf\u00E9\\\u20AC euro.mp3", u"C:\\odd\u0081\u008D.mp3"}},
        {"invalid_utf8.m3u8", TextEncoding::Utf8, LineEnd::CrLf, {u"C:\\ok\u00E9.mp3", u"C:\\bad\xDCE9\xDCC0\xDC80.mp3"}},
        {"cr_only.m3u", TextEncoding::Ansi, LineEnd::Cr, {u"C:\\a.mp3", u"C:\\b.mp3 ", u"C:\\c.mp3"}},
        {"dos_ctrl_z.m3u", TextEncoding::Ansi, LineEnd::CrLf, {u"C:\\a.mp3", u"C:\\b.mp3"}},
        {"mark_only.m3u", TextEncoding::Utf8Bom, LineEnd::CrLf, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        M3uDocument document;
        document.tracks = {L"left over"};
        ASSERT_TRUE(ReadM3uFile(Widen(GoldenPath(row.file)), k1252, document));
        WideTracks tracks;
        for (const std::u16string& track : row.tracks)
            tracks.push_back(W(track));
        EXPECT_EQ(document.tracks, tracks);
        EXPECT_EQ(document.encoding, row.encoding);
        EXPECT_EQ(document.lineEnd, row.lineEnd);

        std::string name = row.file;
        const std::string expectedName = name.insert(name.rfind('.'), ".expected");
        std::string expected = ReadBytes(GoldenPath(expectedName));
        if (expected.empty())
            expected = ReadBytes(GoldenPath(row.file));
        const std::string written = WriteM3u(document, k1252);
        EXPECT_EQ(written, expected);
        EXPECT_EQ(ReadM3u(written, IsM3u8Path(Widen(row.file)), k1252).tracks, tracks);
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
        {"Ctrl-Z inside a line kept", "a\x1a" "b\n", {"a\x1a" "b"}},
        {"Ctrl-Z ending a line before the last kept", "a\x1a\nb", {"a\x1a", "b"}},
        {"Ctrl-Z closing the text dropped", "a\r\nb\x1a", {"a", "b"}},
        {"Ctrl-Z on a last line of its own", "a\r\n\x1a\r\n\t", {"a"}},
        {"white space before the closing Ctrl-Z kept", "a \x1a \n", {"a  "}},
        {"Ctrl-Zs closing the text", "a\x1a\n\x1a\x1a", {"a"}},
        {"NUL after the closing Ctrl-Z", std::string("a\x1a\0b", 4), {"a"}},
        {"only a Ctrl-Z", "\x1a", {}},
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

TEST(M3uDocument, LineEndsAreKeptAsTheFileHadThem)
{
    const struct {
        std::string text;
        LineEnd lineEnd;
        WideTracks tracks;
        std::string written;
    } rows[] = {
        {"", LineEnd::CrLf, {}, ""},
        {"a", LineEnd::CrLf, {L"a"}, "a\r\n"},
        {"a\r\nb", LineEnd::CrLf, {L"a", L"b"}, "a\r\nb\r\n"},
        {"a\nb\r\n", LineEnd::Lf, {L"a", L"b"}, "a\nb\n"}, // the first line end decides
        {"a\rb\r", LineEnd::Cr, {L"a", L"b"}, "a\rb\r"},
        {"a\r\r \tb\x1a\r", LineEnd::Cr, {L"a", L"b"}, "a\rb\r"},
        {"x\ny\r\r\n", LineEnd::Lf, {L"x", L"y\r"}, "x\ny\r\r\n"}, // a track's own CR stays
        {"x\ny\r", LineEnd::Lf, {L"x", L"y\r"}, "x\ny\r\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.text));
        const M3uDocument document = ReadM3u(row.text, false, k1252);
        EXPECT_EQ(document.lineEnd, row.lineEnd);
        EXPECT_EQ(document.tracks, row.tracks);
        EXPECT_EQ(WriteM3u(document, k1252), row.written);
        EXPECT_EQ(ReadM3u(row.written, false, k1252).tracks, row.tracks);
    }
    EXPECT_EQ(WriteM3u({L"\x00E9"}, TextEncoding::Utf16Be, LineEnd::CrLf, k1252),
              std::string("\xFE\xFF\0\xE9\0\r\0\n", 8));
}

TEST(M3uDocument, SaveKeepsTheEncodingUnlessANameWouldBeLost)
{
    const std::u16string cafe = u"C:\\Caf\u00E9.mp3", cjk = u"C:\\\u65E5\u672C.mp3";
    const struct {
        const char* name;
        std::vector<std::u16string> tracks;
        bool isM3u8;
        TextEncoding readWith, save, saveAs;
        std::vector<size_t> notKeptAsAnsi;
    } rows[] = {
        {"ASCII", {u"C:\\a.mp3"}, false, TextEncoding::Ansi, TextEncoding::Ansi, TextEncoding::Ansi, {}},
        {"in the code page", {u"a", cafe}, false, TextEncoding::Ansi, TextEncoding::Ansi, TextEncoding::Ansi, {}},
        {"beyond it", {u"a", cjk, cafe, cjk}, false, TextEncoding::Ansi, TextEncoding::Utf8Bom,
         TextEncoding::Utf8Bom, {1, 3}},
        {".m3u8 is UTF-8", {u"a"}, true, TextEncoding::Utf8, TextEncoding::Utf8, TextEncoding::Utf8Bom, {}},
        {"UTF-8 read stays", {cjk}, false, TextEncoding::Utf8, TextEncoding::Utf8, TextEncoding::Utf8Bom, {0}},
        {"UTF-16 BE read stays", {cjk}, false, TextEncoding::Utf16Be, TextEncoding::Utf16Be, TextEncoding::Utf8Bom,
         {0}},
        // Bytes C3 A9 in ANSI would read back as UTF-8 "\u00E9".
        {"ANSI passing for UTF-8", {u"a", u"\u00C3\u00A9"}, false, TextEncoding::Ansi, TextEncoding::Utf8Bom,
         TextEncoding::Utf8Bom, {1}},
        // Bytes FF FE would read back as a UTF-16 mark.
        {"ANSI starting with a mark", {u"\u00FF\u00FEx", u"\u00E9"}, false, TextEncoding::Ansi,
         TextEncoding::Utf8Bom, TextEncoding::Utf8Bom, {0, 1}},
        {"UTF-8 starting with a mark", {u"\uFEFFx"}, true, TextEncoding::Utf8, TextEncoding::Utf8Bom,
         TextEncoding::Utf8Bom, {0}},
        {"a lone surrogate", {u"a", u"\xD800"}, false, TextEncoding::Ansi, TextEncoding::Utf16Le,
         TextEncoding::Utf16Le, {1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WideTracks tracks;
        for (const std::u16string& track : row.tracks)
            tracks.push_back(W(track));
        const TextEncoding save = SaveEncoding(row.readWith, tracks, row.isM3u8, k1252);
        EXPECT_EQ(save, row.save);
        EXPECT_EQ(SaveAsEncoding(row.isM3u8, tracks, k1252), row.saveAs);
        EXPECT_EQ(TracksNotKept(tracks, TextEncoding::Ansi, row.isM3u8, k1252), row.notKeptAsAnsi);
        EXPECT_TRUE(TracksNotKept(tracks, save, row.isM3u8, k1252).empty());
        // What Save writes reads back as the same list.
        EXPECT_EQ(ReadM3u(WriteM3u(tracks, save, LineEnd::CrLf, k1252), row.isM3u8, k1252).tracks, tracks);
    }
}

TEST(M3uFile, M3u8NamesInAnyCase)
{
    EXPECT_TRUE(IsM3u8Path(L"C:\\x.m3u8"));
    EXPECT_TRUE(IsM3u8Path(L".M3U8"));
    EXPECT_FALSE(IsM3u8Path(L"C:\\x.m3u"));
    EXPECT_FALSE(IsM3u8Path(L"m3u8"));
    EXPECT_FALSE(IsM3u8Path(L""));
}

// Far beyond any playlist: refused from its size alone, never half read.
TEST(M3uFile, AFileTooLargeToHoldIsNotRead)
{
    const std::string path = TempPath("quillon_m3u_huge.m3u");
    ASSERT_TRUE(WriteBytes(path, "C:\\a.mp3\r\n"));
    std::error_code error;
    std::filesystem::resize_file(path, kMaxWholeFileBytes + 1, error);
    ASSERT_FALSE(error) << error.message();
    Tracks tracks{"kept"};
    EXPECT_FALSE(ReadM3uFile(path.c_str(), tracks));
    EXPECT_EQ(tracks, (Tracks{"kept"}));
    M3uDocument document;
    document.tracks = {L"kept"};
    EXPECT_FALSE(ReadM3uFile(Widen(path), k1252, document));
    EXPECT_EQ(document.tracks, (WideTracks{L"kept"}));
    std::string bytes = "x";
    EXPECT_FALSE(ReadWholeFile(path.c_str(), bytes));
    EXPECT_EQ(bytes, "");
    // A caller that wants only the start still gets it.
    EXPECT_TRUE(ReadWholeFile(path.c_str(), bytes, 10));
    EXPECT_EQ(bytes, "C:\\a.mp3\r\n");
    std::remove(path.c_str());
}

TEST(M3uFile, MissingFileFailsAndLeavesTracksAlone)
{
    Tracks tracks{"kept"};
    EXPECT_FALSE(ReadM3uFile(GoldenPath("no_such_file.m3u").c_str(), tracks));
    EXPECT_FALSE(ReadM3uFile(nullptr, tracks));
    EXPECT_EQ(tracks, (Tracks{"kept"}));
    M3uDocument document;
    document.tracks = {L"kept"};
    EXPECT_FALSE(ReadM3uFile(Widen(GoldenPath("no_such_file.m3u")), k1252, document));
    EXPECT_FALSE(ReadM3uFile(std::wstring(), k1252, document));
    EXPECT_EQ(document.tracks, (WideTracks{L"kept"}));
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
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayName(c.path), c.name) << '"' << c.path << '"';
        EXPECT_EQ(DisplayName(Widen(c.path)), Widen(c.name)) << '"' << c.path << '"';
    }
}

} // namespace
