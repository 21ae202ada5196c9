// The text codec: strict UTF-8, UTF-16 in both byte orders, the ANSI code
// page with its fallbacks, encoding detection, and the promise they all keep:
// whatever the bytes, encoding the decoded text gives them back.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codec_support.h"
#include "playlist/text_codec.h"

#ifdef _WIN32
// The unit tests link the portable core only; the system code page is
// compiled in here so that it runs under the same tests.
#include "playlist/ansi_code_page_win.cpp"
#endif

namespace {

const CWindows1252 k1252;
const CSmallDbcs kDbcs;

const TextEncoding kAllEncodings[] = {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf8Bom,
                                      TextEncoding::Utf16Le, TextEncoding::Utf16Be};

struct Row {
    std::string bytes;
    std::u16string text;
};

void ExpectBothWays(const Row& row, TextEncoding encoding, const IAnsiCodePage& codePage)
{
    const DecodedText decoded = Decode(row.bytes, encoding, codePage);
    EXPECT_EQ(decoded.text, W(row.text));
    EXPECT_EQ(Encode(decoded.text, encoding, codePage), row.bytes);
}

TEST(TextCodec, Utf8IsDecodedStrictlyAndEveryOtherByteKept)
{
    const Row rows[] = {
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"\xC0\x80", u"\xDCC0\xDC80"},                                 // overlong NUL
        {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},                       // overlong '/'
        {"\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},             // overlong U+FFFF
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},                       // a surrogate
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},             // beyond U+10FFFF
        {"\xF5\x80", u"\xDCF5\xDC80"},
        {"\xE2\x82x", u"\xDCE2\xDC82x"},                               // cut short by ASCII
        {"\xF0\x9F\x98", u"\xDCF0\xDC9F\xDC98"},                       // cut short by the end
        {"\x80\xBF\xFE\xFF", u"\xDC80\xDCBF\xDCFE\xDCFF"},
        {"\xF0\x90\x82\x80\x80", u"\xD800\xDC80\xDC80"},               // U+10080, then a lone byte
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.bytes));
        ExpectBothWays(row, TextEncoding::Utf8, k1252);
        ExpectBothWays(row, TextEncoding::Utf8Bom, k1252);
    }
}

TEST(TextCodec, Utf8WritesLoneSurrogatesFromUtf16Text)
{
    const Row rows[] = {
        {"\xED\xA0\x80", u"\xD800"},
        {"\xED\xAF\xBFx", u"\xDBFFx"},
        {"\xED\xB1\xBF", u"\xDC7F"},
        {"\x80", u"\xDC80"},
        {"\xED\xB4\x80", u"\xDD00"},
        {"\xED\xBF\xBF", u"\xDFFF"},
        {"\xED\xA0\xBD\xED\xA0\xBD", u"\xD83D\xD83D"},
        {"\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", u"\u07FF\u0800\uFFFF"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Encode(W(row.text), TextEncoding::Utf8, k1252), row.bytes) << ::testing::PrintToString(row.bytes);
}

TEST(TextCodec, Utf16KeepsEveryUnitAndAnOddLastByte)
{
    const DecodedText le = Decode(std::string("a\0\x00\xD8\x3D\xD8\x00\xDE\x7F", 9), TextEncoding::Utf16Le, k1252);
    EXPECT_EQ(le.text, W(u"a\xD800\xD83D\xDE00"));
    EXPECT_EQ(le.trailing, "\x7F");
    const DecodedText be = Decode(std::string("\0a\xDC\x80", 4), TextEncoding::Utf16Be, k1252);
    EXPECT_EQ(be.text, W(u"a\xDC80"));
    EXPECT_EQ(be.trailing, "");
    EXPECT_EQ(Encode(be.text, TextEncoding::Utf16Le, k1252), std::string("a\0\x80\xDC", 4));
    EXPECT_EQ(Encode(le, TextEncoding::Utf16Le, k1252), std::string("a\0\x00\xD8\x3D\xD8\x00\xDE\x7F", 9));
    EXPECT_EQ(Decode("\xFF", 1, TextEncoding::Utf16Be, k1252).trailing, "\xFF");
}

TEST(TextCodec, Windows1252MapsAllBytesAndRefusesWhatItLacks)
{
    const Row rows[] = {
        {"\x80\x81\x8D\x8F\x90\x9D\x9F", u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178"},
        {"\x7F\xA0\xE9\xFF", u"\u007F\u00A0\u00E9\u00FF"},
    };
    for (const Row& row : rows)
        ExpectBothWays(row, TextEncoding::Ansi, k1252);

    std::string out;
    EXPECT_TRUE(k1252.Encode(L"\x0081\x00FF", 2, out));
    EXPECT_EQ(out, "\x81\xFF");
    for (const wchar_t lacking : {L'\x0080', L'\x0100', L'\x4E00', L'\xD800'}) {
        out.clear();
        EXPECT_FALSE(k1252.Encode(&lacking, 1, out)) << static_cast<long>(lacking);
        EXPECT_EQ(out, "?");
    }
}

TEST(TextCodec, AnsiKeepsBytesTheCodePageCannotMap)
{
    const Row rows[] = {
        {"\x81\x40x\xA1", u"\u4E00x\uFF61"},
        {"a\x81", u"a\xDC81"},                  // a lead byte at the end
        {"\x81\n", u"\xDC81\n"},                // LF is never a trail byte
        {"\x81?", u"\xDC81?"},
        {"\x80\xA0\xFF", u"\xDC80\xDCA0\xDCFF"}, // undefined single bytes
        {"\x9F\xF5\x81\x40", u"\xDC9F\xDCF5\u4E00"}, // an undefined pair
        {"?\x9F\x41", u"?\u6409"},
        {"ok\r\n\x9F\xF5\r\nok\r\n", u"ok\r\n\xDC9F\xDCF5\r\nok\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.bytes));
        ExpectBothWays(row, TextEncoding::Ansi, kDbcs);
    }
}

// Bytes that hold what each decoder finds hard: multi-byte sequences, whole
// and broken, lead bytes, line ends, NULs and marks.
std::string RandomBytes(std::mt19937& random)
{
    static const char* const pieces[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x81\x40", "\x9F\xF5",
                                         "\r\n", "\xEF\xBB\xBF", "\xFF\xFE", "\xED\xA0\x80", "\x1A"};
    std::string bytes;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) {
        const unsigned kind = random() % 4;
        if (kind == 0)
            bytes += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        else if (kind == 1)
            bytes += static_cast<char>(random() % 0x80);
        else
            bytes += static_cast<char>(random() % 0x100);
    }
    return bytes;
}

TEST(TextCodec, EncodingTheDecodedTextGivesTheBytesBack)
{
    const IAnsiCodePage* pages[] = {&k1252, &kDbcs};
    std::mt19937 random(20240521);
    for (int round = 0; round < 300; ++round) {
        const std::string bytes = RandomBytes(random);
        for (const TextEncoding encoding : kAllEncodings) {
            for (const IAnsiCodePage* page : pages) {
                const DecodedText decoded = Decode(bytes, encoding, *page);
                ASSERT_EQ(Encode(decoded, encoding, *page), bytes)
                    << "encoding " << static_cast<int>(encoding) << ", code page " << page->Id() << ", bytes "
                    << ::testing::PrintToString(bytes);
            }
        }
    }
}

TEST(TextCodec, DetectionTable)
{
    const struct {
        std::string bytes;
        bool isM3u8;
        TextEncoding encoding;
    } rows[] = {
        {"", false, TextEncoding::Ansi},
        {"C:\\a.mp3\r\n", false, TextEncoding::Ansi},
        {"C:\\a.mp3\r\n", true, TextEncoding::Utf8},
        {"\xC3\xA9", false, TextEncoding::Utf8},
        {"\xC3\xA9\xFF", false, TextEncoding::Ansi},
        {"\xC3\xA9\xFF", true, TextEncoding::Utf8},
        {"\xE9t\xE9", false, TextEncoding::Ansi},
        {"\xEF\xBB\xBF", false, TextEncoding::Utf8Bom},
        {"\xEF\xBB\xBF\xFF", true, TextEncoding::Utf8Bom},
        {"\xEF\xBB", false, TextEncoding::Ansi},
        {"\xFF\xFE", true, TextEncoding::Utf16Le},
        {"\xFF\xFE\x00\x00", false, TextEncoding::Utf16Le},
        {"\xFE\xFF\x00", false, TextEncoding::Utf16Be},
        {"\xFE", false, TextEncoding::Ansi},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DetectEncoding(row.bytes.data(), row.bytes.size(), row.isM3u8), row.encoding)
            << ::testing::PrintToString(row.bytes) << (row.isM3u8 ? " .m3u8" : " .m3u");
    }
    EXPECT_EQ(DetectEncoding(nullptr, 5, false), TextEncoding::Ansi);
    EXPECT_EQ(ByteOrderMark(TextEncoding::Ansi), "");
    EXPECT_EQ(ByteOrderMark(TextEncoding::Utf8), "");
    EXPECT_EQ(ByteOrderMark(TextEncoding::Utf16Be), "\xFE\xFF");
}

#ifdef _WIN32
TEST(TextCodec, SystemCodePageUnderWineIs1252)
{
    const IAnsiCodePage& system = SystemAnsiCodePage();
    if (system.Id() != 1252)
        GTEST_SKIP() << "the system's ANSI code page is " << system.Id();
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(system.Decode(all.data(), all.size()), k1252.Decode(all.data(), all.size()));
    EXPECT_EQ(system.CharLength(0x81), 1u);

    std::string out;
    EXPECT_TRUE(system.Encode(L"\x20AC\x0081\x00E9", 3, out));
    EXPECT_EQ(out, "\x80\x81\xE9");
    for (const wchar_t lacking : {L'\x0100', L'\x4E00', L'\xD800'}) {
        out.clear();
        EXPECT_FALSE(system.Encode(&lacking, 1, out)) << static_cast<long>(lacking); // no best fit
    }
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        const std::string bytes = RandomBytes(random);
        ASSERT_EQ(Encode(Decode(bytes, TextEncoding::Ansi, system), TextEncoding::Ansi, system), bytes);
    }
}
#endif

} // namespace
