// settings.dat on arbitrary bytes: the reader accepts exactly the files of
// 884 bytes or more, never reads past a field, and what it accepts it writes
// back as a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "persist/settings_record.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsFlag(uint8_t value) { return value == 0 || value == 1; }

void CheckPath(char (&field)[kPathFieldSize])
{
    const std::string text = PathFieldText(field);
    Require(text.size() < kPathFieldSize);
    Require(std::memchr(field, 0, kPathFieldSize) != nullptr);
    CutAtLastBackslash(field);
    Require(PathFieldText(field).size() <= text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingsRecord record;
    std::memset(&record, 0xAB, sizeof record);
    const bool loaded = ParseSettings(data, size, record);
    Require(loaded == (size >= kSettingsFileSize));
    if (!loaded) {
        static const SettingsRecord zero{};
        Require(std::memcmp(&record, &zero, sizeof record) == 0);
        return 0;
    }
    Require(IsFlag(record.shuffle) && IsFlag(record.repeat) && IsFlag(record.mute) && IsFlag(record.onTop));
    Require(IsFlag(record.detached) && IsFlag(record.playerShown) && IsFlag(record.listHidden));
    Require(record.volume >= 0 && record.volume <= kMaxVolume);
    PlacementUsable(record.playerPlacement);
    PlacementUsable(record.editorPlacement);

    const auto bytes = SerializeSettings(record);
    SettingsRecord again;
    Require(ParseSettings(bytes.data(), bytes.size(), again));
    Require(SerializeSettings(again) == bytes);

    CheckPath(record.playlistFolder);
    CheckPath(record.trackFolder);
    CheckPath(record.lastPlaylist);
    return 0;
}
