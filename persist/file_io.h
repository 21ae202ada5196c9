#pragma once
// The one place where the data files and playlists touch the file system:
// whole-file reads and writes that replace a file only once the new bytes are
// safely on disk. Wide paths hold UTF-16 units; natively they are taken as
// UTF-8 names.
#include <cstddef>
#include <cstdint>
#include <string>

// The most a whole-file read takes. A playlist of 100,000 tracks of 260
// characters is 26 MB of ANSI text; ten times that is no playlist, and the
// bytes, their UTF-16 text and the list made of it must still fit together in
// the 2 GB of a 32-bit process.
constexpr size_t kMaxWholeFileBytes = 256u * 1024 * 1024;

// Reads the file into out, at most maxBytes of it. False (out empty) when the
// file cannot be opened, reading it fails part-way, or more than
// kMaxWholeFileBytes of it would have to be read.
bool ReadWholeFile(const char* path, std::string& out, size_t maxBytes = SIZE_MAX);
bool ReadWholeFile(const std::wstring& path, std::string& out, size_t maxBytes = SIZE_MAX);

// Writes the bytes to a new temporary file, named as no other file is, in the
// same folder, and then moves that over path. Where the folder lets no file be
// made but the file at path may be rewritten, rewrites it in place instead,
// and puts its old bytes back if that fails part-way. False when any step
// fails; the old file is then as it was, and no temporary file is left.
bool WriteFileReplacing(const char* path, const void* data, size_t size);
bool WriteFileReplacing(const std::wstring& path, const void* data, size_t size);

// "%s\%s": a file name in the start-up directory.
std::wstring JoinPath(const wchar_t* folder, const wchar_t* name);
