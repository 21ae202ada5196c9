#include "playlist/m3u.h"

#include "persist/file_io.h"

namespace {

// White space skipped at the start of a line (the C locale's set).
bool IsLeadingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::vector<std::string> ParseM3u(const char* data, size_t size)
{
    std::vector<std::string> tracks;
    if (!data)
        return tracks;
    size_t i = 0;
    while (i < size) {
        while (i < size && IsLeadingSpace(data[i]))
            ++i;
        if (i == size)
            break;
        const size_t start = i;
        while (i < size && data[i] != '\n')
            ++i;
        size_t end = i;
        if (i < size) {
            ++i; // the LF
            if (data[end - 1] == '\r')
                --end; // a CR that ends a line goes with its LF; start < end here
        }
        size_t length = 0;
        while (start + length < end && data[start + length] != '\0')
            ++length;
        if (length > 0)
            tracks.emplace_back(data + start, length);
    }
    return tracks;
}

std::string FormatM3u(const std::vector<std::string>& paths)
{
    size_t total = 0;
    for (const std::string& path : paths)
        total += path.size() + 2;
    std::string text;
    text.reserve(total);
    for (const std::string& path : paths) {
        text += path;
        text += "\r\n";
    }
    return text;
}

bool ReadM3uFile(const char* path, std::vector<std::string>& tracks)
{
    std::string data;
    if (!ReadWholeFile(path, data))
        return false;
    tracks = ParseM3u(data.data(), data.size());
    return true;
}

std::string DisplayName(const std::string& path)
{
    if (path.size() < 2)
        return path;
    const size_t slash = path.find_last_of('\\', path.size() - 2);
    if (slash == std::string::npos)
        return path;
    return path.substr(slash + 1);
}
