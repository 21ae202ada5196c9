// The M3U reader on arbitrary bytes: it stays in bounds, gives only tracks
// the list box can hold, and reads back what it would write; and every
// decoding, in every encoding, whatever the bytes, encodes back to them.
#include <algorithm>
#include <cstdlib>

#include "playlist/m3u.h"
#include "tests/unit/codec_support.h"

#define REQUIRE(condition) ((condition) ? (void)0 : std::abort())

namespace {

template <class Char>
bool IsSpace(Char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Not empty, no leading white space, no line end or NUL, no closing Ctrl-Z.
void RequireUsable(const std::vector<SharedText>& tracks, size_t size)
{
    size_t total = 0, end = 0;
    for (const SharedText& shared : tracks) {
        const std::wstring_view track = shared.View();
        REQUIRE(!track.empty() && !IsSpace(track[0]) && track.find('\n') == track.npos && track.find(L'\0') == track.npos);
        REQUIRE(shared.c_str()[track.size()] == L'\0' && DisplayName(shared.Str()).size() <= track.size());
        total += track.size();
    }
    for (end = tracks.empty() ? 0 : tracks.back().size(); end > 0 && IsSpace(tracks.back()[end - 1]);)
        --end;
    REQUIRE(total <= size && (tracks.empty() || tracks.back()[end - 1] != 0x1A));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    static const CWindows1252 k1252;
    static const CSmallDbcs kDbcs;
    for (const IAnsiCodePage* page : {static_cast<const IAnsiCodePage*>(&k1252), static_cast<const IAnsiCodePage*>(&kDbcs)}) {
        for (TextEncoding e : {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            const DecodedText decoded = Decode(bytes, size, e, *page);
            REQUIRE(Encode(decoded, e, *page) == std::string(bytes, size));
            for (const wchar_t unit : decoded.text)
                REQUIRE(unit >= 0 && unit <= 0xFFFF);
        }
        for (const bool isM3u8 : {false, true}) {
            // What Save writes reads back as the same list, in that encoding
            // (plain ASCII reads the same in all the byte encodings).
            const M3uDocument document = ReadM3u(bytes, size, isM3u8, *page);
            RequireUsable(document.tracks, size);
            const TextEncoding save = SaveEncoding(document.encoding, document.tracks, isM3u8, *page);
            const std::string written = WriteM3u(document.tracks, save, document.lineEnd, *page);
            const M3uDocument back = ReadM3u(written, isM3u8, *page);
            REQUIRE(document.trailing.size() <= 1 && TracksNotKept(document.tracks, save, isM3u8, *page).empty() && back.tracks == document.tracks);
            REQUIRE(back.encoding == save || std::all_of(written.begin(), written.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
            REQUIRE(save != document.encoding || ReadM3u(WriteM3u(document, *page), isM3u8, *page).tracks == document.tracks);
        }
    }
    return 0;
}
