// settings.dat and continue.dat across real closes and starts of the editor in
// one start-up directory: switches, placements, folders and the hidden list come
// back as they were left; damaged files give a usable program that loses nothing.
#include "audio/mci_audio.h"
#include "persist/resume_file.h"
#include "res/resource.h"
#include "support/editor_session.h"

#include <climits>
#include <functional>

using namespace testing_support;

namespace {

class Restarts : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session{L"rs", false};

    CPlayerDlg& Player() { return session->Player(); }
    HWND Item(int id) { return ::GetDlgItem(Player().GetHwnd(), id); }
    void Click(int id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void Put(const wchar_t* name, const std::wstring& bytes) { ASSERT_TRUE(WriteFileBytes(session.File(name), bytes)); }
    void Put(const SettingsRecord& r) { Put(L"settings.dat", [&] { const auto b = SerializeSettings(r); return std::wstring(b.begin(), b.end()); }()); }
    // A record as a run leaves it, the player out under the editor.
    static SettingsRecord Left(const std::wstring& playlist)
    {
        SettingsRecord r{};
        r.repeat = r.playerShown = 1;
        r.volume = 800;
        r.playerPlacement = {44, 0, SW_SHOWNORMAL, {-1, -1}, {-1, -1}, {200, 420, 560, 500}};
        r.editorPlacement = {44, 0, SW_SHOWNORMAL, {-1, -1}, {-1, -1}, {200, 150, 760, 420}};
        SetPathField(r.lastPlaylist, playlist, SystemAnsiCodePage(), nullptr);
        return r;
    }
    static std::wstring LongName(const std::wstring& path)
    {
        wchar_t name[MAX_PATH] = L"";
        return ::GetLongPathNameW(path.c_str(), name, MAX_PATH) ? name : L"";
    }
    bool ShowPlayer() { return Command(session.Hwnd(), IDC_PLAYER_BUTTON), fw::PumpUntil([&] { return Player().GetSlideState() == SlideState::Shown; }, 5000); }
    static std::wstring Five()
    {
        std::wstring m3u;
        for (int i = 1; i <= 5; ++i)
            m3u += FixturePath((L"track" + std::to_wstring(i) + L".mp3").c_str()) + L"\r\n";
        return m3u;
    }
};

TEST_F(Restarts, SwitchesPlacementsAndFoldersComeBack)
{
    const std::wstring lists = session.File(L"\u30ea\u30b9\u30c8"), jazz = lists + L"\\\u30b8\u30e3\u30ba.m3u"; // beyond the code page
    ASSERT_TRUE(session.Start() && ::CreateDirectoryW(lists.c_str(), nullptr) && WriteFileBytes(jazz, "C:\\a.mp3\r\nC:\\b.mp3\r\n"));
    ui.fileAnswers = {FakeUi::Choose(jazz), FakeUi::ChooseMany(L"D:\\Music", {L"x.mp3"})};
    Command(session.Hwnd(), ID_FILE_OPEN);
    Command(session.Hwnd(), IDC_ADD_TRACKS);
    ASSERT_TRUE(ShowPlayer());
    for (int id : {IDC_SHUFFLE, IDC_REPEAT, IDC_ON_TOP})
        Click(id);
    fw::CTrackbar volume(Item(IDC_VOLUME));
    volume.SetPos(700);
    ::SendMessageW(Player().GetHwnd(), WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(volume.GetHwnd()));
    Click(IDC_MUTE);
    session->SetWindowPos(nullptr, 140, 90, 720, 330, SWP_NOZORDER);
    Player().SetWindowPos(nullptr, 700, 650, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT editorAt = session->GetWindowRect(), playerAt = Player().GetWindowRect();
    ::SetCurrentDirectoryW(lists.c_str()); // as a dialog may: the files go where the program started
    EXPECT_FALSE(FileExists(session.File(L"settings.dat"))) << L"written at the close, not before";
    ui.answers = {IDNO};
    ASSERT_TRUE(session.Close());
    EXPECT_TRUE(FileText(session.File(L"settings.dat")).size() == 884 && !FileExists(lists + L"\\settings.dat"));
    SettingsRecord left{};
    EXPECT_TRUE(LoadSettingsFile(session.File(L"settings.dat"), left));
    std::wstring flags;
    for (uint8_t flag : {left.shuffle, left.repeat, left.mute, left.onTop, left.detached, left.playerShown, left.listHidden})
        flags += static_cast<char>(L'0' + flag);
    EXPECT_EQ(flags + L" " + std::to_wstring(left.volume), L"1011110 300") << L"the level from before muting";
    // Stored by their short names, the list's and its folder's.
    const std::string shortName = PathFieldText(left.lastPlaylist);
    EXPECT_TRUE(shortName.find('~') != std::string::npos && shortName.rfind(PathFieldText(left.playlistFolder) + "\\", 0) == 0) << shortName;
    EXPECT_EQ(LongName(PathFieldPath(left.lastPlaylist, SystemAnsiCodePage())), jazz);

    ASSERT_TRUE(session.Start());
    const auto checked = [&](int id) { return fw::CButton(Item(id)).GetCheck() == BST_CHECKED; };
    EXPECT_TRUE(checked(IDC_SHUFFLE) && !checked(IDC_REPEAT) && !Player().Queue().Repeat() && checked(IDC_MUTE));
    EXPECT_TRUE(fw::PumpUntil([&] { return ::GetWindowLongW(Player().GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST; }, 2000));
    volume.Attach(Item(IDC_VOLUME));
    EXPECT_TRUE(Player().Audio().volume == 0 && volume.GetPos() == 1000 && !volume.IsWindowEnabled());
    EXPECT_EQ(session->GetWindowText() + L" " + std::to_wstring(Player().Queue().Count()), L"Zoravel's M3U Editor - \u30b8\u30e3\u30ba.m3u 2");
    const RECT editorNow = session->GetWindowRect(), playerNow = Player().GetWindowRect();
    EXPECT_TRUE(::EqualRect(&editorNow, &editorAt) && ::EqualRect(&playerNow, &playerAt));
    EXPECT_TRUE(Player().GetSlideState() == SlideState::Shown &&
                fw::CButton(::GetDlgItem(session.Hwnd(), IDC_PLAYER_BUTTON)).GetIcon() == fw::LoadAppIcon(IDI_PLAYER_SHOWN));
    Click(IDC_MUTE);
    EXPECT_TRUE(Player().Audio().volume == 300 && volume.GetPos() == 700);
    Command(session.Hwnd(), ID_FILE_OPEN);
    Command(session.Hwnd(), IDC_ADD_TRACKS);
    EXPECT_EQ(LongName(ui.fileDialogs[2].initialDir) + L" " + ui.fileDialogs[3].initialDir, lists + L" D:\\Music");
    Click(IDC_LIST_TOGGLE); // the list hidden with the toggle stays hidden at the next start
    ASSERT_TRUE(session.Close() && session.Start());
    EXPECT_TRUE(Player().IsListHidden() && !session->IsWindowVisible() && Player().IsWindowVisible());
}

std::wstring Ints(std::initializer_list<int32_t> values)
{
    const auto bytes = SerializeResume(static_cast<int>(values.size()), 0, values);
    return std::wstring(bytes.begin() + 8, bytes.end());
}

// Damaged data files: a quiet start with a window to reach, the playlist
// untouched, well-formed files written at the close.
TEST_F(Restarts, DamagedDataFilesGiveAUsableProgram)
{
    using Damage = std::function<void(SettingsRecord&)>;
    const Damage none = [](SettingsRecord&) {};
    const struct { const wchar_t* name; Damage settings; std::wstring raw; std::wstring resume; int tracks; bool docked; } rows[] = {
        {L"both files empty", nullptr, L"", L"", 0, false},
        {L"settings far too long, every byte 0xA5", nullptr, std::wstring(70000, '\xA5'), L"-", 0, false},
        {L"editor far off the screen, list and player hidden", [](SettingsRecord& r) {
             r.editorPlacement = {44, 0, SW_HIDE, {0, 0}, {0, 0}, {40000, 40000, 40600, 40300}};
             r.listHidden = 1;
             r.playerShown = 0;
         }, L"", L"-", 5, false},
        {L"player without a usable place", [](SettingsRecord& r) { r.playerPlacement.rcNormalPosition = {5, 5, 5, 5}; }, L"", L"-", 5, true},
        {L"resume with a huge count", none, L"", Ints({INT_MAX, 0, 4, 3}), 5, false},
        {L"resume with -1 and repeats, a current past the end", none, L"", Ints({6, 9, 3, -1, 3, 9, 1, -7}), 5, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ::DeleteFileW(session.File(L"continue.dat").c_str());
        Put(L"list.m3u", Five());
        SettingsRecord record = Left(session.File(L"list.m3u"));
        if (r.settings) {
            r.settings(record);
            Put(record);
        } else {
            Put(L"settings.dat", r.raw);
        }
        if (r.resume != L"-")
            Put(L"continue.dat", r.resume);
        ASSERT_TRUE(session.Start());
        EXPECT_EQ(session->List().GetCount(), r.tracks);
        EXPECT_TRUE(ui.boxes.empty() && ui.beeps.empty() && QueueInStep(*session.Editor()));
        HWND shown = session->IsWindowVisible() ? session.Hwnd() : Player().IsWindowVisible() ? Player().GetHwnd() : nullptr;
        ASSERT_NE(shown, nullptr) << L"both windows are hidden";
        const RECT at = fw::CWindow(shown).GetWindowRect(), under = session->GetWindowRect(), player = Player().GetWindowRect();
        EXPECT_TRUE(fw::OnVirtualScreen(at.left, at.top, at.right, at.bottom) && at.right - at.left >= 50);
        EXPECT_TRUE(!r.docked || (player.left == under.left && player.top == under.bottom && Player().IsWindowVisible()))
            << L"a shown player without a usable place stands under the editor";
        ASSERT_TRUE(session.Close());
        EXPECT_TRUE(FileText(session.File(L"list.m3u")) == Five() && FileText(session.File(L"settings.dat")).size() == 884);
        EXPECT_EQ(FileText(session.File(L"continue.dat")).size(), 8u + 4u * static_cast<unsigned>(r.tracks));
    }
    // Nothing larger than 32767 pixels is a window of ours, wherever it stands.
    EXPECT_TRUE(fw::OnVirtualScreen(0, 0, 32767, 32767) && !fw::OnVirtualScreen(0, 0, 32768, 9) && !fw::OnVirtualScreen(0, 0, 9, 32768));
}

} // namespace
