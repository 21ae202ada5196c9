#pragma once
// The .m3u playlist file: plain ANSI text, one track path per line. Reading
// and writing are done here byte by byte, so the result never depends on the
// C runtime's text mode.

#include <cstddef>
#include <string>
#include <vector>

// Every non-blank line is a track, '#' lines included. A line ends at LF, and
// a CR directly before the LF goes with it; white space at the start of a line
// is skipped (so blank lines vanish), white space at its end is kept. Lines of
// any length are kept whole, so that saving writes them back without loss. A
// line is a C string to the list box: it ends at a NUL byte, if it holds one.
std::vector<std::string> ParseM3u(const char* data, size_t size);

// Each path followed by CR LF, the last one too; an empty list is empty.
std::string FormatM3u(const std::vector<std::string>& paths);

// Reads and parses the whole file into tracks. False, with tracks untouched,
// when the file cannot be opened or read.
bool ReadM3uFile(const char* path, std::vector<std::string>& tracks);

// The name the user sees for a path: the text after its last backslash, the
// last character itself not counted as a separator; the whole path when it
// has no such backslash.
std::string DisplayName(const std::string& path);
