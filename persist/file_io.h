#pragma once
// The one place where the data files and playlists touch the file system:
// whole-file reads and writes that replace a file only once the new bytes are
// safely on disk.
#include <cstddef>
#include <cstdint>
#include <string>

// Reads the file into out, at most maxBytes of it. False (out empty) when the
// file cannot be opened or reading it fails part-way.
bool ReadWholeFile(const char* path, std::string& out, size_t maxBytes = SIZE_MAX);

// Writes the bytes to "<path>.tmp" in the same folder and then moves that
// over path. False when any step fails; the old file at path is then left as
// it was and the temporary file is gone.
bool WriteFileReplacing(const char* path, const void* data, size_t size);

// "%s\%s": a file name in the start-up directory.
std::string JoinPath(const char* folder, const char* name);
