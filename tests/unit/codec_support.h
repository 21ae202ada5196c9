#pragma once
// What the codec tests and the fuzz target share: UTF-16 text written as
// char16_t literals (so a non-BMP character is its surrogate pair on every
// platform), and a small double-byte code page that makes the ANSI path meet
// lead bytes, undefined pairs and undefined single bytes.

#include <string>

#include "playlist/text_codec.h"

inline std::wstring W(const std::u16string& units)
{
    return std::wstring(units.begin(), units.end());
}

// Lead bytes 0x81..0x9F; trail bytes 0x40..0x7E and 0x80..0xFC; pairs map to
// U+4E00 onwards, except lead 0x9F with a trail from 0xF0, which is undefined.
// Single bytes 0xA1..0xDF are U+FF61..U+FF9F; 0x80, 0xA0 and 0xE0..0xFF are
// undefined. Like Windows, decoding puts '?' for what it cannot map.
class CSmallDbcs final : public IAnsiCodePage {
public:
    unsigned Id() const override { return 60000; }

    std::wstring Decode(const char* data, size_t size) const override
    {
        std::wstring text;
        for (size_t i = 0; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(data[i]);
            if (CharLength(byte) == 2 && i + 1 < size && IsTrail(static_cast<unsigned char>(data[i + 1]))) {
                const int pair = PairIndex(byte, static_cast<unsigned char>(data[++i]));
                text += pair < 0 ? L'?' : static_cast<wchar_t>(0x4E00 + pair);
            } else if (byte < 0x80) {
                text += static_cast<wchar_t>(byte);
            } else if (byte >= 0xA1 && byte <= 0xDF) {
                text += static_cast<wchar_t>(0xFF61 + byte - 0xA1);
            } else {
                text += L'?';
            }
        }
        return text;
    }

    bool Encode(const wchar_t* text, size_t length, std::string& out) const override
    {
        bool all = true;
        for (size_t i = 0; i < length; ++i) {
            const long unit = static_cast<long>(text[i]);
            if (unit >= 0 && unit < 0x80) {
                out += static_cast<char>(unit);
            } else if (unit >= 0xFF61 && unit <= 0xFF9F) {
                out += static_cast<char>(0xA1 + unit - 0xFF61);
            } else if (unit >= 0x4E00 && unit < 0x4E00 + kPairs && PairIndex(Lead(unit), Trail(unit)) >= 0) {
                out += static_cast<char>(Lead(unit));
                out += static_cast<char>(Trail(unit));
            } else {
                out += '?';
                all = false;
            }
        }
        return all;
    }

    size_t CharLength(unsigned char lead) const override { return lead >= 0x81 && lead <= 0x9F ? 2 : 1; }

private:
    static constexpr int kTrails = 188;
    static constexpr int kPairs = 31 * kTrails;

    static bool IsTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
    static int PairIndex(unsigned char lead, unsigned char trail)
    {
        if (lead == 0x9F && trail >= 0xF0)
            return -1;
        return (lead - 0x81) * kTrails + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
    }
    static unsigned char Lead(long unit) { return static_cast<unsigned char>(0x81 + (unit - 0x4E00) / kTrails); }
    static unsigned char Trail(long unit)
    {
        const int t = static_cast<int>((unit - 0x4E00) % kTrails);
        return static_cast<unsigned char>(t < 0x3F ? t + 0x40 : t + 0x41);
    }
};
