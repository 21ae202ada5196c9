#include "persist/file_io.h"

#include <cstdio>
#include <new>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// Pushes the file's data past the operating system's cache, so that the move
// that follows never publishes a file whose bytes were still pending.
bool FlushToDisk(FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool MoveOver(const char* from, const char* to)
{
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
#else
    return std::rename(from, to) == 0;
#endif
}

bool WriteAndClose(FILE* file, const void* data, size_t size)
{
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = ok && std::fflush(file) == 0;
    ok = ok && FlushToDisk(file);
    // Closing can be where a full disk first shows, so its result counts too.
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
}

} // namespace

bool ReadWholeFile(const char* path, std::string& out, size_t maxBytes)
{
    out.clear();
    if (!path || !*path)
        return false;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bool ok = true;
    try {
        // Grows with what is actually read: the size of a damaged or huge
        // file never decides an allocation up front.
        char chunk[16384];
        while (out.size() < maxBytes) {
            size_t want = maxBytes - out.size();
            if (want > sizeof chunk)
                want = sizeof chunk;
            const size_t got = std::fread(chunk, 1, want, file);
            out.append(chunk, got);
            if (got < want) {
                ok = !std::ferror(file);
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        out.clear();
    return ok;
}

bool WriteFileReplacing(const char* path, const void* data, size_t size)
{
    if (!path || !*path || (!data && size != 0))
        return false;
    std::string temp;
    try {
        temp = std::string(path) + ".tmp";
    } catch (const std::bad_alloc&) {
        return false;
    }
    FILE* file = std::fopen(temp.c_str(), "wb");
    // Nothing was created, so nothing is removed: "<path>.tmp" may be
    // something of the user's that merely blocks the name.
    if (!file)
        return false;
    if (!WriteAndClose(file, data, size) || !MoveOver(temp.c_str(), path)) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string JoinPath(const char* folder, const char* name)
{
    std::string joined = folder ? folder : "";
    joined += '\\';
    joined += name ? name : "";
    return joined;
}
