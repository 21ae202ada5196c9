// The M3U readers and writers: golden files (a playlist beside what saving it
// writes) in every encoding and line end, which pin the line rules, and the
// save encoding policy. (Files too large to read: file_io_test.cpp.)
#include <gtest/gtest.h>

#include "codec_support.h"
#include "persist/file_io.h"
#include "playlist/m3u.h"

namespace {

using Wide = std::vector<SharedText>;
const CWindows1252 k1252;

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
std::string Golden(const std::string& file) { return std::string(QUILLON_TESTDATA) + "/m3u/" + file; }
std::string Bytes(const std::string& path) { return [&] { std::string data; ReadWholeFile(path.c_str(), data); return data; }(); }
Wide W16(const std::vector<std::u16string>& tracks) { return [&] { Wide out; for (const auto& t : tracks) out.push_back(W(t)); return out; }(); }

TEST(M3uGolden, WhatIsReadIsWrittenWithCrLfAsTheExpectedBytes)
{
    for (const char* name : {"three_paths", "unix_line_ends", "blank_and_indented", "trailing_spaces", "extended_m3u",
                             "no_final_line_end", "relative_and_missing", "empty", "only_white_space",
                             "stray_carriage_returns", "ansi_bytes", "long_lines", "nul_bytes", "dos_ctrl_z"}) {
        SCOPED_TRACE(name);
        const std::string expected = Bytes(Golden(std::string(name) + ".expected.m3u"));
        M3uDocument document;
        document.tracks = {L"left over"};
        ASSERT_TRUE(ReadM3uFile(Widen(Golden(std::string(name) + ".m3u")), k1252, document));
        EXPECT_EQ(WriteM3u(document.tracks, document.encoding, LineEnd::CrLf, k1252), expected);
        EXPECT_EQ(ReadM3u(expected, false, k1252).tracks, document.tracks);
        EXPECT_TRUE(document.lineEnd != LineEnd::CrLf || WriteM3u(document, k1252) == expected);
    }
    // A long text read line by line as bytes: the same tracks, and a Ctrl-Z
    // at the very end still dropped.
    std::string big;
    Wide tracks;
    while (big.size() < 1500000) {
        big += "  \r\n C:\\\xC3\xA9" + std::to_string(tracks.size()) + ".mp3 \r\n";
        tracks.push_back(L"C:\\\u00e9" + std::to_wstring(tracks.size()) + L".mp3 ");
    }
    const M3uDocument document = ReadM3u(big + "\x1A", false, k1252);
    EXPECT_TRUE(document.tracks == tracks && document.encoding == TextEncoding::Utf8);
}

TEST(M3uGolden, TheDocumentKeepsEncodingMarkAndLineEnds)
{
    const struct { const char* file; TextEncoding encoding; LineEnd lineEnd; std::vector<std::u16string> tracks; } rows[] = {
        {"utf8_bom.m3u", TextEncoding::Utf8Bom, LineEnd::CrLf,
         {u"C:\\Musik\\Caf\u00E9.mp3", u"#EXTINF:1,\u65E5\u672C", u"D:\\\u65E5\u672C\\\u66F2 .mp3"}},
        {"utf8_plain.m3u8", TextEncoding::Utf8, LineEnd::Lf, {u"/music/\u00DCn\u00EFcode.mp3", u"/music/\xD83D\xDE00 smile.mp3"}},
        {"utf8_detected.m3u", TextEncoding::Utf8, LineEnd::CrLf, {u"C:\\M\u00FAsica\\canci\u00F3n.mp3", u"C:\\ascii.mp3"}},
        {"utf16le.m3u", TextEncoding::Utf16Le, LineEnd::CrLf, {u"C:\\M\u00FCsik\\a.mp3", u"\xD800x.mp3"}},
        {"utf16be.m3u", TextEncoding::Utf16Be, LineEnd::CrLf, {u"D:\\\u03A9mega.mp3", u"E:\\\xD83D\xDE00.mp3"}},
        {"ansi_1252.m3u", TextEncoding::Ansi, LineEnd::CrLf, {u"C:\\Caf\u00E9\\\u20AC euro.mp3", u"C:\\odd\u0081\u008D.mp3"}},
        {"invalid_utf8.m3u8", TextEncoding::Utf8, LineEnd::CrLf, {u"C:\\ok\u00E9.mp3", u"C:\\bad\xDCE9\xDCC0\xDC80.mp3"}},
        {"cr_only.m3u", TextEncoding::Ansi, LineEnd::Cr, {u"C:\\a.mp3", u"C:\\b.mp3 ", u"C:\\c.mp3"}},
        {"dos_ctrl_z.m3u", TextEncoding::Ansi, LineEnd::CrLf, {u"C:\\a.mp3", u"C:\\b.mp3"}},
        {"mark_only.m3u", TextEncoding::Utf8Bom, LineEnd::CrLf, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        M3uDocument document;
        document.tracks = {L"left over"};
        ASSERT_TRUE(ReadM3uFile(Widen(Golden(r.file)), k1252, document));
        EXPECT_TRUE(document.tracks == W16(r.tracks) && document.encoding == r.encoding && document.lineEnd == r.lineEnd);
        std::string name = r.file;
        std::string expected = Bytes(Golden(name.insert(name.rfind('.'), ".expected")));
        if (expected.empty())
            expected = Bytes(Golden(r.file));
        const std::string written = WriteM3u(document, k1252);
        EXPECT_EQ(written, expected);
        EXPECT_EQ(ReadM3u(written, IsM3u8Path(Widen(r.file)), k1252).tracks, W16(r.tracks));
    }
}

TEST(M3uDocument, SaveKeepsTheEncodingUnlessANameWouldBeLost)
{
    using E = TextEncoding;
    const std::u16string cafe = u"C:\\Caf\u00E9.mp3", cjk = u"C:\\\u65E5\u672C.mp3";
    const struct {
        std::vector<std::u16string> tracks;
        bool isM3u8;
        E readWith, save, saveAs;
        std::vector<size_t> notAnsi;
    } rows[] = {
        {{u"C:\\a.mp3"}, false, E::Ansi, E::Ansi, E::Ansi, {}}, {{u"a", cafe}, false, E::Ansi, E::Ansi, E::Ansi, {}},
        {{u"a", cjk, cafe, cjk}, false, E::Ansi, E::Utf8Bom, E::Utf8Bom, {1, 3}},
        {{u"a"}, true, E::Utf8, E::Utf8, E::Utf8Bom, {}}, {{cjk}, false, E::Utf8, E::Utf8, E::Utf8Bom, {0}},
        {{cjk}, false, E::Utf16Be, E::Utf16Be, E::Utf8Bom, {0}},
        {{u"a", u"\u00C3\u00A9"}, false, E::Ansi, E::Utf8Bom, E::Utf8Bom, {1}}, // C3 A9 would read back as UTF-8
        {{u"\u00FF\u00FEx", u"\u00E9"}, false, E::Ansi, E::Utf8Bom, E::Utf8Bom, {0, 1}}, // FF FE would be a mark
        {{u"\uFEFFx"}, true, E::Utf8, E::Utf8Bom, E::Utf8Bom, {0}},
        {{u"a", u"\xD800"}, false, E::Ansi, E::Utf16Le, E::Utf16Le, {1}},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        const auto& r = rows[i];
        const Wide tracks = W16(r.tracks);
        const E save = SaveEncoding(r.readWith, tracks, r.isM3u8, k1252);
        EXPECT_TRUE(save == r.save && SaveAsEncoding(r.isM3u8, tracks, k1252) == r.saveAs) << "row " << i;
        EXPECT_TRUE(TracksNotKept(tracks, E::Ansi, r.isM3u8, k1252) == r.notAnsi && TracksNotKept(tracks, save, r.isM3u8, k1252).empty()) << "row " << i;
        EXPECT_EQ(ReadM3u(WriteM3u(tracks, save, LineEnd::CrLf, k1252), r.isM3u8, k1252).tracks, tracks) << "row " << i;
    }
    EXPECT_EQ(DisplayName(L"\\a") + DisplayName(L"D:\\Music\\") + DisplayName(L"\\") + DisplayName(L"x"), L"aMusic\\\\x");
    for (const wchar_t* yes : {L"C:\\x.m3u8", L".M3U8", L"x.m3U8"})
        EXPECT_TRUE(IsM3u8Path(yes)) << yes;
    for (const wchar_t* no : {L"C:\\x.m3u", L"m3u8", L"xm3u8", L"x.m3u8 ", L""})
        EXPECT_FALSE(IsM3u8Path(no)) << no;
}

} // namespace
