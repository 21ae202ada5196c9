// The text codec: strict UTF-8, UTF-16 in both byte orders, the ANSI code
// page with its fallbacks, detection, and the promise they all keep: whatever
// the bytes, encoding the decoded text gives them back (over random bytes:
// tests/fuzz/m3u_fuzz.cpp).
#include <gtest/gtest.h>

#include "codec_support.h"

namespace {

const CWindows1252 k1252;
const CSmallDbcs kDbcs;
using E = TextEncoding;

// Bytes decode to the text, and the text encodes back to the bytes.
void BothWays(const std::vector<std::pair<std::string, std::u16string>>& rows, std::initializer_list<E> encodings, const IAnsiCodePage& page)
{
    for (const auto& row : rows)
        for (E e : encodings) {
            const DecodedText decoded = Decode(row.first, e, page);
            EXPECT_EQ(decoded.text, W(row.second)) << testing::PrintToString(row.first) << " as " << int(e);
            EXPECT_EQ(Encode(decoded.text, e, page), row.first) << testing::PrintToString(row.first) << " as " << int(e);
            if (e == E::Utf8) { // the quick decoder that Open uses agrees
                std::wstring quick;
                DecodeUtf8(row.first.data(), row.first.size(), quick);
                EXPECT_EQ(quick, W(row.second)) << testing::PrintToString(row.first) << " quick";
            }
        }
}

// A byte that is not part of a valid sequence becomes U+DC80 + byte: overlongs,
// surrogates, beyond U+10FFFF, cut short.
TEST(TextCodec, EveryDecoderKeepsEveryByte)
{
    BothWays({{std::string("a\0b", 3), std::u16string(u"a\0b", 3)}, {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"}, {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
              {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"}, {"\xC0\x80", u"\xDCC0\xDC80"}, {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},
              {"\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"}, {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"}, {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
              {"\xF5\x80", u"\xDCF5\xDC80"}, {"\xF5\x80\x80\x80", u"\xDCF5\xDC80\xDC80\xDC80"}, {"a", u"a"}, {"\xC3" "A\x80", u"\xDCC3" "A\xDC80"}, {"\xE2\x82x", u"\xDCE2\xDC82x"}, {"\xF0\x9F\x98", u"\xDCF0\xDC9F\xDC98"},
              {"\x80\xBF\xFE\xFF", u"\xDC80\xDCBF\xDCFE\xDCFF"}, {"\xF0\x90\x82\x80\x80", u"\xD800\xDC80\xDC80"},
              // Valid text sized by its bytes a word at a time, whole or with a cut-short end.
              {"ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z\xF4\x8F\xBF\xBF", u"ab\u00E9\u20AC\xD83D\xDE00z\xDBFF\xDFFF"},
              {"ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z\xE2\x82", u"ab\u00E9\u20AC\xD83D\xDE00z\xDCE2\xDC82"}},
             {E::Utf8, E::Utf8Bom}, k1252);
    // Windows-1252 as Windows maps it, its five undefined bytes included.
    BothWays({{"\x80\x81\x8D\x8F\x90\x9D\x9F", u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178"}, {"\x7F\xA0\xE9\xFF", u"\u007F\u00A0\u00E9\u00FF"}},
             {E::Ansi}, k1252);
    // A double-byte code page: lead bytes at the end or before a line end, undefined singles and pairs.
    BothWays({{"\x81\x40x\xA1", u"\u4E40x\xDCA1"}, {"a\x81", u"a\xDC81"}, {"\x81\n", u"\xDC81\n"}, {"\x81?", u"\xDC81?"},
              {"\x80\xA0\xFF", u"\xDC80\xDCA0\xDCFF"}, {"\x9F\xF5\x81\x40", u"\xDC9F\xDCF5\u4E40"}, {"?\x9F\x41", u"?\u6C41"},
              {"ok\r\n\x9F\xF5\r\nok\r\n", u"ok\r\n\xDC9F\xDCF5\r\nok\r\n"}},
             {E::Ansi}, kDbcs);
    // UTF-16 keeps every unit and an odd last byte.
    const DecodedText le = Decode(std::string("a\0\x00\xD8\x3D\xD8\x00\xDE\x7F", 9), E::Utf16Le, k1252);
    EXPECT_TRUE(le.text == W(u"a\xD800\xD83D\xDE00") && le.trailing == "\x7F");
    EXPECT_EQ(Encode(le, E::Utf16Le, k1252), std::string("a\0\x00\xD8\x3D\xD8\x00\xDE\x7F", 9));
    const DecodedText be = Decode(std::string("\0a\xDC\x80", 4), E::Utf16Be, k1252);
    EXPECT_TRUE(be.text == W(u"a\xDC80") && be.trailing.empty() && Decode("\xFF", 1, E::Utf16Be, k1252).trailing == "\xFF");
    EXPECT_EQ(Encode(be.text, E::Utf16Le, k1252), std::string("a\0\x80\xDC", 4));
}

// Lone surrogates are written as their three bytes; a code page that lacks
// a character says so and writes '?', never a best fit.
TEST(TextCodec, LoneSurrogatesCharactersACodePageLacksDetectionAndCuts)
{
    const std::pair<std::string, std::u16string> rows[] = {
        {"\xED\xA0\x80", u"\xD800"}, {"\xED\xAF\xBFx", u"\xDBFFx"}, {"\xED\xB1\xBF", u"\xDC7F"}, {"\x80", u"\xDC80"},
        {"\xED\xB4\x80", u"\xDD00"}, {"\xED\xA0\xBD\xED\xA0\xBD", u"\xD83D\xD83D"}, {"\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", u"\u07FF\u0800\uFFFF"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Encode(W(row.second), E::Utf8, k1252), row.first) << testing::PrintToString(row.first);
    std::string out;
    EXPECT_TRUE(k1252.Encode(L"\x0081\x00FF", 2, out) && out == "\x81\xFF");
    for (const wchar_t lacking : {L'\x0100', L'\x4E00', L'\xD800'}) {
        out.clear();
        EXPECT_FALSE(k1252.Encode(&lacking, 1, out) || out != "?") << static_cast<long>(lacking);
    }
    const struct { std::string bytes; bool isM3u8; E encoding; } detected[] = {
        {"", false, E::Ansi}, {"C:\\a.mp3\r\n", false, E::Ansi}, {"C:\\a.mp3\r\n", true, E::Utf8}, {"\xC3\xA9", false, E::Utf8},
        {"\xC3\xA9\xFF", false, E::Ansi}, {"\xC3\xA9\xFF", true, E::Utf8}, {"\xE9t\xE9", false, E::Ansi}, {"\xEF\xBB\xBF", false, E::Utf8Bom},
        {"\xEF\xBB\xBF\xFF", true, E::Utf8Bom}, {"\xEF\xBB", false, E::Ansi}, {"\xFF\xFE", true, E::Utf16Le},
        {std::string("\xFF\xFE\0\0", 4), false, E::Utf16Le}, {std::string("\xFE\xFF\0", 3), false, E::Utf16Be}, {"\xFE", false, E::Ansi},
        {"\xFE\xFF", false, E::Utf16Be}, {"\xDF\xBF\xEF\xBF\xBF", false, E::Utf8},
    };
    for (const auto& row : detected)
        EXPECT_EQ(DetectEncoding(row.bytes.data(), row.bytes.size(), row.isM3u8), row.encoding) << testing::PrintToString(row.bytes) << row.isM3u8;
    EXPECT_EQ(DetectEncoding(nullptr, 5, false), E::Ansi);
    EXPECT_EQ(ByteOrderMark(E::Ansi) + ByteOrderMark(E::Utf8) + ByteOrderMark(E::Utf16Be), "\xFE\xFF");
    // A cut keeps both halves of a surrogate pair or neither.
    const std::wstring text = W(u"ab\xD83D\xDE00g\xDC00\xD800");
    for (const auto& row : {std::make_pair(0, 0), {1, 1}, {2, 2}, {3, 2}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {99, 7}})
        EXPECT_EQ(CutLength(text.data(), text.size(), static_cast<size_t>(row.first)), static_cast<size_t>(row.second)) << row.first;
    EXPECT_EQ(CutLength(nullptr, 5, 3), 0u);
}

} // namespace
