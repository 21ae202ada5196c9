// The M3U reader on arbitrary bytes: it must stay in bounds, give only
// tracks the list box can hold, and read back what it would write.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "playlist/m3u.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsLeadingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> tracks = ParseM3u(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (const std::string& track : tracks) {
        Require(!track.empty());
        Require(!IsLeadingSpace(track[0]));
        Require(track.find('\n') == std::string::npos);
        Require(track.find('\0') == std::string::npos);
        total += track.size();
        Require(DisplayName(track).size() <= track.size());
    }
    Require(total <= size);

    // Saving a loaded list and loading it again changes nothing.
    const std::string saved = FormatM3u(tracks);
    Require(ParseM3u(saved.data(), saved.size()) == tracks);
    return 0;
}
