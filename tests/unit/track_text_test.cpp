// Track text without the file system: how entries resolve from the
// playlist's folder, how Save as rewrites them, and Find in any case.

#include <gtest/gtest.h>

#include <vector>

#include "fake_track_list.h"
#include "playlist/track_find.h"
#include "playlist/track_paths.h"

namespace {

TEST(TrackPathsTest, EntriesResolveFromThePlaylistsFolder)
{
    const struct {
        TrackText entry;
        TrackText folder;
        TrackText path;
    } cases[] = {
        {"x.mp3", "C:\\Lists\\Rock", "C:\\Lists\\Rock\\x.mp3"},
        {"sub/x.mp3", "C:\\Lists\\Rock", "C:\\Lists\\Rock\\sub\\x.mp3"},
        {".\\a\\.\\b\\..\\\\x.mp3", "C:\\Lists\\Rock", "C:\\Lists\\Rock\\a\\x.mp3"},
        {"../../../../x.mp3", "C:\\Lists\\Rock", "C:\\x.mp3"}, // no climbing out of the root
        {"..\\x.mp3", "C:\\", "C:\\x.mp3"},
        {"x.mp3", "C:\\Lists\\", "C:\\Lists\\x.mp3"},
        {"1a:x.mp3", "C:\\L", "C:\\L\\1a:x.mp3"},
        {"\\Music\\x.mp3", "C:\\Lists\\Rock", "C:\\Music\\x.mp3"},
        {"c:x.mp3", "C:\\Lists\\Rock", "C:\\Lists\\Rock\\x.mp3"},
        {"Z:x.mp3", "z:\\L", "z:\\L\\x.mp3"},
        {"D:x.mp3", "C:\\Lists\\Rock", "D:\\x.mp3"},
        {"..\\..\\x.mp3", "\\\\srv\\share\\lists", "\\\\srv\\share\\x.mp3"},
        {"/x.mp3", "//srv/share/lists", "\\\\srv\\share\\x.mp3"},
        {"..\\..\\..\\..\\x.mp3", "lists\\rock", "..\\..\\x.mp3"}, // without a root, what cannot be climbed stays
        {"x.mp3", "lists\\rock", "lists\\rock\\x.mp3"},
        {"\\x.mp3", "lists", "\\x.mp3"},
        // As written: absolute entries, URLs, and any entry of an untitled list.
        {"D:\\a\\..\\x.mp3", "C:\\L", "D:\\a\\..\\x.mp3"},
        {"c:/a/x.mp3", "C:\\L", "c:/a/x.mp3"},
        {"\\\\srv\\s\\..\\x.mp3", "C:\\L", "\\\\srv\\s\\..\\x.mp3"},
        {"http://radio/x.mp3", "C:\\L", "http://radio/x.mp3"},
        {"ab:x", "C:\\L", "ab:x"},
        {"s09:x", "C:\\L", "s09:x"},
        {"..\\x.mp3", "", "..\\x.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveTrackPath(c.entry, c.folder), c.path) << c.entry << " in " << c.folder;
    EXPECT_EQ(FolderOfPath("C:\\Lists\\rock.m3u"), "C:\\Lists");
    EXPECT_EQ(FolderOfPath("C:/Lists/rock.m3u"), "C:/Lists");
    EXPECT_EQ(FolderOfPath("rock.m3u"), "");
}

TEST(TrackPathsTest, SaveAsRewritesEntriesThatDependOnTheFolder)
{
    const CCaseFolding folding;
    const struct {
        TrackText entry;
        TrackText from;
        TrackText to;
        TrackText written;
    } cases[] = {
        {"B\\x", "C:\\A", "C:\\A\\B", "x"},
        {"b/x.mp3", "C:\\A", "c:\\a\\B\\", "x.mp3"},
        {"x.mp3", "C:\\A\\B", "C:\\A", "B\\x.mp3"},
        {"x.mp3", "C:\\A", "C:\\", "A\\x.mp3"},
        {"x.mp3", "\\\\srv\\s\\l", "\\\\srv\\s", "l\\x.mp3"},
        {"\\M\\x.mp3", "C:\\A", "C:\\M", "x.mp3"},
        // Not under the new folder: the full path.
        {"x.mp3", "C:\\A", "C:\\A\\B", "C:\\A\\x.mp3"},
        {"..\\AB\\x.mp3", "C:\\A\\Z", "C:\\A\\A", "C:\\A\\AB\\x.mp3"},
        {"x.mp3", "C:\\A", "D:\\A", "C:\\A\\x.mp3"},
        // Kept as written.
        {"./x.mp3", "C:\\A", "c:\\a\\", "./x.mp3"},
        {"x.mp3", "", "C:\\A", "x.mp3"},
        {"D:\\x.mp3", "C:\\A", "C:\\B", "D:\\x.mp3"},
        {"http://radio/x.mp3", "C:\\A", "C:\\B", "http://radio/x.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RebaseTrackPath(c.entry, c.from, c.to, folding), c.written) << c.entry << " to " << c.to;
}

TEST(TrackFindTest, FindsTheNextItemInAnyCaseGoingRound)
{
    const FakeTrackList list({"C:\\Rock\\Alpha.mp3", "C:\\Jazz\\beta.mp3", "C:\\Rock\\ALPHABET.mp3", "D:\\x\\Gamma.MP3"});
    const CCaseFolding folding;
    const struct {
        TrackText needle;
        int start;
        int found;
    } cases[] = {
        {"alpha", 0, 0},     {"alpha", 1, 2},     {"ALPHA", 3, 0},  {"JAZZ\\B", 2, 1},
        {"mp3", 4, 0},       {"mp3", -3, 0},      {"d:\\x\\gamma.mp3", 0, 3}, {"delta", 2, kTrackNotFound},
        {"", 0, kTrackNotFound}, {"beta.mp3x", 0, kTrackNotFound}, {"rock\\alphabet.mp3", 3, 2},
        {"c:\\jazz", 0, 1},    {"aXpha", 0, kTrackNotFound},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindTrack(list, c.needle, c.start, folding), c.found) << c.needle << " from " << c.start;
    list.textCalls = 0;
    FindTrack(list, "delta", 2, folding);
    EXPECT_EQ(list.textCalls, 4); // each item read once

    // Beyond ASCII the system folds, asked once per unit when the table is made.
    using Unit = CCaseFolding::Unit;
    const Unit upper = static_cast<Unit>(0xC9); // E acute in Windows-1252 and in UTF-16
    const Unit lower = static_cast<Unit>(0xE9);
    int asked = 0;
    const CCaseFolding system([&](Unit u) { return ++asked, u == upper ? lower : u; });
    EXPECT_EQ(asked, sizeof(Unit) == 1 ? 0x80 : 0x10000 - 0x80);
    const FakeTrackList accented({TrackText("C:\\Caf") + lower + ".mp3"});
    EXPECT_EQ(FindTrack(accented, TrackText("CAF") + upper, 0, folding), kTrackNotFound);
    EXPECT_EQ(FindTrack(accented, TrackText("CAF") + upper, 0, system), 0);
}

} // namespace
