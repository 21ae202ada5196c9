#pragma once
// Playlist text in the encodings playlist files come in, decoded to UTF-16
// without losing a byte: a byte that does not decode is carried as the lone
// surrogate U+DC00 + byte (U+DC80..U+DCFF) and written back as that byte, so
// that a file opened and saved unchanged keeps even its damaged names.
// Text is std::wstring holding UTF-16 code units, also where wchar_t is wider.

#include <cstddef>
#include <string>

enum class TextEncoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// The system's ANSI code page: the one seam between the codec and Windows,
// so that the codec also runs natively against a portable table. Bytes below
// 0x80 are ASCII in every code page Windows uses as ANSI, and the codec
// reads and writes them without asking.
class IAnsiCodePage {
public:
    virtual ~IAnsiCodePage() = default;
    // The code page's number: 1252, 932, ...; 65001 makes ANSI text UTF-8.
    virtual unsigned Id() const = 0;
    // All the bytes in one go; a byte (pair) without a character of its own
    // gets whatever the code page puts in its place.
    virtual std::wstring Decode(const char* data, size_t size) const = 0;
    // Appends the text's bytes to out. False when a character has no bytes
    // of its own: nothing is written as a look-alike or as a default char
    // without saying so.
    virtual bool Encode(const wchar_t* text, size_t length, std::string& out) const = 0;
    // Bytes of the character that starts with this byte: 2 for the lead
    // byte of a double-byte character, else 1.
    virtual size_t CharLength(unsigned char lead) const = 0;
};

// Windows-1252 as Windows maps it, including its five undefined bytes (0x81,
// 0x8D, 0x8F, 0x90, 0x9D), which become the C1 controls of the same number.
class CWindows1252 final : public IAnsiCodePage {
public:
    unsigned Id() const override { return 1252; }
    std::wstring Decode(const char* data, size_t size) const override;
    bool Encode(const wchar_t* text, size_t length, std::string& out) const override;
    size_t CharLength(unsigned char) const override { return 1; }
};

#ifdef _WIN32
// CP_ACP through MultiByteToWideChar and WideCharToMultiByte (no best fit).
const IAnsiCodePage& SystemAnsiCodePage();
#endif

// A decoded text; a UTF-16 text of an odd number of bytes keeps its last
// byte apart, to be written back after the text.
struct DecodedText {
    std::wstring text;
    std::string trailing;
};

// Encode(Decode(bytes, e), e) gives the bytes back, whatever they are.
// Byte-order marks are not looked at here: the caller strips and writes them.
DecodedText Decode(const char* data, size_t size, TextEncoding encoding, const IAnsiCodePage& codePage);
DecodedText Decode(const std::string& bytes, TextEncoding encoding, const IAnsiCodePage& codePage);
// UTF-8 as Decode reads it, into out, which has room for size units (no
// sequence gives more units than it has bytes); returns the units written.
// Valid text takes a quick path, anything else the escapes.
size_t DecodeUtf8(const char* data, size_t size, wchar_t* out);
// The same, appended to out.
void DecodeUtf8(const char* data, size_t size, std::wstring& out);

// UTF-8 writes a lone surrogate U+DC80..U+DCFF as its byte and any other lone
// surrogate in its three-byte form; UTF-16 writes every unit as it is; ANSI
// writes a character the code page lacks as the code page's substitute.
std::string Encode(const std::wstring& text, TextEncoding encoding, const IAnsiCodePage& codePage);
std::string Encode(const DecodedText& decoded, TextEncoding encoding, const IAnsiCodePage& codePage);

// A file's encoding: its byte-order mark; without one, UTF-8 for a .m3u8
// file, else UTF-8 when the bytes are valid UTF-8 holding any non-ASCII byte,
// else ANSI.
TextEncoding DetectEncoding(const char* data, size_t size, bool isM3u8);

// The mark a file in that encoding starts with; empty for Ansi and Utf8.
std::string ByteOrderMark(TextEncoding encoding);

// The number of units of a UTF-16 text to keep when it is cut to at most
// room units: room itself, or one fewer where that would split a surrogate
// pair. length is the text's own; a room past it keeps it all.
size_t CutLength(const wchar_t* text, size_t length, size_t room);
