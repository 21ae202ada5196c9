#include "playlist/text_codec.h"

#include <cstring>
#include <type_traits>

namespace {

constexpr unsigned kUtf8CodePage = 65001;

// The UTF-16 unit a wchar_t holds. Where wchar_t is wider, a value no unit
// can have reads as the replacement character rather than as some other unit.
template <class Char>
unsigned Unit(Char c)
{
    const auto value = static_cast<std::make_unsigned_t<Char>>(c);
    if constexpr (sizeof(Char) > 2) {
        if (value > 0xFFFF)
            return 0xFFFD;
    }
    return static_cast<unsigned>(value);
}

bool IsEscape(unsigned unit)
{
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

wchar_t Escape(unsigned char byte)
{
    return static_cast<wchar_t>(0xDC00 + byte);
}

// Length of the valid UTF-8 sequence at p (1 to 4), or 0 when none starts
// there: no overlong forms, no surrogates, nothing beyond U+10FFFF.
size_t Utf8Length(const unsigned char* p, size_t available)
{
    const unsigned lead = p[0];
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || p[1] < low || p[1] > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// The lossless decoder: a byte that starts no valid sequence becomes its
// escape. Returns the end of what was written.
wchar_t* DecodeUtf8Lossless(const unsigned char* p, size_t size, wchar_t* w)
{
    for (size_t i = 0; i < size;) {
        const size_t length = Utf8Length(p + i, size - i);
        if (length == 0) {
            *w++ = Escape(p[i++]);
            continue;
        }
        unsigned long code = length == 1 ? p[i] : p[i] & (0x7Fu >> length);
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (p[i + k] & 0x3Fu);
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            *w++ = static_cast<wchar_t>(0xD800 + (code >> 10));
            *w++ = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            *w++ = static_cast<wchar_t>(code);
        }
    }
    return w;
}

// One sequence at i with every check, ASCII too: false when no valid one
// starts there.
bool DecodeOneUtf8(const unsigned char* p, size_t size, size_t& i, wchar_t*& w)
{
    const unsigned lead = p[i];
    const size_t left = size - i;
    const unsigned b1 = left > 1 ? p[i + 1] : 0;
    if (lead < 0x80) {
        *w++ = static_cast<wchar_t>(lead);
        i += 1;
    } else if (lead < 0xE0) {
        if (lead < 0xC2 || (b1 & 0xC0) != 0x80)
            return false;
        *w++ = static_cast<wchar_t>(((lead & 0x1Fu) << 6) | (b1 & 0x3Fu));
        i += 2;
    } else if (lead < 0xF0) {
        if (left < 3 || (b1 & 0xC0) != 0x80 || (p[i + 2] & 0xC0) != 0x80 || (lead == 0xE0 && b1 < 0xA0)
            || (lead == 0xED && b1 > 0x9F))
            return false;
        *w++ = static_cast<wchar_t>(((lead & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
        i += 3;
    } else {
        if (lead > 0xF4 || left < 4 || (b1 & 0xC0) != 0x80 || (p[i + 2] & 0xC0) != 0x80 || (p[i + 3] & 0xC0) != 0x80
            || (lead == 0xF0 && b1 < 0x90) || (lead == 0xF4 && b1 > 0x8F))
            return false;
        const unsigned long code =
            (((lead & 0x07ul) << 18) | ((b1 & 0x3Ful) << 12) | ((p[i + 2] & 0x3Ful) << 6) | (p[i + 3] & 0x3Ful)) - 0x10000;
        *w++ = static_cast<wchar_t>(0xD800 + (code >> 10));
        *w++ = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        i += 4;
    }
    return true;
}

// Valid UTF-8 in straight lines: runs of ASCII widened, the two- and
// three-byte forms of the basic plane checked in place, DecodeOneUtf8 for
// the rest. Null at the first invalid sequence, else the end of what was
// written.
wchar_t* DecodeValidUtf8(const unsigned char* p, size_t size, wchar_t* w)
{
    for (size_t i = 0; i < size;) {
        const unsigned lead = p[i];
        if (lead < 0x80) {
            *w++ = static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF && size - i >= 2 && (p[i + 1] & 0xC0) == 0x80) {
            *w++ = static_cast<wchar_t>(((lead & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu));
            i += 2;
            continue;
        }
        if (lead >= 0xE1 && lead <= 0xEC && size - i >= 3 && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
            *w++ = static_cast<wchar_t>(((lead & 0x0Fu) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
            i += 3;
            continue;
        }
        if (!DecodeOneUtf8(p, size, i, w))
            return nullptr;
    }
    return w;
}

void EncodeUtf8(const wchar_t* text, size_t length, std::string& out)
{
    out.reserve(out.size() + length);
    for (size_t i = 0; i < length; ++i) {
        unsigned long code = Unit(text[i]);
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        if (IsEscape(code)) { // a low surrogate reached here has no high one before it
            out += static_cast<char>(code - 0xDC00);
            continue;
        }
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length) {
            const unsigned next = Unit(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
                ++i;
                out += static_cast<char>(0xF0 | (code >> 18));
                out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
                continue;
            }
        }
        if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void DecodeUtf16(const unsigned char* p, size_t size, bool bigEndian, DecodedText& out)
{
    out.text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const unsigned unit = bigEndian ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8);
        out.text += static_cast<wchar_t>(unit);
    }
    if (size % 2 != 0)
        out.trailing.assign(1, static_cast<char>(p[size - 1]));
}

void EncodeUtf16(const std::wstring& text, bool bigEndian, std::string& out)
{
    out.reserve(out.size() + 2 * text.size());
    for (const wchar_t c : text) {
        const unsigned unit = Unit(c);
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
}

// Below 0x80 every ANSI code page is ASCII: a text of nothing else needs no
// trip through the code page, which a list of 100,000 tracks would notice.
template <class Char>
bool AllAscii(const Char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (Unit(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// Escapes go out as their bytes; the runs between them go through the code
// page in one call each.
bool EncodeAnsi(const wchar_t* text, size_t length, const IAnsiCodePage& codePage, std::string& out)
{
    if (AllAscii(text, length)) {
        out.append(text, text + length);
        return true;
    }
    if (codePage.Id() == kUtf8CodePage) {
        EncodeUtf8(text, length, out);
        return true;
    }
    bool all = true;
    size_t run = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned unit = Unit(text[i]);
        if (!IsEscape(unit))
            continue;
        if (i > run)
            all = codePage.Encode(text + run, i - run, out) && all;
        out += static_cast<char>(unit - 0xDC00);
        run = i + 1;
    }
    if (length > run)
        all = codePage.Encode(text + run, length - run, out) && all;
    return all;
}

bool GivesBack(const std::wstring& text, const char* data, size_t size, const IAnsiCodePage& codePage)
{
    std::string bytes;
    bytes.reserve(size);
    return EncodeAnsi(text.data(), text.size(), codePage, bytes) && bytes.size() == size &&
           (size == 0 || std::memcmp(bytes.data(), data, size) == 0);
}

void DecodeAnsiByCharacter(const char* data, size_t size, const IAnsiCodePage& codePage, std::wstring& out)
{
    for (size_t i = 0; i < size;) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte < 0x80) {
            out += static_cast<wchar_t>(byte);
            ++i;
            continue;
        }
        size_t length = codePage.CharLength(byte);
        if (length < 1 || length > size - i)
            length = 1;
        const std::wstring piece = codePage.Decode(data + i, length);
        if (!piece.empty() && GivesBack(piece, data + i, length, codePage)) {
            out += piece;
            i += length;
        } else {
            out += Escape(byte);
            ++i;
        }
    }
}

// One decode and one encode to check it in the common case. A file that does
// not come back whole is decoded line by line (LF is never the second byte of
// a character), and only the lines that do not come back character by
// character.
std::wstring DecodeAnsi(const char* data, size_t size, const IAnsiCodePage& codePage)
{
    std::wstring text;
    if (AllAscii(data, size))
        return std::wstring(data, data + size);
    if (codePage.Id() == kUtf8CodePage) {
        DecodeUtf8(data, size, text);
        return text;
    }
    text = codePage.Decode(data, size);
    if (GivesBack(text, data, size, codePage))
        return text;
    text.clear();
    for (size_t start = 0; start < size;) {
        const void* lf = std::memchr(data + start, '\n', size - start);
        const size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) + 1 : size;
        const std::wstring line = codePage.Decode(data + start, end - start);
        if (GivesBack(line, data + start, end - start, codePage))
            text += line;
        else
            DecodeAnsiByCharacter(data + start, end - start, codePage, text);
        start = end;
    }
    if (GivesBack(text, data, size, codePage))
        return text;
    // A code page whose characters do not add up to its text: keep every byte
    // above ASCII as itself rather than lose one.
    text.clear();
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        text += byte < 0x80 ? static_cast<wchar_t>(byte) : Escape(byte);
    }
    return text;
}

// Bytes 0x80..0x9F of Windows-1252.
constexpr unsigned short k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::wstring CWindows1252::Decode(const char* data, size_t size) const
{
    std::wstring text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        text += static_cast<wchar_t>(byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : byte);
    }
    return text;
}

bool CWindows1252::Encode(const wchar_t* text, size_t length, std::string& out) const
{
    bool all = true;
    for (size_t i = 0; i < length; ++i) {
        const unsigned unit = Unit(text[i]);
        int byte = unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) ? static_cast<int>(unit) : -1;
        for (int k = 0; k < 32 && byte < 0; ++k) {
            if (k1252High[k] == unit)
                byte = 0x80 + k;
        }
        if (byte < 0) {
            all = false;
            byte = '?';
        }
        out += static_cast<char>(byte);
    }
    return all;
}

DecodedText Decode(const char* data, size_t size, TextEncoding encoding, const IAnsiCodePage& codePage)
{
    DecodedText decoded;
    if (!data || size == 0)
        return decoded;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    switch (encoding) {
    case TextEncoding::Ansi:
        decoded.text = DecodeAnsi(data, size, codePage);
        break;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        DecodeUtf8(data, size, decoded.text);
        break;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        DecodeUtf16(bytes, size, encoding == TextEncoding::Utf16Be, decoded);
        break;
    }
    return decoded;
}

DecodedText Decode(const std::string& bytes, TextEncoding encoding, const IAnsiCodePage& codePage)
{
    return Decode(bytes.data(), bytes.size(), encoding, codePage);
}

size_t DecodeUtf8(const char* data, size_t size, wchar_t* out)
{
    if (!data || size == 0)
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const wchar_t* end = DecodeValidUtf8(p, size, out);
    if (!end)
        end = DecodeUtf8Lossless(p, size, out);
    return static_cast<size_t>(end - out);
}

void DecodeUtf8(const char* data, size_t size, std::wstring& out)
{
    const size_t at = out.size();
    out.resize(at + size);
    out.resize(at + DecodeUtf8(data, size, &out[0] + at));
}

std::string Encode(const std::wstring& text, TextEncoding encoding, const IAnsiCodePage& codePage)
{
    std::string bytes;
    switch (encoding) {
    case TextEncoding::Ansi:
        bytes.reserve(text.size());
        EncodeAnsi(text.data(), text.size(), codePage, bytes);
        break;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        EncodeUtf8(text.data(), text.size(), bytes);
        break;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        EncodeUtf16(text, encoding == TextEncoding::Utf16Be, bytes);
        break;
    }
    return bytes;
}

std::string Encode(const DecodedText& decoded, TextEncoding encoding, const IAnsiCodePage& codePage)
{
    return Encode(decoded.text, encoding, codePage) + decoded.trailing;
}

TextEncoding DetectEncoding(const char* data, size_t size, bool isM3u8)
{
    if (!data)
        size = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return TextEncoding::Utf8Bom;
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        return TextEncoding::Utf16Le;
    if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF)
        return TextEncoding::Utf16Be;
    if (isM3u8)
        return TextEncoding::Utf8;
    bool nonAscii = false;
    for (size_t i = 0; i < size;) {
        const size_t length = Utf8Length(p + i, size - i);
        if (length == 0)
            return TextEncoding::Ansi;
        nonAscii = nonAscii || length > 1;
        i += length;
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16Le:
        return "\xFF\xFE";
    case TextEncoding::Utf16Be:
        return "\xFE\xFF";
    default:
        return {};
    }
}

size_t CutLength(const wchar_t* text, size_t length, size_t room)
{
    if (!text || room >= length)
        return text ? length : 0;
    const auto unit = [text](size_t i) { return static_cast<unsigned long>(text[i]) & 0xFFFFu; };
    if (room > 0 && unit(room - 1) >= 0xD800 && unit(room - 1) <= 0xDBFF && unit(room) >= 0xDC00 && unit(room) <= 0xDFFF)
        return room - 1;
    return room;
}
