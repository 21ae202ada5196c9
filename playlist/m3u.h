#pragma once
// The .m3u playlist file: one track per line, in any encoding, read into
// UTF-16 text and written back as it came. The bytes are read and written one
// by one, so nothing depends on the C runtime's text mode.

#include <cstddef>
#include <string>
#include <vector>

#include "playlist/shared_text.h"
#include "playlist/text_codec.h"

// The name the user sees for a path: the text after its last backslash, the
// last character itself not counted as a separator; the whole path when it
// has no such backslash.
std::wstring DisplayName(const std::wstring& path);

// How the lines of a file end. A file with CRs but no LF at all has lines
// that end at CR; a file without any line end gets CR LF, as a new one does.
enum class LineEnd { CrLf, Lf, Cr };

// A playlist file read into UTF-16 tracks, with what it takes to write it
// back the way it came: its encoding (mark included) and its line ends.
struct M3uDocument {
    std::vector<SharedText> tracks;
    TextEncoding encoding = TextEncoding::Ansi;
    LineEnd lineEnd = LineEnd::CrLf;
    std::string trailing; // the odd last byte of a UTF-16 file
};

// Every non-blank line of the decoded text is a track, '#' lines included. A
// line ends at LF (at CR in a file that ends its lines there), and a CR
// directly before the LF goes with it; white space at the start of a line is
// skipped (so blank lines vanish), white space at its end is kept. Lines of
// any length are kept whole, so that saving writes them back without loss. A
// line is a C string to the list box: it ends at a NUL, if it holds one. A
// Ctrl-Z that old DOS tools put at the end, with only white space after it,
// is not part of the last track. A byte-order mark is never part of a track.
M3uDocument ReadM3u(const char* data, size_t size, bool isM3u8, const IAnsiCodePage& codePage);
M3uDocument ReadM3u(const std::string& bytes, bool isM3u8, const IAnsiCodePage& codePage);

// The mark of the encoding, then each track and its line end, the last one
// too. A track that ends in CR gets CR LF even where lines end at LF, so that
// the CR stays its own.
std::string WriteM3u(const std::vector<SharedText>& tracks, TextEncoding encoding, LineEnd lineEnd,
                     const IAnsiCodePage& codePage);
// As above, with the document's odd last byte after it: a document read and
// written unchanged gives the file's bytes back, apart from what reading drops.
std::string WriteM3u(const M3uDocument& document, const IAnsiCodePage& codePage);

// The indexes of the tracks that a file in this encoding would not give back
// as they are when read again (a character the code page lacks; for ANSI
// also names that would make the file pass for UTF-8 or start with a mark).
// Empty when the encoding keeps them all.
std::vector<size_t> TracksNotKept(const std::vector<SharedText>& tracks, TextEncoding encoding, bool isM3u8,
                                  const IAnsiCodePage& codePage);

// What Save writes: the encoding the file was read in while it keeps every
// track, else UTF-8 with a mark (UTF-16 LE when not even that keeps them).
TextEncoding SaveEncoding(TextEncoding readWith, const std::vector<SharedText>& tracks, bool isM3u8,
                          const IAnsiCodePage& codePage);

// What Save as writes: UTF-8 with a mark for .m3u8; for .m3u, ANSI when it
// keeps every track, else as Save does. The caller tells the user which names
// forced it (TracksNotKept with Ansi).
TextEncoding SaveAsEncoding(bool isM3u8, const std::vector<SharedText>& tracks, const IAnsiCodePage& codePage);

// A name ending in ".m3u8", in any case.
bool IsM3u8Path(const std::wstring& path);

// Reads the whole file into document. False, with document untouched, when
// the file cannot be opened or read, or is too large to hold.
bool ReadM3uFile(const std::wstring& path, const IAnsiCodePage& codePage, M3uDocument& document);
