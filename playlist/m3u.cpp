#include "playlist/m3u.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "persist/file_io.h"

namespace {

// White space skipped at the start of a line (the C locale's set).
template <class Char>
bool IsLeadingSpace(Char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The first index from i on that is not white space at the start of a line.
template <class Char>
size_t SkipLeadingSpace(const Char* data, size_t size, size_t i)
{
    while (i < size && IsLeadingSpace(data[i]))
        ++i;
    return i;
}

// A line that stops at i (its line end, or the end of the text): where its
// text ends, a CR that ends a line going with its LF; i moves past the line
// end.
template <class Char>
size_t EndOfLine(const Char* data, size_t size, size_t& i, Char lineEnd)
{
    size_t end = i;
    if (i < size) {
        ++i; // the line end
        if (lineEnd == '\n' && data[end - 1] == '\r')
            --end; // the line is not empty here: it starts with no white space
    }
    return end;
}

// Old DOS tools close a text with Ctrl-Z. Dropped from the last track for as
// long as one closes it, so that no list read here ends in one: writing it
// and reading it again then gives the same list.
void DropClosingCtrlZ(std::vector<SharedText>& tracks)
{
    while (!tracks.empty()) {
        std::wstring last = tracks.back().Str();
        size_t end = last.size();
        while (end > 0 && IsLeadingSpace(last[end - 1]))
            --end;
        if (end == 0 || last[end - 1] != 0x1A)
            return;
        last.erase(end - 1, 1);
        if (last.empty() || IsLeadingSpace(last[0]))
            tracks.pop_back(); // the Ctrl-Z began the line: nothing but white space is left
        else
            tracks.back() = last;
    }
}

// The tracks of a text whose lines end at lineEnd.
std::vector<SharedText> SplitTracks(const wchar_t* data, size_t size, wchar_t lineEnd)
{
    std::vector<SharedText> tracks;
    SharedTextBuilder texts(size + 1);
    if (!data)
        return tracks;
    // Room for a track a line, up to a bound: a file of blank lines holds none.
    tracks.reserve(std::min(static_cast<size_t>(std::count(data, data + size, lineEnd)) + 1, size_t{1} << 20));
    size_t i = 0;
    while ((i = SkipLeadingSpace(data, size, i)) < size) {
        const size_t start = i;
        i = static_cast<size_t>(std::find(data + i, data + size, lineEnd) - data);
        const size_t end = EndOfLine(data, size, i, lineEnd);
        const size_t length = static_cast<size_t>(std::find(data + start, data + end, L'\0') - (data + start));
        if (length > 0)
            tracks.push_back(texts.Append(std::wstring_view(data + start, length)));
    }
    return tracks;
}

// Byte text is looked at four bytes at a time where it can be: a word with
// no byte below 0x20 holds no line end and no NUL.
uint32_t LoadWord(const char* at)
{
    uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// In one pass: whether every byte is ASCII, and how many bytes equal c (the
// room a list of the text's lines needs).
bool ScanBytes(const char* data, size_t size, char c, size_t& count)
{
    const uint32_t pattern = 0x01010101u * static_cast<unsigned char>(c);
    uint32_t high = 0;
    size_t i = 0;
    count = 0;
    for (; i + 4 <= size; i += 4) {
        const uint32_t word = LoadWord(data + i);
        const uint32_t x = word ^ pattern;
        const uint32_t zero = ~(((x & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | x | 0x7F7F7F7Fu); // 0x80 in each zero byte
        count += ((zero >> 7) * 0x01010101u) >> 24;
        high |= word;
    }
    for (; i < size; ++i) {
        count += data[i] == c;
        high |= static_cast<unsigned char>(data[i]);
    }
    return (high & 0x80808080u) == 0;
}

// A count of line ends that was not taken.
constexpr size_t kNotCounted = SIZE_MAX;

// The tracks of UTF-8 (or ASCII) bytes whose lines end at lineEnd, as
// SplitTracks makes them from the decoded text, in one pass over the bytes:
// a character's bytes are never white space, CR, LF, NUL or Ctrl-Z, so the
// lines are the decoded text's. Each line is widened or decoded straight
// into its place in the texts' shared blocks.
std::vector<SharedText> SplitUtf8Tracks(const char* data, size_t size, char lineEnd, size_t lineEnds)
{
    std::vector<SharedText> tracks;
    SharedTextBuilder texts(size + 1);
    // Room for a track a line, when they were counted, up to a bound: a file
    // of blank lines holds none.
    if (lineEnds != kNotCounted)
        tracks.reserve(std::min(lineEnds + 1, size_t{1} << 20));
    size_t i = 0;
    while ((i = SkipLeadingSpace(data, size, i)) < size) {
        const size_t start = i;
        size_t nul = size;
        uint32_t high = 0; // the top bits of every byte looked at
        // To the line end, noting the first NUL and any byte beyond ASCII.
        while (i < size) {
            if (i + 4 <= size) {
                const uint32_t x = LoadWord(data + i);
                if (((x - 0x20202020u) & ~x & 0x80808080u) == 0) { // no byte below 0x20
                    high |= x;
                    i += 4;
                    continue;
                }
            }
            const auto byte = static_cast<unsigned char>(data[i]);
            if (byte == static_cast<unsigned char>(lineEnd))
                break;
            if (byte == 0 && nul == size)
                nul = i;
            high |= byte;
            ++i;
        }
        const bool ascii = (high & 0x80808080u) == 0;
        const size_t end = EndOfLine(data, size, i, lineEnd);
        const size_t length = std::min(end, nul) - start;
        if (length == 0)
            continue;
        const char* line = data + start;
        wchar_t* room = texts.Reserve(length); // a byte never decodes to more than one unit
        if (ascii) {
            std::copy(line, line + length, room);
            tracks.push_back(texts.Commit(length));
        } else {
            tracks.push_back(texts.Commit(DecodeUtf8(line, length, room)));
        }
    }
    return tracks;
}

bool HasByteOrderMark(const char* data, size_t size)
{
    for (const TextEncoding marked : {TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
        const std::string mark = ByteOrderMark(marked);
        if (size >= mark.size() && std::memcmp(data, mark.data(), mark.size()) == 0)
            return true;
    }
    return false;
}

template <class String>
String NameAfterLastBackslash(const String& path)
{
    if (path.size() < 2)
        return path;
    const size_t slash = path.find_last_of('\\', path.size() - 2);
    if (slash == String::npos)
        return path;
    return path.substr(slash + 1);
}

template <class Char>
LineEnd FindLineEnd(const Char* text, size_t size)
{
    const Char* end = text + size;
    const Char* lf = std::find(text, end, Char('\n'));
    if (lf != end)
        return lf > text && lf[-1] == '\r' ? LineEnd::CrLf : LineEnd::Lf;
    return std::find(text, end, Char('\r')) != end ? LineEnd::Cr : LineEnd::CrLf;
}

std::wstring JoinLines(const std::vector<SharedText>& tracks, LineEnd lineEnd)
{
    size_t total = 0;
    for (const SharedText& track : tracks)
        total += track.size() + 2;
    std::wstring text;
    text.reserve(total);
    for (const SharedText& track : tracks) {
        text += track.View();
        const bool endsInCr = !track.empty() && track[track.size() - 1] == L'\r';
        if (lineEnd == LineEnd::Cr)
            text += L'\r';
        else
            text += lineEnd == LineEnd::CrLf || endsInCr ? L"\r\n" : L"\n";
    }
    return text;
}

bool IsAscii(const SharedText& text)
{
    for (const wchar_t c : text) {
        if (static_cast<std::make_unsigned_t<wchar_t>>(c) >= 0x80)
            return false;
    }
    return true;
}

// Whether reading back a file written in this encoding gives the same text:
// the bytes must decode to it and must not be taken for another encoding.
bool Keeps(const std::vector<SharedText>& tracks, TextEncoding encoding, bool isM3u8,
           const IAnsiCodePage& codePage)
{
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be)
        return true;
    if (std::all_of(tracks.begin(), tracks.end(), IsAscii))
        return true;
    const std::wstring text = JoinLines(tracks, LineEnd::CrLf);
    const std::string bytes = ByteOrderMark(encoding) + Encode(text, encoding, codePage);
    const TextEncoding found = DetectEncoding(bytes.data(), bytes.size(), isM3u8);
    const size_t mark = ByteOrderMark(found).size();
    const DecodedText back = Decode(bytes.data() + mark, bytes.size() - mark, found, codePage);
    return back.trailing.empty() && back.text == text;
}

TextEncoding FirstThatKeeps(TextEncoding wanted, const std::vector<SharedText>& tracks, bool isM3u8,
                            const IAnsiCodePage& codePage)
{
    if (Keeps(tracks, wanted, isM3u8, codePage))
        return wanted;
    // UTF-16 keeps every unit, lone surrogates included, where UTF-8 cannot.
    if (Keeps(tracks, TextEncoding::Utf8Bom, isM3u8, codePage))
        return TextEncoding::Utf8Bom;
    return TextEncoding::Utf16Le;
}

} // namespace

std::wstring DisplayName(const std::wstring& path)
{
    return NameAfterLastBackslash(path);
}

M3uDocument ReadM3u(const char* data, size_t size, bool isM3u8, const IAnsiCodePage& codePage)
{
    M3uDocument document;
    if (!data)
        size = 0;
    // How lines end is found in the bytes for all but UTF-16 (a mark holds
    // neither CR nor LF). A mark or the .m3u8 name settles the encoding at
    // once; otherwise one pass looks for bytes beyond ASCII and counts the
    // lines. Plain ASCII needs neither the detection's scan nor a code page:
    // every encoding but UTF-16 reads it alike, and it carries no mark.
    const LineEnd byteLineEnd = FindLineEnd(data, size);
    const char lineEndByte = byteLineEnd == LineEnd::Cr ? '\r' : '\n';
    size_t lineEnds = kNotCounted;
    bool ascii = false;
    if (isM3u8 || HasByteOrderMark(data, size))
        document.encoding = DetectEncoding(data, size, isM3u8);
    else if ((ascii = ScanBytes(data, size, lineEndByte, lineEnds)))
        document.encoding = TextEncoding::Ansi;
    else
        document.encoding = DetectEncoding(data, size, false);
    const size_t mark = ByteOrderMark(document.encoding).size();
    const char* bytes = data + mark;
    size -= mark;
    // UTF-8 and ASCII text are split into lines as bytes, and each line is
    // decoded on its own, without a copy of the whole text in between.
    if (ascii || document.encoding == TextEncoding::Utf8 || document.encoding == TextEncoding::Utf8Bom) {
        document.lineEnd = byteLineEnd;
        document.tracks = SplitUtf8Tracks(bytes, size, lineEndByte, lineEnds);
        DropClosingCtrlZ(document.tracks);
        return document;
    }
    DecodedText decoded = Decode(bytes, size, document.encoding, codePage);
    const std::wstring& text = decoded.text;
    document.lineEnd = FindLineEnd(text.data(), text.size());
    document.tracks = SplitTracks(text.data(), text.size(), document.lineEnd == LineEnd::Cr ? L'\r' : L'\n');
    DropClosingCtrlZ(document.tracks);
    document.trailing = std::move(decoded.trailing);
    return document;
}

M3uDocument ReadM3u(const std::string& bytes, bool isM3u8, const IAnsiCodePage& codePage)
{
    return ReadM3u(bytes.data(), bytes.size(), isM3u8, codePage);
}

std::string WriteM3u(const std::vector<SharedText>& tracks, TextEncoding encoding, LineEnd lineEnd,
                     const IAnsiCodePage& codePage)
{
    return ByteOrderMark(encoding) + Encode(JoinLines(tracks, lineEnd), encoding, codePage);
}

std::string WriteM3u(const M3uDocument& document, const IAnsiCodePage& codePage)
{
    return WriteM3u(document.tracks, document.encoding, document.lineEnd, codePage) + document.trailing;
}

std::vector<size_t> TracksNotKept(const std::vector<SharedText>& tracks, TextEncoding encoding, bool isM3u8,
                                  const IAnsiCodePage& codePage)
{
    std::vector<size_t> notKept;
    if (Keeps(tracks, encoding, isM3u8, codePage))
        return notKept;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const std::wstring track = tracks[i].Str();
        if (Decode(Encode(track, encoding, codePage), encoding, codePage).text != track)
            notKept.push_back(i);
    }
    // Each name comes back on its own, but together they make the file pass
    // for another encoding: the names beyond ASCII are what does it.
    if (notKept.empty()) {
        for (size_t i = 0; i < tracks.size(); ++i) {
            if (!IsAscii(tracks[i]))
                notKept.push_back(i);
        }
    }
    return notKept;
}

TextEncoding SaveEncoding(TextEncoding readWith, const std::vector<SharedText>& tracks, bool isM3u8,
                          const IAnsiCodePage& codePage)
{
    return FirstThatKeeps(readWith, tracks, isM3u8, codePage);
}

TextEncoding SaveAsEncoding(bool isM3u8, const std::vector<SharedText>& tracks, const IAnsiCodePage& codePage)
{
    return FirstThatKeeps(isM3u8 ? TextEncoding::Utf8Bom : TextEncoding::Ansi, tracks, isM3u8, codePage);
}

bool IsM3u8Path(const std::wstring& path)
{
    static const wchar_t kExtension[] = L".m3u8";
    const size_t length = sizeof kExtension / sizeof kExtension[0] - 1;
    if (path.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = path[path.size() - length + i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kExtension[i])
            return false;
    }
    return true;
}

bool ReadM3uFile(const std::wstring& path, const IAnsiCodePage& codePage, M3uDocument& document)
{
    std::string data;
    if (!ReadWholeFile(path, data))
        return false;
    try {
        document = ReadM3u(data, IsM3u8Path(path), codePage);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
