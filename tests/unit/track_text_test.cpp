// Track text without the file system: how entries resolve from the
// playlist's folder, how Save as rewrites them, and Find in any case.

#include <gtest/gtest.h>
#include <algorithm>

#include <vector>

#include "fake_track_list.h"
#include "playlist/track_find.h"
#include "playlist/track_paths.h"

namespace {

TEST(TrackPathsTest, EntriesResolveFromThePlaylistsFolder)
{
    const struct { TrackText entry; TrackText folder; TrackText path; } cases[] = {
        {L"x.mp3", L"C:\\Lists\\Rock", L"C:\\Lists\\Rock\\x.mp3"},
        {L"sub/x.mp3", L"C:\\Lists\\Rock", L"C:\\Lists\\Rock\\sub\\x.mp3"},
        {L".\\a\\.\\b\\..\\\\x.mp3", L"C:\\Lists\\Rock", L"C:\\Lists\\Rock\\a\\x.mp3"},
        {L"../../../../x.mp3", L"C:\\Lists\\Rock", L"C:\\x.mp3"}, // no climbing out of the root
        {L"..\\x.mp3", L"C:\\", L"C:\\x.mp3"}, {L"x.mp3", L"C:\\Lists\\", L"C:\\Lists\\x.mp3"},
        {L"1a:x.mp3", L"C:\\L", L"C:\\L\\1a:x.mp3"}, {L"\\Music\\x.mp3", L"C:\\Lists\\Rock", L"C:\\Music\\x.mp3"},
        {L"c:x.mp3", L"C:\\Lists\\Rock", L"C:\\Lists\\Rock\\x.mp3"}, {L"Z:x.mp3", L"z:\\L", L"z:\\L\\x.mp3"},
        {L"D:x.mp3", L"C:\\Lists\\Rock", L"D:\\x.mp3"},
        {L"..\\..\\x.mp3", L"\\\\srv\\share\\lists", L"\\\\srv\\share\\x.mp3"},
        {L"/x.mp3", L"//srv/share/lists", L"\\\\srv\\share\\x.mp3"},
        {L"..\\..\\..\\..\\x.mp3", L"lists\\rock", L"..\\..\\x.mp3"}, // without a root, what cannot be climbed stays
        {L"x.mp3", L"lists\\rock", L"lists\\rock\\x.mp3"}, {L"\\x.mp3", L"lists", L"\\x.mp3"},
        // As written: absolute entries, URLs, and any entry of an untitled list.
        {L"D:\\a\\..\\x.mp3", L"C:\\L", L"D:\\a\\..\\x.mp3"}, {L"c:/a/x.mp3", L"C:\\L", L"c:/a/x.mp3"},
        {L"\\\\srv\\s\\..\\x.mp3", L"C:\\L", L"\\\\srv\\s\\..\\x.mp3"},
        {L"http://radio/x.mp3", L"C:\\L", L"http://radio/x.mp3"},
        {L"ab:x", L"C:\\L", L"ab:x"}, {L"s09:x", L"C:\\L", L"s09:x"},
        {L"..\\x.mp3", L"", L"..\\x.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveTrackPath(c.entry, c.folder), c.path) << c.entry << L" in " << c.folder;
    EXPECT_EQ(FolderOfPath(L"C:\\Lists\\rock.m3u"), L"C:\\Lists");
    EXPECT_EQ(FolderOfPath(L"C:/Lists/rock.m3u"), L"C:/Lists");
    EXPECT_EQ(FolderOfPath(L"rock.m3u"), L"");
}

TEST(TrackPathsTest, SaveAsRewritesEntriesThatDependOnTheFolder)
{
    const CCaseFolding folding;
    const struct { TrackText entry; TrackText from; TrackText to; TrackText written; } cases[] = {
        {L"B\\x", L"C:\\A", L"C:\\A\\B", L"x"}, {L"b/x.mp3", L"C:\\A", L"c:\\a\\B\\", L"x.mp3"},
        {L"x.mp3", L"C:\\A\\B", L"C:\\A", L"B\\x.mp3"}, {L"x.mp3", L"C:\\A", L"C:\\", L"A\\x.mp3"},
        {L"x.mp3", L"\\\\srv\\s\\l", L"\\\\srv\\s", L"l\\x.mp3"}, {L"\\M\\x.mp3", L"C:\\A", L"C:\\M", L"x.mp3"},
        // Not under the new folder: the full path.
        {L"x.mp3", L"C:\\A", L"C:\\A\\B", L"C:\\A\\x.mp3"},
        {L"..\\AB\\x.mp3", L"C:\\A\\Z", L"C:\\A\\A", L"C:\\A\\AB\\x.mp3"}, {L"x.mp3", L"C:\\A", L"D:\\A", L"C:\\A\\x.mp3"},
        // Kept as written.
        {L"./x.mp3", L"C:\\A", L"c:\\a\\", L"./x.mp3"}, {L"x.mp3", L"", L"C:\\A", L"x.mp3"},
        {L"D:\\x.mp3", L"C:\\A", L"C:\\B", L"D:\\x.mp3"},
        {L"http://radio/x.mp3", L"C:\\A", L"C:\\B", L"http://radio/x.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RebaseTrackPath(c.entry, c.from, c.to, folding), c.written) << c.entry << L" to " << c.to;
}

TEST(TrackFindTest, FindsTheNextItemInAnyCaseGoingRound)
{
    const FakeTrackList list({L"C:\\Rock\\Alpha.mp3", L"C:\\Jazz\\beta.mp3", L"C:\\Rock\\ALPHABET.mp3", L"D:\\x\\Gamma.MP3"});
    const CCaseFolding folding;
    const struct { TrackText needle; int start; int found; } cases[] = {
        {L"alpha", 0, 0},     {L"alpha", 1, 2},     {L"ALPHA", 3, 0},  {L"JAZZ\\B", 2, 1},
        {L"mp3", 4, 0},       {L"mp3", -3, 0},      {L"d:\\x\\gamma.mp3", 0, 3}, {L"delta", 2, kTrackNotFound},
        {L"", 0, kTrackNotFound}, {L"beta.mp3x", 0, kTrackNotFound}, {L"rock\\alphabet.mp3", 3, 2},
        {L"c:\\jazz", 0, 1},    {L"aXpha", 0, kTrackNotFound},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindTrack(list, c.needle, c.start, folding), c.found) << c.needle << L" from " << c.start;
    list.textCalls = 0;
    FindTrack(list, L"delta", 2, folding);
    EXPECT_EQ(list.textCalls, 4); // each item read once

    // Beyond ASCII the system folds, asked once for every unit when the table is made.
    using Unit = CCaseFolding::Unit;
    const Unit upper = static_cast<Unit>(0xC9); // E acute in Windows-1252 and in UTF-16
    const Unit lower = static_cast<Unit>(0xE9);
    std::vector<size_t> asked; // the first unit and the count of each call
    const CCaseFolding system([&](Unit* units, size_t count) {
        asked.insert(asked.end(), {size_t(units[0]), count});
        std::replace(units, units + count, upper, lower);
    });
    EXPECT_EQ(asked, (std::vector<size_t>{0x80, sizeof(Unit) == 1 ? 0x80u : 0x10000u - 0x80}));
    const FakeTrackList accented({TrackText(L"C:\\Caf") + lower + L".mp3"});
    EXPECT_EQ(FindTrack(accented, TrackText(L"CAF") + upper, 0, folding), kTrackNotFound);
    EXPECT_EQ(FindTrack(accented, TrackText(L"CAF") + upper, 0, system), 0);
}

} // namespace
