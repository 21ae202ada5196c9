#include "persist/settings_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::array<uint8_t, kSettingsFileSize>;

// The record behind kKnownHead: neighbouring flags alternate so that a field
// written one byte off shows.
SettingsRecord KnownRecord()
{
    SettingsRecord r{};
    r.shuffle = 1;
    r.repeat = 0;
    r.volume = 750;
    r.mute = 0;
    r.onTop = 1;
    r.detached = 0;
    r.playerShown = 1;
    r.playerPlacement = {44, 0, 1, {-1, -1}, {-1, -1}, {100, 590, 420, 690}};
    r.listHidden = 1;
    r.editorPlacement = {44, 2, 3, {-32000, -32000}, {-8, -8}, {100, 100, 420, 580}};
    SetPathField(r.playlistFolder, "D:\\Lists");
    SetPathField(r.trackFolder, "C:\\Music\\Rock");
    SetPathField(r.lastPlaylist, "D:\\Lists\\rock.m3u");
    return r;
}

// Bytes 0..103 of KnownRecord's file, written out by hand.
const uint8_t kKnownHead[104] = {
    0x01, 0x00, 0x00, 0x00,                         // shuffle, repeat, reserved
    0xEE, 0x02, 0x00, 0x00,                         // volume 750
    0x00, 0x01, 0x00, 0x01,                         // mute, on top, detached, player shown
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // player: length 44, flags 0
    0x01, 0x00, 0x00, 0x00,                         // showCmd 1
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // min -1, -1
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // max -1, -1
    0x64, 0x00, 0x00, 0x00, 0x4E, 0x02, 0x00, 0x00, // normal 100, 590,
    0xA4, 0x01, 0x00, 0x00, 0xB2, 0x02, 0x00, 0x00, //        420, 690
    0x01, 0x00, 0x00, 0x00,                         // list hidden, reserved
    0x2C, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, // editor: length 44, flags 2
    0x03, 0x00, 0x00, 0x00,                         // showCmd 3
    0x00, 0x83, 0xFF, 0xFF, 0x00, 0x83, 0xFF, 0xFF, // min -32000, -32000
    0xF8, 0xFF, 0xFF, 0xFF, 0xF8, 0xFF, 0xFF, 0xFF, // max -8, -8
    0x64, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, // normal 100, 100,
    0xA4, 0x01, 0x00, 0x00, 0x44, 0x02, 0x00, 0x00, //        420, 580
};

Bytes KnownBytes()
{
    Bytes b{};
    std::memcpy(b.data(), kKnownHead, sizeof kKnownHead);
    std::memcpy(b.data() + 104, "D:\\Lists", 8);
    std::memcpy(b.data() + 364, "C:\\Music\\Rock", 13);
    std::memcpy(b.data() + 624, "D:\\Lists\\rock.m3u", 17);
    return b;
}

void ExpectPlacementEq(const WindowPlacementImage& a, const WindowPlacementImage& b)
{
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.showCmd, b.showCmd);
    EXPECT_EQ(a.ptMinPosition.x, b.ptMinPosition.x);
    EXPECT_EQ(a.ptMinPosition.y, b.ptMinPosition.y);
    EXPECT_EQ(a.ptMaxPosition.x, b.ptMaxPosition.x);
    EXPECT_EQ(a.ptMaxPosition.y, b.ptMaxPosition.y);
    EXPECT_EQ(a.rcNormalPosition.left, b.rcNormalPosition.left);
    EXPECT_EQ(a.rcNormalPosition.top, b.rcNormalPosition.top);
    EXPECT_EQ(a.rcNormalPosition.right, b.rcNormalPosition.right);
    EXPECT_EQ(a.rcNormalPosition.bottom, b.rcNormalPosition.bottom);
}

bool AllZero(const SettingsRecord& r)
{
    const Bytes zero{};
    return std::memcmp(&r, zero.data(), sizeof r) == 0;
}

bool HasNul(const char (&field)[kPathFieldSize])
{
    return std::memchr(field, 0, kPathFieldSize) != nullptr;
}

// The single-byte flags and where they sit in the file.
struct FlagSlot {
    size_t offset;
    uint8_t SettingsRecord::*field;
};
const FlagSlot kFlags[] = {
    {0, &SettingsRecord::shuffle},   {1, &SettingsRecord::repeat},   {8, &SettingsRecord::mute},
    {9, &SettingsRecord::onTop},     {10, &SettingsRecord::detached}, {11, &SettingsRecord::playerShown},
    {56, &SettingsRecord::listHidden},
};

} // namespace

TEST(SettingsBytes, KnownRecordGivesExactBytes)
{
    const Bytes bytes = SerializeSettings(KnownRecord());
    const Bytes expected = KnownBytes();
    for (size_t i = 0; i < kSettingsFileSize; ++i)
        ASSERT_EQ(bytes[i], expected[i]) << "at offset " << i;
}

TEST(SettingsBytes, KnownBytesParseToKnownRecord)
{
    const Bytes bytes = KnownBytes();
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
    const SettingsRecord k = KnownRecord();
    for (const FlagSlot& f : kFlags)
        EXPECT_EQ(r.*f.field, k.*f.field) << "flag at offset " << f.offset;
    EXPECT_EQ(r.volume, 750);
    ExpectPlacementEq(r.playerPlacement, k.playerPlacement);
    ExpectPlacementEq(r.editorPlacement, k.editorPlacement);
    EXPECT_EQ(PathFieldText(r.playlistFolder), "D:\\Lists");
    EXPECT_EQ(PathFieldText(r.trackFolder), "C:\\Music\\Rock");
    EXPECT_EQ(PathFieldText(r.lastPlaylist), "D:\\Lists\\rock.m3u");
}

TEST(SettingsBytes, RoundTripKeepsBytesBehindTheNul)
{
    // A field keeps whatever followed its NUL, as a record that was loaded,
    // edited in place and saved again would.
    Bytes bytes = KnownBytes();
    std::memcpy(bytes.data() + 104 + 9, "stale", 5);
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
    EXPECT_EQ(SerializeSettings(r), bytes);
}

TEST(SettingsBytes, ReservedBytesAreReadAsNothingAndWrittenAsZero)
{
    Bytes bytes = KnownBytes();
    for (size_t offset : {2u, 3u, 57u, 58u, 59u})
        bytes[offset] = 0xAB;
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
    EXPECT_EQ(SerializeSettings(r), KnownBytes());
}

TEST(SettingsBytes, WriterKeepsFlagsAndPathsInsideTheFormat)
{
    SettingsRecord r{};
    for (const FlagSlot& f : kFlags)
        r.*f.field = 7;
    std::memset(r.trackFolder, 'x', kPathFieldSize);
    const Bytes bytes = SerializeSettings(r);
    for (const FlagSlot& f : kFlags)
        EXPECT_EQ(bytes[f.offset], 1) << "flag at offset " << f.offset;
    EXPECT_EQ(bytes[364 + 258], 'x');
    EXPECT_EQ(bytes[364 + 259], 0);
    EXPECT_EQ(bytes[624], 0); // the next field is untouched
}

TEST(SettingsParse, TooShortCountsAsMissing)
{
    const std::vector<uint8_t> full(kSettingsFileSize, 0x5A);
    for (size_t size : {size_t{0}, size_t{1}, size_t{7}, size_t{100}, kSettingsFileSize - 1}) {
        SettingsRecord r = KnownRecord();
        EXPECT_FALSE(ParseSettings(full.data(), size, r)) << size << " bytes";
        EXPECT_TRUE(AllZero(r)) << size << " bytes";
    }
    SettingsRecord r = KnownRecord();
    EXPECT_FALSE(ParseSettings(nullptr, kSettingsFileSize, r));
    EXPECT_TRUE(AllZero(r));
}

TEST(SettingsParse, LongerFileIsReadTo884Bytes)
{
    std::vector<uint8_t> bytes(kSettingsFileSize + 100, 0xFF);
    const Bytes known = KnownBytes();
    std::copy(known.begin(), known.end(), bytes.begin());
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
    EXPECT_EQ(SerializeSettings(r), known);
}

TEST(SettingsParse, AnyNonZeroFlagByteReadsAsSet)
{
    for (uint8_t value : {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{0x80}, uint8_t{255}}) {
        for (const FlagSlot& f : kFlags) {
            Bytes bytes{};
            bytes[f.offset] = value;
            SettingsRecord r;
            ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
            for (const FlagSlot& g : kFlags) {
                const int want = (&g == &f && value != 0) ? 1 : 0;
                EXPECT_EQ(r.*g.field, want) << "byte " << int(value) << " at " << f.offset << ", flag at " << g.offset;
            }
        }
    }
}

TEST(SettingsParse, VolumeIsClampedToItsRange)
{
    const struct {
        int32_t stored;
        int32_t loaded;
    } cases[] = {
        {-5, 0}, {INT_MIN, 0}, {-1, 0}, {0, 0}, {1, 1}, {999, 999}, {1000, 1000}, {1001, 1000}, {5000, 1000}, {INT_MAX, 1000},
    };
    for (const auto& c : cases) {
        Bytes bytes{};
        const uint32_t bits = static_cast<uint32_t>(c.stored);
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<uint8_t>(bits >> (8 * i));
        SettingsRecord r;
        ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
        EXPECT_EQ(r.volume, c.loaded) << "stored " << c.stored;
    }
}

TEST(SettingsParse, PathFieldWithoutNulIsCutAt259)
{
    // Every path byte set: no field holds a NUL, and the last one ends the file.
    Bytes bytes{};
    std::memset(bytes.data() + 104, 'a', kPathFieldSize);
    std::memset(bytes.data() + 364, 'b', kPathFieldSize);
    std::memset(bytes.data() + 624, 'c', kPathFieldSize);
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
    EXPECT_EQ(PathFieldText(r.playlistFolder), std::string(259, 'a'));
    EXPECT_EQ(PathFieldText(r.trackFolder), std::string(259, 'b'));
    EXPECT_EQ(PathFieldText(r.lastPlaylist), std::string(259, 'c'));
    EXPECT_EQ(std::strlen(r.lastPlaylist), 259u);
}

TEST(SettingsParse, RandomBytesAlwaysGiveAUsableRecord)
{
    std::mt19937 rng(20240611u);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 500; ++round) {
        std::vector<uint8_t> bytes(kSettingsFileSize + round % 3);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(byte(rng));
        SettingsRecord r;
        ASSERT_TRUE(ParseSettings(bytes.data(), bytes.size(), r));
        for (const FlagSlot& f : kFlags)
            ASSERT_LE(r.*f.field, 1);
        ASSERT_GE(r.volume, 0);
        ASSERT_LE(r.volume, 1000);
        ASSERT_TRUE(HasNul(r.playlistFolder) && HasNul(r.trackFolder) && HasNul(r.lastPlaylist));
        // What was loaded saves and loads again unchanged.
        const Bytes once = SerializeSettings(r);
        SettingsRecord again;
        ASSERT_TRUE(ParseSettings(once.data(), once.size(), again));
        ASSERT_EQ(SerializeSettings(again), once);
    }
}

TEST(SettingsPlacement, EmptyNormalRectangleIsNotUsable)
{
    const struct {
        RectImage rc;
        bool usable;
    } cases[] = {
        {{0, 0, 0, 0}, false},
        {{100, 100, 100, 300}, false}, // no width
        {{100, 100, 300, 100}, false}, // no height
        {{300, 100, 100, 300}, false}, // right before left
        {{100, 300, 300, 100}, false}, // bottom above top
        {{INT_MAX, INT_MIN, INT_MIN, INT_MAX}, false},
        {{100, 100, 101, 101}, true},
        {{-1200, -50, -800, 400}, true}, // on a monitor left of the primary one
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true},
    };
    for (const auto& c : cases) {
        WindowPlacementImage p{};
        p.rcNormalPosition = c.rc;
        EXPECT_EQ(PlacementUsable(p), c.usable)
            << c.rc.left << "," << c.rc.top << "," << c.rc.right << "," << c.rc.bottom;
    }
}

TEST(SettingsPathField, SetCutsAt259AndClearsTheRest)
{
    SettingsRecord r{};
    std::memset(r.trackFolder, 'z', kPathFieldSize);
    SetPathField(r.trackFolder, "C:\\x");
    EXPECT_EQ(PathFieldText(r.trackFolder), "C:\\x");
    for (size_t i = 4; i < kPathFieldSize; ++i)
        ASSERT_EQ(r.trackFolder[i], 0) << i;

    const std::string exact(259, 'e');
    SetPathField(r.trackFolder, exact.c_str());
    EXPECT_EQ(PathFieldText(r.trackFolder), exact);

    const std::string tooLong(400, 'L');
    SetPathField(r.trackFolder, tooLong.c_str());
    EXPECT_EQ(PathFieldText(r.trackFolder), std::string(259, 'L'));
    EXPECT_EQ(r.lastPlaylist[0], 0); // the neighbour is untouched

    SetPathField(r.trackFolder, nullptr);
    EXPECT_EQ(PathFieldText(r.trackFolder), "");
}

TEST(SettingsPathField, TextNeverReadsPastTheField)
{
    SettingsRecord r{};
    std::memset(r.playlistFolder, 'p', kPathFieldSize);
    std::memset(r.trackFolder, 't', kPathFieldSize);
    EXPECT_EQ(PathFieldText(r.playlistFolder), std::string(259, 'p'));
}

TEST(SettingsPathField, CutAtLastBackslashGivesTheFolder)
{
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"D:\\Lists\\rock.m3u", "D:\\Lists"},
        {"D:\\rock.m3u", "D:"},
        {"C:\\a\\b\\c\\d.mp3", "C:\\a\\b\\c"},
        {"\\\\server\\share\\x.mp3", "\\\\server\\share"},
        {"D:\\Lists\\", "D:"}, // a backslash in the last place is passed over
        {"rock.m3u", ""},      // no folder in it
        {"\\a", ""},
        {"\\", ""},
        {"a", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SettingsRecord r{};
        std::memset(r.playlistFolder, '#', kPathFieldSize);
        std::memset(r.lastPlaylist, '#', kPathFieldSize);
        SetPathField(r.trackFolder, c.path);
        CutAtLastBackslash(r.trackFolder);
        EXPECT_EQ(PathFieldText(r.trackFolder), c.folder) << c.path;
        EXPECT_EQ(r.playlistFolder[kPathFieldSize - 1], '#');
        EXPECT_EQ(r.lastPlaylist[0], '#');
    }
}

TEST(SettingsPathField, CutAtLastBackslashOnAFieldWithoutNul)
{
    SettingsRecord r{};
    std::memset(r.lastPlaylist, '#', kPathFieldSize);
    std::memset(r.trackFolder, 'x', kPathFieldSize);
    r.trackFolder[200] = '\\';
    r.trackFolder[259] = '\\'; // beyond the 259 characters that count
    CutAtLastBackslash(r.trackFolder);
    EXPECT_EQ(PathFieldText(r.trackFolder), std::string(200, 'x'));
    EXPECT_EQ(r.lastPlaylist[0], '#');

    std::memset(r.trackFolder, 'y', kPathFieldSize);
    CutAtLastBackslash(r.trackFolder);
    EXPECT_EQ(PathFieldText(r.trackFolder), "");
    EXPECT_EQ(r.lastPlaylist[0], '#');
}
