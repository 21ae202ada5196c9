#include "persist/file_io.h"

#include <algorithm>
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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "playlist/text_codec.h"
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

// Cuts the file to size bytes; the stream must hold no pending output.
bool Truncate(FILE* file, size_t size)
{
#ifdef _WIN32
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return handle != INVALID_HANDLE_VALUE && ::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(handle);
#else
    return static_cast<off_t>(size) >= 0 && ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

// The file's size, when the system knows it.
bool FileSize(FILE* file, unsigned long long& size)
{
#ifdef _WIN32
    const __int64 length = _filelengthi64(_fileno(file));
    size = static_cast<unsigned long long>(length);
    return length >= 0;
#else
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    size = static_cast<unsigned long long>(status.st_size);
    return true;
#endif
}

#ifdef _WIN32
FILE* OpenFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}
FILE* OpenFile(const std::wstring& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}
void RemoveFile(const std::string& path)
{
    ::DeleteFileA(path.c_str());
}
void RemoveFile(const std::wstring& path)
{
    ::DeleteFileW(path.c_str());
}
bool MoveOver(const std::string& from, const std::string& to)
{
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
bool MoveOver(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
// GetTempFileName takes a folder of at most MAX_PATH - 14 characters, and
// Wine's copies a longer one past the end of the name buffer: such a folder
// gets no temporary file.
bool MakeTempName(const std::string& folder, std::string& temp)
{
    char name[MAX_PATH];
    if (folder.size() > MAX_PATH - 14 || ::GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "qvt", 0, name) == 0)
        return false;
    temp = name;
    return true;
}
bool MakeTempName(const std::wstring& folder, std::wstring& temp)
{
    wchar_t name[MAX_PATH];
    if (folder.size() > MAX_PATH - 14 || ::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"qvt", 0, name) == 0)
        return false;
    temp = name;
    return true;
}
#else
FILE* OpenFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}
void RemoveFile(const std::string& path)
{
    std::remove(path.c_str());
}
bool MoveOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}
// mkstemp makes the file for its owner alone: the replacement gets the old
// file's permissions, or those a new file gets.
void TakeOverPermissions(int fd, const std::string& target)
{
    struct stat status;
    mode_t mode;
    if (stat(target.c_str(), &status) == 0) {
        mode = status.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
}
#endif

template <class String>
String FolderOf(const String& path)
{
#ifdef _WIN32
    const char separators[] = "\\/:";
#else
    const char separators[] = "/";
#endif
    const String marks(separators, separators + sizeof separators - 1);
    const size_t last = path.find_last_of(marks);
    return last == String::npos ? String() : path.substr(0, last + 1);
}

// Makes a file that no other file is named as, in the target's folder, and
// opens it for writing. Null when no file can be made there.
template <class String>
FILE* CreateTempBeside(const String& target, String& temp)
{
#ifdef _WIN32
    if (!MakeTempName(FolderOf(target), temp))
        return nullptr;
    FILE* file = OpenFile(temp, "wb");
    if (!file)
        RemoveFile(temp);
    return file;
#else
    String pattern = FolderOf(target) + "qvtXXXXXX";
    const int fd = mkstemp(&pattern[0]);
    if (fd < 0)
        return nullptr;
    temp = pattern;
    TakeOverPermissions(fd, target);
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        RemoveFile(temp);
    }
    return file;
#endif
}

bool WriteAll(FILE* file, const void* data, size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

bool WriteAndClose(FILE* file, const void* data, size_t size)
{
    bool ok = WriteAll(file, data, size);
    ok = ok && std::fflush(file) == 0;
    ok = ok && FlushToDisk(file);
    // Closing can be where a full disk first shows, so its result counts too.
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
}

// Reads at most maxBytes. False when the bound of a whole-file read, not the
// caller, would stop the reading: the file is then too large to be taken.
bool ReadStream(FILE* file, std::string& out, size_t maxBytes)
{
    const bool bounded = maxBytes > kMaxWholeFileBytes;
    const size_t limit = bounded ? kMaxWholeFileBytes : maxBytes;
    unsigned long long size = 0;
    const bool sized = bounded && FileSize(file, size);
    if (sized && size > limit)
        return false;
    try {
        // Room for the whole file at once when the file system gives a size
        // within the bound (a big playlist would otherwise be copied at
        // every doubling); it still grows with what is actually read.
        if (sized)
            out.reserve(static_cast<size_t>(size) + 1);
        // Read straight into the string, a large piece at a time: each read
        // is a call into the system, which costs more than its bytes do. A
        // piece stays within the room reserved, so nothing is moved.
        constexpr size_t kPiece = size_t{1} << 20;
        while (out.size() < limit) {
            const size_t at = out.size();
            size_t want = std::min(limit - at, kPiece);
            if (out.capacity() > at)
                want = std::min(want, out.capacity() - at);
            out.resize(at + want);
            const size_t got = std::fread(&out[at], 1, want, file);
            out.resize(at + got);
            if (got < want)
                return !std::ferror(file);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // At the bound: a file that grew while it was read is refused all the same.
    return !bounded || (std::fgetc(file) == EOF && !std::ferror(file));
}

template <class String>
bool ReadWhole(const String& path, std::string& out, size_t maxBytes)
{
    FILE* file = OpenFile(path, "rb");
    if (!file)
        return false;
    const bool ok = ReadStream(file, out, maxBytes);
    std::fclose(file);
    return ok;
}

// For a folder that lets the file be rewritten but no new file be made. The
// stream is unbuffered, so that a write that fails does so at once, before
// the old bytes are put back.
template <class String>
bool RewriteInPlace(const String& path, const void* data, size_t size)
{
    FILE* file = OpenFile(path, "r+b");
    if (!file)
        return false;
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::string old;
    bool ok = ReadStream(file, old, SIZE_MAX) && std::fseek(file, 0, SEEK_SET) == 0;
    const bool read = ok;
    ok = ok && WriteAll(file, data, size) && Truncate(file, size) && FlushToDisk(file);
    if (read && !ok) {
        std::clearerr(file);
        if (std::fseek(file, 0, SEEK_SET) == 0 && WriteAll(file, old.data(), old.size()) && Truncate(file, old.size()))
            FlushToDisk(file);
    }
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
}

template <class String>
bool WriteReplacing(const String& path, const void* data, size_t size)
{
    String temp;
    FILE* file = CreateTempBeside(path, temp);
    if (!file)
        return RewriteInPlace(path, data, size);
    if (!WriteAndClose(file, data, size) || !MoveOver(temp, path)) {
        RemoveFile(temp);
        return false;
    }
    return true;
}

// A name with a NUL inside would open some other file.
bool UsablePath(const std::wstring& path)
{
    return !path.empty() && path.find(L'\0') == std::wstring::npos;
}

#ifdef _WIN32
const std::wstring& NativePath(const std::wstring& path)
{
    return path;
}
#else
std::string NativePath(const std::wstring& path)
{
    return Encode(path, TextEncoding::Utf8, CWindows1252());
}
#endif

} // namespace

bool ReadWholeFile(const char* path, std::string& out, size_t maxBytes)
{
    out.clear();
    bool ok = false;
    try {
        ok = path && *path && ReadWhole(std::string(path), out, maxBytes);
    } catch (const std::bad_alloc&) {
    }
    if (!ok)
        std::string().swap(out); // a refused file leaves no memory taken
    return ok;
}

bool ReadWholeFile(const std::wstring& path, std::string& out, size_t maxBytes)
{
    out.clear();
    bool ok = false;
    try {
        ok = UsablePath(path) && ReadWhole(NativePath(path), out, maxBytes);
    } catch (const std::bad_alloc&) {
    }
    if (!ok)
        std::string().swap(out);
    return ok;
}

bool WriteFileReplacing(const char* path, const void* data, size_t size)
{
    if (!path || !*path || (!data && size != 0))
        return false;
    try {
        return WriteReplacing(std::string(path), data, size);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool WriteFileReplacing(const std::wstring& path, const void* data, size_t size)
{
    if (!UsablePath(path) || (!data && size != 0))
        return false;
    try {
        return WriteReplacing(NativePath(path), data, size);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::wstring JoinPath(const wchar_t* folder, const wchar_t* name)
{
    std::wstring joined = folder ? folder : L"";
    joined += L'\\';
    joined += name ? name : L"";
    return joined;
}
