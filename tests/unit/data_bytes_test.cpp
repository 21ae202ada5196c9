// settings.dat as bytes: a known record written out by hand, damaged
// records, placements and folders; continue.dat. (Random input: tests/fuzz.)
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "persist/resume_file.h"
#include "persist/settings_record.h"
#include "playlist/text_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Record = std::array<uint8_t, kSettingsFileSize>;

Bytes Ints(std::initializer_list<int32_t> values)
{
    Bytes b;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return b;
}

// Neighbouring flags alternate, so that a field written one byte off shows.
SettingsRecord Known()
{
    SettingsRecord r{};
    r.shuffle = r.onTop = r.playerShown = r.listHidden = 1;
    r.volume = 750;
    r.playerPlacement = {44, 0, 1, {-1, -1}, {-1, -1}, {100, 590, 420, 690}};
    r.editorPlacement = {44, 2, 3, {-32000, -32000}, {-8, -8}, {100, 100, 420, 580}};
    SetPathField(r.playlistFolder, "D:\\Lists");
    SetPathField(r.trackFolder, "C:\\Music\\Rock");
    SetPathField(r.lastPlaylist, "D:\\Lists\\rock.m3u");
    return r;
}

Record KnownBytes()
{
    Bytes head = {1, 0, 0, 0, 0xEE, 0x02, 0, 0, 0, 1, 0, 1}; // shuffle, repeat, reserved, volume 750, mute, on top, detached, shown
    for (const Bytes& part : {Ints({44, 0, 1, -1, -1, -1, -1, 100, 590, 420, 690}), Bytes{1, 0, 0, 0}, // list hidden, reserved
                              Ints({44, 2, 3, -32000, -32000, -8, -8, 100, 100, 420, 580})})
        head.insert(head.end(), part.begin(), part.end());
    Record b{};
    std::copy(head.begin(), head.end(), b.begin());
    std::memcpy(b.data() + 104, "D:\\Lists", 8);
    std::memcpy(b.data() + 364, "C:\\Music\\Rock", 13);
    std::memcpy(b.data() + 624, "D:\\Lists\\rock.m3u", 17);
    return b;
}

TEST(SettingsBytes, AKnownRecordBothWaysAndDamagedOnesReadUsable)
{
    EXPECT_EQ(SerializeSettings(Known()), KnownBytes());
    // Reserved bytes are read as nothing and written as zero; what follows a
    // field's NUL is kept, as a record loaded, edited and saved again keeps it;
    // only 884 bytes are read.
    Record bytes = KnownBytes(), expected = KnownBytes();
    for (size_t offset : {2u, 3u, 57u, 58u, 59u})
        bytes[offset] = 0xAB;
    std::memcpy(bytes.data() + 113, "stale", 5);
    std::memcpy(expected.data() + 113, "stale", 5);
    Bytes longer(bytes.begin(), bytes.end());
    longer.resize(kSettingsFileSize + 100, 0xFF);
    SettingsRecord r;
    ASSERT_TRUE(ParseSettings(longer.data(), longer.size(), r));
    EXPECT_EQ(SerializeSettings(r), expected);
    EXPECT_EQ(PathFieldText(r.lastPlaylist) + " " + std::to_string(r.volume), "D:\\Lists\\rock.m3u 750");
    for (size_t size : {size_t{0}, size_t{7}, kSettingsFileSize - 1}) { // short counts as missing, all zero
        r = Known();
        EXPECT_FALSE(ParseSettings(longer.data(), size, r) || SerializeSettings(r) != Record{} || ParseSettings(nullptr, kSettingsFileSize, r)) << size;
    }

    // Any non-zero flag byte reads as set and is written as 1; the volume is
    // held to 0..1000; a path field without a NUL is cut at 259 characters.
    const size_t flags[] = {0, 1, 8, 9, 10, 11, 56};
    for (uint8_t value : {uint8_t{2}, uint8_t{0x80}, uint8_t{255}})
        for (size_t f : flags) {
            Record one{};
            one[f] = value;
            ASSERT_TRUE(ParseSettings(one.data(), one.size(), r));
            one[f] = 1;
            EXPECT_EQ(SerializeSettings(r), one) << int(value) << " at " << f;
        }
    for (auto v : {std::make_pair(INT_MIN, 0), {-1, 0}, {0, 0}, {1, 1}, {1000, 1000}, {1001, 1000}, {INT_MAX, 1000}}) {
        Record one{};
        const Bytes four = Ints({v.first});
        std::copy(four.begin(), four.end(), one.begin() + 4);
        ASSERT_TRUE(ParseSettings(one.data(), one.size(), r));
        EXPECT_EQ(r.volume, v.second) << v.first;
    }
    Record full{};
    std::memset(full.data() + 104, 'a', 3 * kPathFieldSize);
    ASSERT_TRUE(ParseSettings(full.data(), full.size(), r));
    EXPECT_EQ(PathFieldText(r.playlistFolder), std::string(259, 'a'));
    EXPECT_EQ(std::strlen(r.lastPlaylist), 259u);
    std::memset(r.trackFolder, 'x', kPathFieldSize); // the writer cuts too
    const Record out = SerializeSettings(r);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()) + 364 + 258, 3), std::string("x\0a", 3));
}

// A placement needs a rectangle with width and height; a folder is cut at
// the last backslash before the final character, within the 259 that count;
// a path's bytes in the code page, or its short name's.
TEST(SettingsFields, PlacementsFoldersAndPaths)
{
    const std::pair<RectImage, bool> rects[] = {
        {{100, 100, 100, 300}, false}, {{100, 100, 300, 100}, false}, {{300, 100, 100, 300}, false}, {{INT_MAX, INT_MIN, INT_MIN, INT_MAX}, false},
        {{100, 100, 101, 101}, true}, {{-1200, -50, -800, 400}, true}, {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true},
    };
    for (const auto& c : rects) {
        WindowPlacementImage p{};
        p.rcNormalPosition = c.first;
        EXPECT_EQ(PlacementUsable(p), c.second) << c.first.left << "," << c.first.top << "," << c.first.right << "," << c.first.bottom;
    }
    SettingsRecord r{};
    for (auto c : {std::make_pair("D:\\Lists\\rock.m3u", "D:\\Lists"), {"D:\\Lists\\", "D:"}, {"\\a", ""}, {"rock.m3u", ""}}) {
        SetPathField(r.trackFolder, c.first);
        CutAtLastBackslash(r.trackFolder);
        EXPECT_EQ(PathFieldText(r.trackFolder), c.second) << c.first;
    }
    std::memset(r.trackFolder, 'x', kPathFieldSize);
    r.trackFolder[200] = r.trackFolder[259] = '\\';
    CutAtLastBackslash(r.trackFolder);
    EXPECT_EQ(PathFieldText(r.trackFolder), std::string(200, 'x'));
    // A path the code page cannot hold is stored by its short name when that
    // fits the code page and the field, else not at all: never a changed name.
    // A path it holds keeps it, short name or not; 260 characters are too many.
    const CWindows1252 k1252;
    const std::wstring cafe = L"C:\\Caf\u00e9\\x.m3u", japanese = L"C:\\\u65e5\u672c\\x.m3u", fits259 = L"C:\\" + std::wstring(256, L'a');
    const struct { std::wstring path, shortName; std::string stored; } rows[] = {
        {cafe, L"C:\\CAFE~1\\x.m3u", "C:\\Caf\xe9\\x.m3u"}, {japanese, L"C:\\A0B1~1\\x.m3u", "C:\\A0B1~1\\x.m3u"},
        {japanese, L"", ""}, {japanese, L"C:\\\u65e5~1\\x.m3u", ""}, {fits259, L"", std::string(fits259.begin(), fits259.end())},
        {fits259 + L"b", L"C:\\AAAA~1", "C:\\AAAA~1"}, {fits259 + L"b", L"C:\\" + std::wstring(257, L'a'), ""},
        {L"C:\\\u20ac\\x", L"", "C:\\\x80\\x"}, {std::wstring(L"C:\\a\0b", 6), L"", ""}, {L"", L"C:\\X", ""},
    };
    for (const auto& row : rows) {
        std::memset(r.lastPlaylist, 'z', kPathFieldSize);
        SetPathField(r.lastPlaylist, row.path, k1252, [&](const std::wstring& path) { return path == row.path ? row.shortName : L"?"; });
        EXPECT_EQ(PathFieldText(r.lastPlaylist), row.stored) << row.stored;
        EXPECT_EQ(std::count(r.lastPlaylist + row.stored.size(), r.lastPlaylist + kPathFieldSize, '\0'), kPathFieldSize - row.stored.size());
        EXPECT_TRUE((!row.stored.empty() && !row.shortName.empty()) || PathFieldPath(r.lastPlaylist, k1252) == (row.stored.empty() ? L"" : row.path));
    }
}

// continue.dat: the count, the current position, the play order; rebuilt over
// the reloaded list with the stored order first. (The rest: tests/fuzz.)
TEST(ResumeBytes, AStoredOrderReadAndRebuilt)
{
    const Bytes stored = SerializeResume(3, 0, {3, 0, 4});
    ResumeData d;
    ASSERT_TRUE(stored == Ints({3, 0, 3, 0, 4}) && ParseResume(stored.data(), stored.size(), d) && d.order == (std::vector<int>{3, 0, 4}));
    const ResumePlan plan = RebuildPlayOrder(d, 5);
    EXPECT_TRUE(plan.order == (std::vector<int>{3, 0, 4, 1, 2}) && plan.current == 0);
}

} // namespace
