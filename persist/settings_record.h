#pragma once
// SettingsRecord: how the two windows and the player were left, and the
// 884-byte file settings.dat that holds it between runs. The record's field
// offsets are the file's offsets; the bytes themselves are built and read
// explicitly, little-endian, so the format never depends on the compiler.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "playlist/text_codec.h"

constexpr size_t kSettingsFileSize = 884;
constexpr size_t kPathFieldSize = 260;
constexpr uint32_t kWindowPlacementLength = 44;
constexpr int32_t kMaxVolume = 1000;
constexpr const wchar_t kSettingsFileName[] = L"settings.dat";

struct PointImage {
    int32_t x;
    int32_t y;
};

struct RectImage {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The stored image of one WINDOWPLACEMENT, member for member.
struct WindowPlacementImage {
    uint32_t length;
    uint32_t flags;
    uint32_t showCmd;
    PointImage ptMinPosition;
    PointImage ptMaxPosition;
    RectImage rcNormalPosition;
};

// Value-initialise (SettingsRecord record{};) for the all-zero record that
// stands for "no settings".
struct SettingsRecord {
    uint8_t shuffle;
    uint8_t repeat;
    uint8_t reserved1[2];
    int32_t volume;
    uint8_t mute;
    uint8_t onTop;
    uint8_t detached;
    uint8_t playerShown;
    WindowPlacementImage playerPlacement;
    uint8_t listHidden;
    uint8_t reserved2[3];
    WindowPlacementImage editorPlacement;
    char playlistFolder[kPathFieldSize];
    char trackFolder[kPathFieldSize];
    char lastPlaylist[kPathFieldSize];
};

static_assert(sizeof(PointImage) == 8, "PointImage layout");
static_assert(sizeof(RectImage) == 16, "RectImage layout");
static_assert(sizeof(WindowPlacementImage) == kWindowPlacementLength, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, length) == 0, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, flags) == 4, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, showCmd) == 8, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, ptMinPosition) == 12, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, ptMaxPosition) == 20, "WindowPlacementImage layout");
static_assert(offsetof(WindowPlacementImage, rcNormalPosition) == 28, "WindowPlacementImage layout");
static_assert(offsetof(RectImage, bottom) == 12, "RectImage layout");
static_assert(offsetof(PointImage, y) == 4, "PointImage layout");

static_assert(sizeof(SettingsRecord) == kSettingsFileSize, "settings.dat is 884 bytes");
static_assert(offsetof(SettingsRecord, shuffle) == 0, "settings.dat layout");
static_assert(offsetof(SettingsRecord, repeat) == 1, "settings.dat layout");
static_assert(offsetof(SettingsRecord, reserved1) == 2, "settings.dat layout");
static_assert(offsetof(SettingsRecord, volume) == 4, "settings.dat layout");
static_assert(offsetof(SettingsRecord, mute) == 8, "settings.dat layout");
static_assert(offsetof(SettingsRecord, onTop) == 9, "settings.dat layout");
static_assert(offsetof(SettingsRecord, detached) == 10, "settings.dat layout");
static_assert(offsetof(SettingsRecord, playerShown) == 11, "settings.dat layout");
static_assert(offsetof(SettingsRecord, playerPlacement) == 12, "settings.dat layout");
static_assert(offsetof(SettingsRecord, listHidden) == 56, "settings.dat layout");
static_assert(offsetof(SettingsRecord, reserved2) == 57, "settings.dat layout");
static_assert(offsetof(SettingsRecord, editorPlacement) == 60, "settings.dat layout");
static_assert(offsetof(SettingsRecord, playlistFolder) == 104, "settings.dat layout");
static_assert(offsetof(SettingsRecord, trackFolder) == 364, "settings.dat layout");
static_assert(offsetof(SettingsRecord, lastPlaylist) == 624, "settings.dat layout");

// The file's bytes. Flags go out as 0 or 1, and a path field with no NUL
// goes out with its last byte made one, so the file always parses back.
std::array<uint8_t, kSettingsFileSize> SerializeSettings(const SettingsRecord& record);

// False, with out all zero, when fewer than 884 bytes are given: a
// half-written file counts as missing. Only the first 884 bytes are read.
// Flags other than 0 read as 1, the volume is clamped to 0..1000 and a path
// field without a NUL is cut at 259 characters.
bool ParseSettings(const uint8_t* data, size_t size, SettingsRecord& out);

// An empty normal rectangle would put the window at zero size: such a stored
// placement is not applied.
bool PlacementUsable(const WindowPlacementImage& placement);

// Copies text into the field, cut at 259 characters; null counts as empty.
// The bytes behind the NUL are zeroed.
void SetPathField(char (&field)[kPathFieldSize], const char* text);

// The field's text, never reading past the field.
std::string PathFieldText(const char (&field)[kPathFieldSize]);

// Turns a full file path in the field into its folder: cut at the last
// backslash before the final character (D:\Lists\rock.m3u -> D:\Lists,
// D:\rock.m3u -> D:). A path with no backslash names no folder, so the field
// becomes empty and the dialogs start in the start-up directory.
void CutAtLastBackslash(char (&field)[kPathFieldSize]);

// The path fields hold ANSI text, so a path the code page cannot hold is
// stored by its short (8.3) name when the file system gives one that the code
// page and the field hold, else not at all: never a path with characters
// changed. shortName is GetShortPathNameW's answer (empty for none).
using ShortPathName = std::function<std::wstring(const std::wstring& path)>;
void SetPathField(char (&field)[kPathFieldSize], const std::wstring& path, const IAnsiCodePage& codePage,
                  const ShortPathName& shortName);
// The field's path, decoded from the code page.
std::wstring PathFieldPath(const char (&field)[kPathFieldSize], const IAnsiCodePage& codePage);

// False (out all zero) when the file is missing, unreadable or short.
bool LoadSettingsFile(const std::wstring& fullName, SettingsRecord& out);
bool SaveSettingsFile(const std::wstring& fullName, const SettingsRecord& record);
