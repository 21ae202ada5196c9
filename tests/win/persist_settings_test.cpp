// settings.dat through a real close and a real start: check boxes, volume,
// mute, both placements, the visibility of both windows, the folders and the
// last playlist come back as they were left.
#include "persist_restarts.h"

#include "audio/mci_audio_win.h"
#include "res/resource.h"

#include <gtest/gtest.h>

using namespace persist_tests;
using testing_support::FileExists;
using testing_support::FixturePath;

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + ","
           + std::to_string(r.bottom);
}

RECT NormalRect(HWND hwnd)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(hwnd, &wp);
    return wp.rcNormalPosition;
}

RECT AsRect(const RectImage& r) { return {r.left, r.top, r.right, r.bottom}; }

class SettingsFile : public Restarts {
protected:
    // Shows the player and waits until it has slid out completely.
    void ShowPlayerFully()
    {
        editor->OnPlayerButton();
        ASSERT_TRUE(fw::PumpUntil([this] { return Player().slideState == 0; }, 5000));
    }
};

TEST_F(SettingsFile, DataFilesLandInTheStartUpDirectoryAfterADialogMovedAway)
{
    ScratchDir elsewhere("moved");
    const std::string track = FixturePath("track1.mp3");
    Start();
    ASSERT_NE(editor, nullptr);
    // The real dialog changes the current directory to the chosen folder.
    ui.fileAnswers.push_back([&](OPENFILENAMEA& ofn) {
        ::SetCurrentDirectoryA(elsewhere.Path().c_str());
        return FakeUi::ChooseMany(FolderOf(track), {"track1.mp3", "track2.mp3"})(ofn);
    });
    editor->OnAddTracks();
    ASSERT_EQ(editor->m_list.GetCount(), 2);
    Close();

    EXPECT_EQ(ReadFileBytes(File("settings.dat")).size(), kSettingsFileSize);
    EXPECT_EQ(ReadFileBytes(File("continue.dat")), Int32s({2, -1, 0, 1}));
    EXPECT_FALSE(FileExists(elsewhere.File("settings.dat")));
    EXPECT_FALSE(FileExists(elsewhere.File("continue.dat")));
    // Written through a temporary file that is gone again.
    EXPECT_FALSE(FileExists(File("settings.dat.tmp")));
    EXPECT_FALSE(FileExists(File("continue.dat.tmp")));
    EXPECT_EQ(PathFieldText(StoredSettings().trackFolder), FolderOf(track));

    Start();
    EXPECT_TRUE(editor->m_bSettingsLoaded);
    EXPECT_STREQ(editor->m_szStartDir, dir.Path().c_str());
    EXPECT_EQ(PathFieldText(editor->m_settings.trackFolder), FolderOf(track));
    Close();
}

struct PlayerSetup {
    const char* name;
    bool shuffle;
    bool repeat;
    bool onTop;
    int volume;
};

TEST_F(SettingsFile, CheckBoxesVolumeAndFoldersComeBack)
{
    const PlayerSetup setups[] = {
        {"all on", true, true, true, 250},
        {"all off", false, false, false, 1000},
        {"silent, repeating", false, true, false, 0},
        {"shuffled, on top", true, false, true, 999},
    };
    const std::string playlist = WritePlaylist(FiveTracks());
    for (const PlayerSetup& s : setups) {
        SCOPED_TRACE(s.name);
        ::DeleteFileA(File("settings.dat").c_str());
        Start();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->LoadPlaylist(playlist.c_str(), false));
        ClickCheck(IDC_SHUFFLE, s.shuffle);
        if (Button(IDC_REPEAT) != s.repeat)
            Click(IDC_REPEAT);
        ClickCheck(IDC_ON_TOP, s.onTop);
        DragVolume(s.volume);
        SetPathField(editor->m_settings.playlistFolder, "C:\\Lists");
        SetPathField(editor->m_settings.trackFolder, "D:\\Music\\Rock & Roll");
        Close();

        const SettingsRecord stored = StoredSettings();
        EXPECT_EQ(stored.shuffle, s.shuffle ? 1 : 0);
        EXPECT_EQ(stored.repeat, s.repeat ? 1 : 0);
        EXPECT_EQ(stored.onTop, s.onTop ? 1 : 0);
        EXPECT_EQ(stored.mute, 0);
        EXPECT_EQ(stored.volume, s.volume);
        EXPECT_EQ(stored.playerShown, 0); // never shown in this run
        EXPECT_EQ(stored.listHidden, 0);
        EXPECT_EQ(stored.detached, 0);
        EXPECT_EQ(stored.editorPlacement.length, kWindowPlacementLength);
        EXPECT_EQ(stored.playerPlacement.length, kWindowPlacementLength);
        EXPECT_EQ(PathFieldText(stored.playlistFolder), "C:\\Lists");
        EXPECT_EQ(PathFieldText(stored.trackFolder), "D:\\Music\\Rock & Roll");
        EXPECT_EQ(PathFieldText(stored.lastPlaylist), playlist);

        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->m_bSettingsLoaded);
        EXPECT_EQ(Button(IDC_SHUFFLE), s.shuffle);
        EXPECT_EQ(Button(IDC_REPEAT), s.repeat);
        EXPECT_EQ(Player().m_queue.repeat, s.repeat);
        EXPECT_EQ(Button(IDC_ON_TOP), s.onTop);
        EXPECT_EQ((::GetWindowLongA(Player().GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, s.onTop);
        EXPECT_FALSE(Button(IDC_MUTE));
        EXPECT_EQ(Player().m_volumeLevel, s.volume);
        EXPECT_EQ(Player().m_volume.GetPos(), kMaxVolume - s.volume);
        EXPECT_TRUE(Player().m_volume.IsWindowEnabled());
        EXPECT_EQ(TheAudio().volume, s.volume);
        EXPECT_EQ(editor->m_list.GetCount(), 5);
        EXPECT_TRUE(QueueInStep(*editor));
        // Untouched, the next close writes the same settings back.
        Close();
        const SettingsRecord again = StoredSettings();
        EXPECT_EQ(Bytes(again).substr(0, 12), Bytes(stored).substr(0, 12)) << "flags and volume";
        EXPECT_EQ(again.listHidden, stored.listHidden);
        EXPECT_EQ(Bytes(again).substr(104), Bytes(stored).substr(104)) << "the three paths";
    }
}

TEST_F(SettingsFile, MutedPlayerStoresItsLevelAndStartsMuted)
{
    Start();
    ASSERT_NE(editor, nullptr);
    DragVolume(600);
    ClickCheck(IDC_MUTE, true);
    EXPECT_EQ(TheAudio().volume, 0);
    Close();
    const SettingsRecord stored = StoredSettings();
    EXPECT_EQ(stored.mute, 1);
    EXPECT_EQ(stored.volume, 600);

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(Button(IDC_MUTE));
    EXPECT_EQ(TheAudio().volume, 0);
    EXPECT_EQ(Player().m_volume.GetPos(), kMaxVolume);
    EXPECT_FALSE(Player().m_volume.IsWindowEnabled());
    EXPECT_EQ(Player().m_volumeLevel, 600);
    EXPECT_EQ(fw::CButton(Player().GetDlgItem(IDC_MUTE)).GetIcon(), Player().m_hMutedIcon);

    ClickCheck(IDC_MUTE, false);
    EXPECT_EQ(TheAudio().volume, 600);
    EXPECT_EQ(Player().m_volume.GetPos(), 400);
    EXPECT_TRUE(Player().m_volume.IsWindowEnabled());
    Close();
    EXPECT_EQ(StoredSettings().mute, 0);
    EXPECT_EQ(StoredSettings().volume, 600);
}

TEST_F(SettingsFile, PlayerShownComesBackShown)
{
    Start();
    ASSERT_NE(editor, nullptr);
    ShowPlayerFully();
    Close();
    EXPECT_EQ(StoredSettings().playerShown, 1);

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Player().slideState, 0);
    EXPECT_TRUE(Player().IsWindowVisible());
    EXPECT_TRUE(editor->IsWindowVisible());
    EXPECT_EQ(fw::CButton(editor->GetDlgItem(IDC_PLAYER_BUTTON)).GetIcon(), editor->m_hIconPlayerShown);
    Close();
}

TEST_F(SettingsFile, PlayerCaughtSlidingIsStoredHidden)
{
    for (bool slidingOut : {true, false}) {
        SCOPED_TRACE(slidingOut ? "sliding out" : "sliding in");
        Start();
        ASSERT_NE(editor, nullptr);
        if (!slidingOut)
            ShowPlayerFully();
        editor->OnPlayerButton(); // starts a slide; the close comes before its first step
        ASSERT_EQ(Player().slideState, slidingOut ? 2 : 3);
        Close();
        EXPECT_EQ(StoredSettings().playerShown, 0);

        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(Player().slideState, 1);
        EXPECT_FALSE(Player().IsWindowVisible());
        EXPECT_TRUE(editor->IsWindowVisible());
        EXPECT_EQ(fw::CButton(editor->GetDlgItem(IDC_PLAYER_BUTTON)).GetIcon(), editor->m_hIconPlayerHidden);
        Close();
    }
}

TEST_F(SettingsFile, BothPlacementsComeBack)
{
    Start();
    ASSERT_NE(editor, nullptr);
    ShowPlayerFully();
    editor->SetWindowPos(nullptr, 140, 90, 720, 330, SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    // Dragged well away from its docking place.
    Player().SetWindowPos(nullptr, 700, 650, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    ASSERT_TRUE(Player().detached);
    const RECT editorRect = NormalRect(Hwnd());
    const RECT playerRect = NormalRect(Player().GetHwnd());
    Close();

    const SettingsRecord stored = StoredSettings();
    EXPECT_EQ(stored.detached, 1);
    EXPECT_TRUE(SameRect(AsRect(stored.editorPlacement.rcNormalPosition), editorRect))
        << Text(AsRect(stored.editorPlacement.rcNormalPosition));
    EXPECT_TRUE(SameRect(AsRect(stored.playerPlacement.rcNormalPosition), playerRect))
        << Text(AsRect(stored.playerPlacement.rcNormalPosition));
    EXPECT_EQ(stored.editorPlacement.showCmd, static_cast<uint32_t>(SW_SHOWNORMAL));

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(SameRect(NormalRect(Hwnd()), editorRect)) << Text(NormalRect(Hwnd()));
    EXPECT_TRUE(SameRect(editor->GetWindowRect(), editorRect)) << Text(editor->GetWindowRect());
    EXPECT_TRUE(SameRect(Player().GetWindowRect(), playerRect)) << Text(Player().GetWindowRect());
    EXPECT_TRUE(Player().IsWindowVisible());
    Close();
}

TEST_F(SettingsFile, HiddenListStartsTheEditorHiddenWhateverItsShowCommand)
{
    const UINT showCommands[] = {SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWMINIMIZED, SW_SHOW, SW_HIDE};
    for (UINT showCmd : showCommands) {
        SCOPED_TRACE(showCmd);
        SettingsRecord record = Written("");
        record.listHidden = 1;
        record.editorPlacement.showCmd = showCmd;
        ASSERT_TRUE(WriteFileBytes(File("settings.dat"), Bytes(record)));
        Start();
        ASSERT_NE(editor, nullptr);
        EXPECT_FALSE(editor->IsWindowVisible());
        EXPECT_TRUE(Player().listHidden);
        EXPECT_TRUE(Player().IsWindowVisible());
        EXPECT_EQ(fw::CButton(Player().GetDlgItem(IDC_LIST_TOGGLE)).GetIcon(), Player().m_hListHiddenIcon);
        // The toggle brings the list back.
        Player().OnListToggle();
        EXPECT_TRUE(editor->IsWindowVisible());
        EXPECT_FALSE(Player().listHidden);
        Close();
        EXPECT_EQ(StoredSettings().listHidden, 0);
    }
}

TEST_F(SettingsFile, ListHiddenByTheToggleStaysHiddenAcrossARestart)
{
    Start();
    ASSERT_NE(editor, nullptr);
    ShowPlayerFully();
    Player().OnListToggle();
    ASSERT_FALSE(editor->IsWindowVisible());
    Close();
    const SettingsRecord stored = StoredSettings();
    EXPECT_EQ(stored.listHidden, 1);
    EXPECT_EQ(stored.playerShown, 1);

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->IsWindowVisible());
    EXPECT_TRUE(Player().listHidden);
    EXPECT_TRUE(Player().IsWindowVisible());
    Close();
    EXPECT_EQ(StoredSettings().listHidden, 1);
}

TEST_F(SettingsFile, FileNewKeepsTheLastPlaylistForTheNextStart)
{
    const std::vector<std::string> tracks = FiveTracks();
    const std::string a = WritePlaylist({tracks[0], tracks[1]}, "a.m3u");
    Start();
    ASSERT_NE(editor, nullptr);
    ui.fileAnswers.push_back(FakeUi::Choose(a));
    editor->OnFileOpen();
    ASSERT_EQ(editor->m_list.GetCount(), 2);
    editor->OnFileNew();
    ASSERT_EQ(editor->m_list.GetCount(), 0);
    Close();
    EXPECT_EQ(PathFieldText(StoredSettings().lastPlaylist), a);
    EXPECT_EQ(PathFieldText(StoredSettings().playlistFolder), dir.Path());

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->m_list.GetCount(), 2);
    EXPECT_EQ(editor->m_strFilePath, a);
    EXPECT_EQ(editor->GetWindowText(), "Zoravel's M3U Editor - a.m3u");
    EXPECT_TRUE(QueueInStep(*editor));
    Close();
}

TEST_F(SettingsFile, SaveAsDoesNotChangeTheLastPlaylist)
{
    const std::vector<std::string> tracks = FiveTracks();
    const std::string a = WritePlaylist({tracks[0], tracks[1]}, "a.m3u");
    const std::string b = File("b.m3u");
    Start();
    ASSERT_NE(editor, nullptr);
    ui.fileAnswers.push_back(FakeUi::Choose(a));
    editor->OnFileOpen();
    ui.fileAnswers.push_back(FakeUi::Choose(b));
    ASSERT_TRUE(editor->OnFileSaveAs());
    ASSERT_TRUE(FileExists(b));
    Close();
    EXPECT_EQ(PathFieldText(StoredSettings().lastPlaylist), a);

    // a changes on disk: the next start shows a as it is now, not b.
    WritePlaylist({tracks[4]}, "a.m3u");
    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->m_strFilePath, a);
    ASSERT_EQ(editor->m_list.GetCount(), 1);
    EXPECT_EQ(editor->m_list.GetText(0), tracks[4]);
    Close();
}

TEST_F(SettingsFile, ASavedButNeverLoadedListIsNotReloaded)
{
    const std::string c = File("c.m3u");
    Start();
    ASSERT_NE(editor, nullptr);
    ui.fileAnswers.push_back(FakeUi::ChooseMany(FolderOf(FixturePath("track1.mp3")), {"track1.mp3"}));
    editor->OnAddTracks();
    ui.fileAnswers.push_back(FakeUi::Choose(c));
    ASSERT_TRUE(editor->OnFileSaveAs());
    Close();
    EXPECT_EQ(PathFieldText(StoredSettings().lastPlaylist), "");

    Start();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->m_list.GetCount(), 0);
    EXPECT_EQ(editor->GetWindowText(), "Zoravel's M3U Editor");
    Close();
}

} // namespace
