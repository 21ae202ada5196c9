// Damaged settings.dat and continue.dat: whatever the files hold, the
// program starts quietly, shows a window the user can reach, keeps every
// track of the playlist in the play queue exactly once, and its next close
// writes whole files again.
#include "persist_restarts.h"

#include "audio/mci_audio_win.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>

using namespace persist_tests;

namespace {

using testing_support::RandomBytes;

bool OnVirtualScreen(const RECT& r)
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int bottom = top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return r.left < right && r.right > left && r.top < bottom && r.bottom > top;
}

// Shown, and either minimised (a click on it brings it back) or on the screen
// with a size.
::testing::AssertionResult Usable(HWND hwnd, const char* what)
{
    if (!::IsWindowVisible(hwnd))
        return ::testing::AssertionFailure() << what << " is hidden";
    if (::IsIconic(hwnd))
        return ::testing::AssertionSuccess();
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    if (r.right - r.left < 50 || r.bottom - r.top < 20 || !OnVirtualScreen(r))
        return ::testing::AssertionFailure() << what << " stands at " << r.left << "," << r.top << "," << r.right << ","
                                             << r.bottom;
    return ::testing::AssertionSuccess();
}

class DamagedFiles : public Restarts {
protected:
    void ExpectUsableStart()
    {
        ASSERT_NE(editor, nullptr);
        const bool editorShown = ::IsWindowVisible(Hwnd()) != FALSE;
        const bool playerShown = Player().IsWindowVisible();
        EXPECT_TRUE(editorShown || playerShown) << "both windows are hidden";
        if (editorShown) {
            EXPECT_TRUE(Usable(Hwnd(), "the editor"));
        }
        if (playerShown) {
            EXPECT_TRUE(Usable(Player().GetHwnd(), "the player"));
        }
        EXPECT_TRUE(QueueInStep(*editor));
        EXPECT_FALSE(TheAudio().isPlaying);
        EXPECT_TRUE(ui.beeps.empty()) << ui.beeps.size() << " beeps";
        EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.size() << " message boxes";
        // With no current track nothing is selected; with one, just it.
        const std::vector<int> selected = editor->m_list.GetSelItems();
        const CPlayQueue& queue = Player().m_queue;
        if (queue.HasValidCurrent()) {
            EXPECT_EQ(selected, (std::vector<int>{queue.entries[static_cast<size_t>(queue.current)].listIndex}));
        } else {
            EXPECT_TRUE(selected.empty()) << selected.size() << " items selected";
        }
    }

    // The next close writes whole files that read back.
    void ExpectWholeFilesAfterClose()
    {
        const int count = editor->m_list.GetCount();
        Close();
        const std::string settings = ReadFileBytes(File("settings.dat"));
        SettingsRecord record{};
        EXPECT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(settings.data()), settings.size(), record));
        EXPECT_EQ(settings.size(), kSettingsFileSize);
        EXPECT_EQ(ReadFileBytes(File("continue.dat")).size(), 8 + 4 * static_cast<size_t>(count));
    }
};

struct DamagedSettings {
    const char* name;
    std::function<std::string(const SettingsRecord&)> bytes; // from a good record naming the playlist
    bool loaded;                                             // the settings count as read
    std::function<void(CEditorDlg&)> check;                  // anything beyond the common checks
};

std::string Patched(const SettingsRecord& good, size_t offset, const std::string& with)
{
    std::string bytes = Bytes(good);
    bytes.replace(offset, with.size(), with);
    return bytes;
}

TEST_F(DamagedFiles, SettingsFile)
{
    const DamagedSettings cases[] = {
        {"empty", [](const SettingsRecord&) { return std::string(); }, false, nullptr},
        {"one byte short, both windows hidden",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.listHidden = 1;
             r.playerShown = 0;
             r.editorPlacement.showCmd = SW_HIDE;
             return Bytes(r).substr(0, kSettingsFileSize - 1);
         },
         false, nullptr},
        {"cut in the middle of a placement", [](const SettingsRecord& good) { return Bytes(good).substr(0, 70); }, false,
         nullptr},
        {"random bytes", [](const SettingsRecord&) { return RandomBytes(kSettingsFileSize, 1); }, true, nullptr},
        {"other random bytes", [](const SettingsRecord&) { return RandomBytes(kSettingsFileSize, 77); }, true, nullptr},
        {"long random file", [](const SettingsRecord&) { return RandomBytes(100000, 5); }, true, nullptr},
        {"a good record with trailing bytes", [](const SettingsRecord& good) { return Bytes(good) + RandomBytes(300, 9); },
         true, [](CEditorDlg& e) { EXPECT_EQ(e.m_list.GetCount(), 5); }},
        {"empty editor placement",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement = WindowPlacementImage{};
             return Bytes(r);
         },
         true, [](CEditorDlg& e) { EXPECT_EQ(e.m_list.GetCount(), 5); }},
        {"empty placements everywhere",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement = WindowPlacementImage{};
             r.playerPlacement = WindowPlacementImage{};
             return Bytes(r);
         },
         true, [](CEditorDlg& e) { EXPECT_TRUE(e.m_pPlayer->IsWindowVisible()); }},
        {"placements far off the screen",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement = Placement(SW_SHOWNORMAL, 40000, 40000, 40600, 40300);
             r.playerPlacement = Placement(SW_SHOWNORMAL, -9000, -9000, -8600, -8920);
             return Bytes(r);
         },
         true, nullptr},
        {"huge placement",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement = Placement(SW_SHOWNORMAL, INT_MIN + 1, INT_MIN + 1, INT_MAX, INT_MAX);
             r.playerPlacement = Placement(SW_SHOWNORMAL, -100000, -100000, 100000, 100000);
             return Bytes(r);
         },
         true, nullptr},
        {"hidden show command with the list shown",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement.showCmd = SW_HIDE;
             return Bytes(r);
         },
         true, [](CEditorDlg& e) { EXPECT_TRUE(e.IsWindowVisible()); }},
        {"show command out of range",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.editorPlacement.showCmd = 0xDEADBEEF;
             r.playerPlacement.showCmd = 0xDEADBEEF;
             return Bytes(r);
         },
         true, [](CEditorDlg& e) { EXPECT_TRUE(e.IsWindowVisible()); }},
        {"list hidden and player hidden",
         [](const SettingsRecord& good) {
             SettingsRecord r = good;
             r.listHidden = 1;
             r.playerShown = 0;
             return Bytes(r);
         },
         true, [](CEditorDlg& e) { EXPECT_TRUE(e.IsWindowVisible()); }},
        {"flags other than 0 and 1, volume too high",
         [](const SettingsRecord& good) {
             return Patched(good, 0, std::string("\x07\xFF\x00\x00\x88\x13\x00\x00\x02\x00\x09\x40", 12));
         },
         true,
         [](CEditorDlg& e) {
             EXPECT_EQ(e.m_pPlayer->m_volumeLevel, kMaxVolume) << "the clamped level, kept while muted";
             EXPECT_EQ(TheAudio().volume, 0);
             EXPECT_EQ(fw::CButton(e.m_pPlayer->GetDlgItem(IDC_MUTE)).GetCheck(), BST_CHECKED);
             EXPECT_EQ(fw::CButton(e.m_pPlayer->GetDlgItem(IDC_SHUFFLE)).GetCheck(), BST_CHECKED);
             EXPECT_TRUE(e.m_pPlayer->m_queue.repeat);
             EXPECT_EQ(e.m_pPlayer->slideState, 0);
         }},
        {"negative volume",
         [](const SettingsRecord& good) { return Patched(good, 4, std::string("\xC8\xFF\xFF\xFF", 4)); }, true,
         [](CEditorDlg& e) {
             EXPECT_EQ(e.m_pPlayer->m_volumeLevel, 0);
             EXPECT_EQ(e.m_pPlayer->m_volume.GetPos(), kMaxVolume);
         }},
        {"last playlist without an end",
         [](const SettingsRecord& good) { return Patched(good, 624, std::string(260, 'x')); }, true,
         [](CEditorDlg& e) {
             EXPECT_EQ(PathFieldText(e.m_settings.lastPlaylist), std::string(259, 'x'));
             EXPECT_EQ(e.m_list.GetCount(), 0);
         }},
        {"folders without an end",
         [](const SettingsRecord& good) {
             return Patched(good, 104, std::string(520, '\\'));
         },
         true, [](CEditorDlg& e) { EXPECT_EQ(PathFieldText(e.m_settings.trackFolder).size(), 259u); }},
    };

    const std::string playlist = WritePlaylist(FiveTracks());
    const SettingsRecord good = Written(playlist);
    for (const DamagedSettings& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(File("continue.dat").c_str());
        ASSERT_TRUE(WriteFileBytes(File("settings.dat"), c.bytes(good)));
        ui.beeps.clear();
        ui.boxes.clear();
        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->m_bSettingsLoaded, c.loaded);
        if (!c.loaded) {
            EXPECT_TRUE(editor->IsWindowVisible());
            EXPECT_FALSE(Player().IsWindowVisible());
            EXPECT_EQ(editor->m_list.GetCount(), 0);
            EXPECT_EQ(fw::CButton(editor->GetDlgItem(IDC_PLAYER_BUTTON)).GetIcon(), editor->m_hIconPlayerHidden);
        }
        ExpectUsableStart();
        if (c.check)
            c.check(*editor);
        ExpectWholeFilesAfterClose();
    }
}

struct DamagedResume {
    const char* name;
    std::string bytes;
    std::vector<int> order; // the rebuilt play order over the five tracks
    int current;
};

TEST_F(DamagedFiles, ResumeFile)
{
    const std::vector<int> listOrder{0, 1, 2, 3, 4};
    const DamagedResume cases[] = {
        {"empty", "", listOrder, -1},
        {"shorter than its header", Int32s({5}), listOrder, -1},
        {"header only", Int32s({0, 0}), listOrder, -1},
        {"huge count", Int32s({INT_MAX, 0, 4, 3}), {4, 3, 0, 1, 2}, 0},
        {"count beyond the file, cut mid-entry", Int32s({5, 1, 2, 1}) + "\x03", {2, 1, 0, 3, 4}, 1},
        {"negative count", Int32s({-5, 0, 4, 3, 2, 1, 0}), listOrder, -1},
        {"most negative count", Int32s({INT_MIN, 0, 4}), listOrder, -1},
        {"-1 and repeated entries", Int32s({6, 2, 3, -1, 3, 9, 1, -7}), {3, 1, 0, 2, 4}, 0},
        {"all entries -1", Int32s({5, 0, -1, -1, -1, -1, -1}), listOrder, -1},
        {"current on a -1 entry", Int32s({3, 1, 4, -1, 0}), {4, 0, 1, 2, 3}, -1},
        {"current past the end", Int32s({5, 5, 4, 3, 2, 1, 0}), {4, 3, 2, 1, 0}, -1},
        {"current hugely past the end", Int32s({5, INT_MAX, 4, 3, 2, 1, 0}), {4, 3, 2, 1, 0}, -1},
        {"negative current", Int32s({5, -2, 4, 3, 2, 1, 0}), {4, 3, 2, 1, 0}, -1},
        {"most negative current", Int32s({5, INT_MIN, 4, 3, 2, 1, 0}), {4, 3, 2, 1, 0}, -1},
        {"indexes far out of range", Int32s({3, 0, INT_MAX, INT_MIN, 1000}), listOrder, -1},
        {"random bytes", RandomBytes(64, 3), {}, -2},
        {"long random file", RandomBytes(1 << 16, 4), {}, -2},
    };

    const std::string playlist = WritePlaylist(FiveTracks());
    for (const DamagedResume& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(File("settings.dat"), Bytes(Written(playlist))));
        ASSERT_TRUE(WriteFileBytes(File("continue.dat"), c.bytes));
        ui.beeps.clear();
        ui.boxes.clear();
        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->m_list.GetCount(), 5) << "the playlist came back whole";
        ExpectUsableStart();
        if (c.current != -2) { // -2: only the common checks
            EXPECT_EQ(QueueOrder(*editor), c.order);
            EXPECT_EQ(Player().m_queue.current, c.current);
        }
        ExpectWholeFilesAfterClose();
    }
}

} // namespace
