#pragma once
// What the codec tests and the fuzz target share: UTF-16 text written as
// char16_t literals (a non-BMP character is its surrogate pair on every
// platform), and a small double-byte code page that makes the ANSI path meet
// lead bytes, undefined pairs and undefined single bytes.
#include <string>

#include "playlist/text_codec.h"

inline std::wstring W(const std::u16string& units) { return std::wstring(units.begin(), units.end()); }

// Lead bytes 0x81..0x9F take a trail 0x40..0xFC: the pair is U+4E00 +
// (lead - 0x81) * 256 + trail, but lead 0x9F with a trail from 0xF0, which is
// undefined, as are the single bytes from 0x80. Like Windows, decoding puts
// '?' for what it cannot map.
class CSmallDbcs final : public IAnsiCodePage {
public:
    unsigned Id() const override { return 60000; }
    size_t CharLength(unsigned char lead) const override { return lead >= 0x81 && lead <= 0x9F ? 2 : 1; }
    std::wstring Decode(const char* data, size_t size) const override
    {
        std::wstring text;
        for (size_t i = 0; i < size; ++i) {
            const unsigned lead = static_cast<unsigned char>(data[i]), trail = i + 1 < size ? static_cast<unsigned char>(data[i + 1]) : 0;
            if (lead >= 0x81 && lead <= 0x9F && trail >= 0x40 && trail <= 0xFC)
                text += Defined(lead, trail) ? static_cast<wchar_t>(0x4E00 + (lead - 0x81) * 256 + trail) : L'?', ++i;
            else
                text += lead < 0x80 ? static_cast<wchar_t>(lead) : L'?';
        }
        return text;
    }
    bool Encode(const wchar_t* text, size_t length, std::string& out) const override
    {
        bool all = true;
        for (size_t i = 0; i < length; ++i) {
            const long unit = static_cast<long>(text[i]), lead = 0x81 + (unit - 0x4E00) / 256, trail = (unit - 0x4E00) % 256;
            if (unit >= 0 && unit < 0x80)
                out += static_cast<char>(unit);
            else if (unit >= 0x4E00 && lead <= 0x9F && trail >= 0x40 && trail <= 0xFC && Defined(lead, trail))
                out += std::string{static_cast<char>(lead), static_cast<char>(trail)};
            else
                out += '?', all = false;
        }
        return all;
    }

private:
    static bool Defined(long lead, long trail) { return lead != 0x9F || trail < 0xF0; }
};
