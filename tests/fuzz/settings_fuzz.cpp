// settings.dat on arbitrary bytes: the reader accepts exactly the files of 884
// bytes or more, never reads past a field, and what it accepts it writes back
// as a file that reads the same.
#include <cstdlib>
#include <cstring>

#include "persist/settings_record.h"

#define REQUIRE(condition) ((condition) ? (void)0 : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingsRecord record, again;
    std::memset(&record, 0xAB, sizeof record);
    const bool loaded = ParseSettings(data, size, record);
    static const SettingsRecord zero{};
    REQUIRE(loaded == (size >= kSettingsFileSize) && (loaded || std::memcmp(&record, &zero, sizeof record) == 0));
    for (uint8_t flag : {record.shuffle, record.repeat, record.mute, record.onTop, record.detached, record.playerShown, record.listHidden})
        REQUIRE(flag <= 1);
    REQUIRE(record.volume >= 0 && record.volume <= kMaxVolume);
    PlacementUsable(record.playerPlacement);
    const auto bytes = SerializeSettings(record);
    REQUIRE(ParseSettings(bytes.data(), bytes.size(), again) && SerializeSettings(again) == bytes);
    for (char* field : {record.playlistFolder, record.trackFolder, record.lastPlaylist}) {
        auto& f = *reinterpret_cast<char(*)[kPathFieldSize]>(field);
        const size_t length = PathFieldText(f).size();
        REQUIRE(length < kPathFieldSize && std::memchr(f, 0, kPathFieldSize));
        CutAtLastBackslash(f);
        REQUIRE(PathFieldText(f).size() <= length);
    }
    return 0;
}
