// The M3U readers on arbitrary bytes: they must stay in bounds, give only
// tracks the list box can hold, and read back what they would write; and
// every decoding, whatever the bytes, must encode back to them.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "playlist/m3u.h"
#include "playlist/text_codec.h"
#include "tests/unit/codec_support.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

template <class Char>
bool IsLeadingSpace(Char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// What every reader's tracks are, whatever the file held.
template <class String>
void RequireUsableTracks(const std::vector<String>& tracks, size_t size)
{
    size_t total = 0;
    for (const String& track : tracks) {
        Require(!track.empty());
        Require(!IsLeadingSpace(track[0]));
        Require(track.find('\n') == String::npos);
        Require(track.find('\0') == String::npos);
        Require(DisplayName(track).size() <= track.size());
        total += track.size();
    }
    Require(total <= size);
    if (!tracks.empty()) { // a closing Ctrl-Z is never read
        const String& last = tracks.back();
        size_t end = last.size();
        while (end > 0 && IsLeadingSpace(last[end - 1]))
            --end;
        Require(last[end - 1] != 0x1A);
    }
}

bool IsAscii(const std::string& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

const TextEncoding kEncodings[] = {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf8Bom,
                                   TextEncoding::Utf16Le, TextEncoding::Utf16Be};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string input(bytes, size);

    const std::vector<std::string> tracks = ParseM3u(bytes, size);
    RequireUsableTracks(tracks, size);
    // Saving a loaded list and loading it again changes nothing.
    const std::string saved = FormatM3u(tracks);
    Require(ParseM3u(saved.data(), saved.size()) == tracks);

    static const CWindows1252 k1252;
    static const CSmallDbcs kDbcs;
    for (const IAnsiCodePage* page : {static_cast<const IAnsiCodePage*>(&k1252), static_cast<const IAnsiCodePage*>(&kDbcs)}) {
        for (const TextEncoding encoding : kEncodings) {
            const DecodedText decoded = Decode(bytes, size, encoding, *page);
            Require(Encode(decoded, encoding, *page) == input);
            for (const wchar_t unit : decoded.text)
                Require(unit >= 0 && unit <= 0xFFFF);
        }
        for (const bool isM3u8 : {false, true}) {
            const M3uDocument document = ReadM3u(bytes, size, isM3u8, *page);
            RequireUsableTracks(document.tracks, size);
            Require(document.trailing.size() <= 1);
            // What Save writes reads back as the same list, in that encoding
            // (plain ASCII reads the same in all the byte encodings).
            const TextEncoding save = SaveEncoding(document.encoding, document.tracks, isM3u8, *page);
            Require(TracksNotKept(document.tracks, save, isM3u8, *page).empty());
            const std::string written = WriteM3u(document.tracks, save, document.lineEnd, *page);
            const M3uDocument back = ReadM3u(written, isM3u8, *page);
            Require(back.tracks == document.tracks);
            Require(back.encoding == save || IsAscii(written));
            if (save == document.encoding)
                Require(ReadM3u(WriteM3u(document, *page), isM3u8, *page).tracks == document.tracks);
        }
    }
    return 0;
}
