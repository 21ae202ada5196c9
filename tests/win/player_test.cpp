// The player inside the real editor, playing generated MP3 tones through
// Wine's MCI: transport and its refusals, the end of a track, the switches,
// texts, tooltips and the title's marquee; docking, sliding, the top row and
// the tray icon.
// NoDecoder runs apart, with GStreamer hidden from Wine.
#include "audio/mci_audio.h"
#include "player/marquee.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "tray/tray_icon.h"
#include "tray/tray_seam.h"

#include <mmsystem.h>

using namespace testing_support;

namespace {

// What the tray icon tells the shell, through its seam.
std::vector<std::pair<DWORD, NOTIFYICONDATAW>> g_notes;
BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAW data) { return g_notes.emplace_back(message, *data), TRUE; }

class Player : public ::testing::Test {
protected:
    tray::NotifyIconFn previous = (g_notes.clear(), tray::SetNotifyIcon(&Record));
    FakeUi ui;
    EditorSession session;
    CPlayerDlg& player = session->Player();
    CMciAudio& audio = player.Audio();
    HWND hwnd = player.GetHwnd();
    void TearDown() override
    {
        session.Destroy();
        EXPECT_EQ(g_notes.back().first, static_cast<DWORD>(NIM_DELETE));
        tray::SetNotifyIcon(previous);
    }
    void Load(std::vector<std::wstring> tones)
    {
        std::transform(tones.begin(), tones.end(), tones.begin(), [](auto& tone) { return FixturePath(tone.c_str()); });
        ASSERT_TRUE(LoadTracks(session, tones));
    }
    void DoubleClick(int item) { session->List().SetCaretIndex(item), Command(session.Hwnd(), IDC_TRACK_LIST, LBN_DBLCLK); }
    void Click(int id) { ::SendMessageW(::GetDlgItem(hwnd, id), BM_CLICK, 0, 0); } // a check box changes first
    bool Show() { return Command(session.Hwnd(), IDC_PLAYER_BUTTON), fw::PumpUntil([&] { return player.GetSlideState() == SlideState::Shown; }, 5000); }
    bool Face(int id, int icon) const { return fw::CButton(::GetDlgItem(hwnd, id)).GetIcon() == fw::LoadAppIconSmall(icon); }
    bool On(int id) const { return ::IsWindowEnabled(::GetDlgItem(hwnd, id)) != FALSE; }
    std::wstring Counter() const { return Text(hwnd, IDC_TRACK_COUNTER) + L" | " + Text(hwnd, IDC_TOTAL_TIME); }
    // What the tooltip control is told for a control, a string resource read.
    std::wstring Tip(int id)
    {
        NMTTDISPINFOW info{};
        info.hdr = {hwnd, reinterpret_cast<UINT_PTR>(::GetDlgItem(hwnd, id)), TTN_NEEDTEXTW};
        info.uFlags = TTF_IDISHWND;
        ::SendMessageW(hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        wchar_t text[256] = L"";
        if (info.hinst)
            ::LoadStringW(fw::AppInstance(), static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), text, 256);
        return info.hinst ? text : info.lpszText ? info.lpszText : L"";
    }
};

TEST_F(Player, TransportAndItsRefusals)
{
    fw::CTrackbar position(::GetDlgItem(hwnd, IDC_POSITION));
    const auto noTrack = [&] { return position.GetRangeMin() == 0 && position.GetRangeMax() == 0 && !On(IDC_POSITION); };
    EXPECT_TRUE(Face(IDC_PLAY_PAUSE, IDI_PLAY) && fw::CButton(::GetDlgItem(hwnd, IDC_REPEAT)).GetCheck() == BST_CHECKED && noTrack());
    player.OnPlayPause();
    EXPECT_FALSE(audio.isOpen) << L"an empty queue plays nothing";
    Load({L"tone8s.mp3", L"tone5s.mp3", L"tone3s.mp3"});
    player.OnPlayPause(); // nothing current: the first of the play order
    EXPECT_TRUE(audio.isPlaying && Face(IDC_PLAY_PAUSE, IDI_PAUSE) && On(IDC_STOP) && On(IDC_POSITION) && On(IDC_NEXT) && !On(IDC_PREVIOUS));
    EXPECT_EQ(Counter() + L" " + std::to_wstring(session->List().GetSelItems().at(0)), L"1 of 3 | Total: 00:08 0");
    player.OnPlayPause();
    player.OnPrevious();
    EXPECT_TRUE(audio.isPaused && Face(IDC_PLAY_PAUSE, IDI_PLAY) && ui.beeps == std::vector<UINT>{1}) << L"Previous refuses at the first";
    player.OnPlayPause();
    EXPECT_TRUE(!audio.isPaused && Face(IDC_PLAY_PAUSE, IDI_PAUSE));
    // Stop keeps the track open; Play then starts from the thumb.
    Click(IDC_STOP);
    EXPECT_TRUE(audio.isOpen && !audio.isPlaying && !On(IDC_STOP) && Face(IDC_PLAY_PAUSE, IDI_PLAY) && position.GetPos() == position.GetRangeMin());
    position.SetPos(4000);
    ::SendMessageW(hwnd, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(position.GetHwnd()));
    EXPECT_EQ(Text(hwnd, IDC_CURRENT_TIME), L"Current: 00:04");
    player.OnPlayPause();
    EXPECT_GE(audio.GetPosition(), 3800);
    // Next plays on; stopped, it only moves; at the end of the order it refuses.
    player.OnNext();
    EXPECT_TRUE(audio.isPlaying && On(IDC_PREVIOUS) && On(IDC_NEXT) && Counter() == L"2 of 3 | Total: 00:05");
    Click(IDC_STOP);
    player.OnNext();
    player.OnNext();
    EXPECT_TRUE(!audio.isPlaying && !On(IDC_NEXT) && ui.beeps == (std::vector<UINT>{1, 1}));
    EXPECT_EQ(Counter(), L"3 of 3 | Total: 00:03");
    player.OnPlayPause();
    player.OnPlayPause();
    Click(IDC_FAST_FORWARD); // resumes a paused track, with the pause face
    EXPECT_TRUE(audio.isPlaying && !audio.isPaused && Face(IDC_PLAY_PAUSE, IDI_PAUSE) && ui.beeps.size() == 2);
    Command(session.Hwnd(), ID_FILE_NEW);
    EXPECT_TRUE(noTrack() && !audio.isOpen);
}

TEST_F(Player, TheEndOfATrackStartsTheNextOrStopsWithoutRepeat)
{
    Load({L"tone1s.mp3", L"tone1s.mp3"});
    player.OnPlayPause();
    ASSERT_TRUE(fw::PumpUntil([&] { return player.Queue().Current() == 1; }, 4000)) << L"the next track did not follow";
    EXPECT_TRUE(audio.isPlaying && session->List().GetSelItems() == std::vector<int>{1});
    Click(IDC_REPEAT);
    ASSERT_TRUE(fw::PumpUntil([&] { return !ui.beeps.empty(); }, 4000));
    EXPECT_EQ(ui.beeps, std::vector<UINT>{0}) << L"the end of the queue beeps once and stops";
    EXPECT_TRUE(player.Queue().Current() == 1 && !audio.isPlaying && Face(IDC_PLAY_PAUSE, IDI_PLAY) && !On(IDC_STOP));
}

// The volume bar is upside down: thumb 250 is level 750, which muting keeps.
TEST_F(Player, MuteVolumeShuffleTimesAndTooltips)
{
    fw::CTrackbar volume(::GetDlgItem(hwnd, IDC_VOLUME));
    volume.SetPos(250);
    ::SendMessageW(hwnd, WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(volume.GetHwnd()));
    EXPECT_EQ(std::to_wstring(audio.volume) + L" " + Tip(IDC_VOLUME) + L" " + Tip(IDC_MUTE), L"750 Volume: 75.0 Mute");
    Click(IDC_MUTE);
    EXPECT_TRUE(audio.volume == 0 && volume.GetPos() == 1000 && !volume.IsWindowEnabled() && Face(IDC_MUTE, IDI_MUTED));
    EXPECT_EQ(Tip(IDC_VOLUME) + L" " + Tip(IDC_MUTE) + L" " + std::to_wstring(player.Settings().volume), L"Volume: 0.0 Unmute 750");
    Click(IDC_MUTE);
    EXPECT_TRUE(audio.volume == 750 && volume.GetPos() == 250 && volume.IsWindowEnabled() && Face(IDC_MUTE, IDI_UNMUTED));
    Click(IDC_SHUFFLE);
    Click(IDC_SHUFFLE);
    EXPECT_EQ(ui.beeps, (std::vector<UINT>{0, 0})) << L"nothing to shuffle";
    Load({L"track1.mp3", L"track2.mp3", L"track3.mp3", L"track4.mp3", L"track5.mp3"});
    Click(IDC_SHUFFLE);
    DoubleClick(3);
    EXPECT_NE(player.Queue().PlayOrder(), (std::vector<int>{0, 1, 2, 3, 4})) << L"shuffled: the first place always changes";
    Click(IDC_SHUFFLE); // off while item 3 plays: list order, item 3 current
    EXPECT_EQ(player.Queue().PlayOrder(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Counter(), L"4 of 5 | Total: 00:02");
    EXPECT_EQ(Tip(IDC_PREVIOUS) + L"|" + Tip(IDC_NEXT) + L"|" + Tip(IDC_PLAY_PAUSE), L"track3.mp3|track5.mp3|Pause"); // (under a real hover: modal_test.cpp)
    EXPECT_EQ(FormatTime(-1) + L" " + FormatTime(3599999) + L" " + FormatTime(3725000), L"00:00 59:59 1:02:05");
    MarqueeState marquee; // a title wider than its place moves a character a tick; a new track starts at its first
    const auto width = [](int from) { return (6 - from) * 10; };
    MarqueeFirstPaint(marquee, 4);
    EXPECT_TRUE(MarqueeNextOffset(marquee, 4, 6, 35, width) == 0 && MarqueeNextOffset(marquee, 4, 6, 35, width) == 1 && MarqueeNextOffset(marquee, 5, 6, 35, width) == 0);
    marquee.text = L"ab\U0001F3B5cd"; // it steps over both halves of an emoji, both ways
    std::wstring steps;
    for (int i = 0; i < 6; ++i)
        steps += std::to_wstring(MarqueeNextOffset(marquee, 5, 6, 35, width));
    EXPECT_EQ(steps, L"012421");
}

TEST_F(Player, RemovingThePlayingTrackStartsTheOneBehindIt)
{
    Load({L"tone5s.mp3", L"tone3s.mp3", L"tone8s.mp3", L"tone2s.mp3"});
    DoubleClick(1);
    const auto remove = [&](int item) {
        session->List().SetSel(-1, false);
        session->List().SetSel(item, true);
        ui.answers = {IDYES};
        Command(session.Hwnd(), IDC_REMOVE);
        return Counter();
    };
    EXPECT_EQ(remove(0), L"1 of 3 | Total: 00:03") << L"an earlier track went: the counter follows";
    EXPECT_EQ(remove(0), L"1 of 2 | Total: 00:08") << L"the next one moved up and plays";
    EXPECT_TRUE(audio.isPlaying && session->List().GetSelItems() == std::vector<int>{0});
    EXPECT_EQ(remove(1), L"1 of 2 | Total: 00:08") << L"a track that does not play goes quietly";
    EXPECT_TRUE(audio.isPlaying && ui.beeps.empty());
}

// Docked, the player's top left is the editor's bottom left. Only the user's
// drag of more than 60 pixels tears it away; the editor's next move brings
// back one dragged to within 60 pixels again.
TEST_F(Player, DockingSlidingAndTheDragDistance)
{
    const auto docked = [&] { return player.GetWindowRect().left == session->GetWindowRect().left && player.GetWindowRect().top == session->GetWindowRect().bottom; };
    const auto button = [&](int icon) { return fw::CButton(::GetDlgItem(session.Hwnd(), IDC_PLAYER_BUTTON)).GetIcon() == fw::LoadAppIcon(icon); };
    EXPECT_TRUE(player.GetSlideState() == SlideState::Hidden && !player.IsWindowVisible() && button(IDI_PLAYER_HIDDEN));
    Command(session.Hwnd(), IDC_PLAYER_BUTTON);
    const int top = player.GetWindowRect().top;
    player.SlideStep();
    EXPECT_TRUE(player.GetWindowRect().top == top + 10 && button(IDI_PLAYER_SHOWN)) << L"10 pixels a step";
    Command(session.Hwnd(), IDC_PLAYER_BUTTON);
    EXPECT_EQ(player.GetSlideState(), SlideState::SlidingOut) << L"a slide is never interrupted";
    ASSERT_TRUE(fw::PumpUntil([&] { return player.GetSlideState() == SlideState::Shown; }, 5000));
    session->SetWindowPos(nullptr, 150, 120, 600, 300, SWP_NOZORDER);
    session->ShowWindow(SW_MAXIMIZE);
    EXPECT_TRUE(docked() && player.IsWindowVisible()) << L"moved, resized and maximised, the editor takes it along";
    session->ShowWindow(SW_RESTORE);
    const RECT a = session->GetWindowRect();
    for (auto d : {std::make_tuple(60, 0, false), {61, 0, true}, {60, -60, true}, {-59, 59, false}, {-61, 0, true}}) {
        player.SetWindowPos(nullptr, a.left + std::get<0>(d), a.bottom + std::get<1>(d), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_EQ(player.IsDetached(), std::get<2>(d)) << std::get<0>(d) << L"," << std::get<1>(d);
    }
    session->SetWindowPos(nullptr, a.left + 30, a.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(player.GetWindowRect().left, a.left - 61) << L"a detached player stays where it was dragged";
    player.SetWindowPos(nullptr, a.left + 35, a.bottom + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    session->SetWindowPos(nullptr, a.left + 40, a.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(docked()) << L"back within the distance, it snaps into place at the editor's next move";
    // Hiding a detached player puts it back first; hidden, it rests behind the editor.
    player.SetWindowPos(nullptr, 700, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Command(session.Hwnd(), IDC_PLAYER_BUTTON);
    EXPECT_TRUE(!player.IsDetached() && player.GetWindowRect().left == session->GetWindowRect().left);
    ASSERT_TRUE(fw::PumpUntil([&] { return player.GetSlideState() == SlideState::Hidden; }, 5000));
    EXPECT_TRUE(player.GetWindowRect().bottom == session->GetWindowRect().bottom && !player.IsWindowVisible() && button(IDI_PLAYER_HIDDEN));
}

TEST_F(Player, TheTopRowListToggleAndToTray)
{
    ASSERT_TRUE(Show()); // (On Top: tests/win/restarts_test.cpp)
    // The list toggle hides the editor and moves the title 20 pixels aside for
    // the close and to-tray buttons; toggled back, the row is as it was.
    const auto row = [&] {
        std::wstring seen;
        for (int id : {IDC_TITLE, IDC_LIST_TOGGLE, IDC_CLOSE, IDC_TO_TRAY}) {
            RECT r = fw::CWindow(::GetDlgItem(hwnd, id)).GetWindowRect();
            player.ScreenToClient(r);
            seen += std::to_wstring(r.left) + (::IsWindowVisible(::GetDlgItem(hwnd, id)) ? L" " : L"(hidden) ");
        }
        return seen;
    };
    const std::wstring shown = row();
    Click(IDC_LIST_TOGGLE);
    EXPECT_TRUE(player.IsListHidden() && !session->IsWindowVisible() && Face(IDC_LIST_TOGGLE, IDI_LIST_HIDDEN));
    EXPECT_TRUE(shown.rfind(L"0 ", 0) == 0 && row().rfind(L"20 ", 0) == 0 && row().find(L"hidden") == std::wstring::npos) << shown << L"| " << row();
    Click(IDC_LIST_TOGGLE);
    EXPECT_TRUE(!player.IsListHidden() && session->IsWindowVisible() && Face(IDC_LIST_TOGGLE, IDI_LIST_SHOWN) && row() == shown);
    Click(IDC_LIST_TOGGLE);
    Click(IDC_TO_TRAY);
    EXPECT_TRUE(!player.IsWindowVisible() && player.GetSlideState() == SlideState::Shown) << L"to the tray is no slide";
    Click(IDC_LIST_TOGGLE);
    Command(session.Hwnd(), ID_TRAY_SHOW_PLAYER); // the editor is visible: it alone comes forward
    EXPECT_FALSE(player.IsWindowVisible());
    Click(IDC_LIST_TOGGLE);
    Command(session.Hwnd(), ID_TRAY_SHOW_PLAYER);
    EXPECT_TRUE(player.IsWindowVisible() && !player.IsIconic());
}

// The icon's record, its tip cut to what the shell holds, the blinking while
// paused, its clicks.
TEST_F(Player, TheTrayIcon)
{
    CTrayIcon& icon = session->Tray();
    const HICON own = fw::LoadAppIcon(IDI_APP), paused = fw::LoadAppIconSmall(IDI_PAUSED_TRAY);
    const auto mouse = [&](UINT message, const std::function<bool()>& until) {
        ::SendMessageW(icon.GetHwnd(), icon.CallbackMessage(), IDR_TRAYMENU, message);
        return fw::PumpUntil(until, 2000);
    };
    const NOTIFYICONDATAW& added = g_notes.at(0).second;
    EXPECT_TRUE(g_notes.size() == 1 && g_notes[0].first == NIM_ADD && added.cbSize == NOTIFYICONDATAW_V1_SIZE && added.hWnd == icon.GetHwnd());
    EXPECT_TRUE(added.uID == IDR_TRAYMENU && added.uFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP) && added.hIcon == own);
    EXPECT_TRUE(added.uCallbackMessage == ::RegisterWindowMessageW(L"TRAY_MSG") && std::wstring(added.szTip) == L"Zoravel's M3U Editor");
    // A tip longer than 63 characters is cut to 60 and three dots.
    for (auto tip : {std::make_pair(std::wstring(), std::wstring()), {std::wstring(63, L'e'), std::wstring(63, L'e')},
                     {std::wstring(64, L'l'), std::wstring(60, L'l') + L"..."}, {std::wstring(500, L'x'), std::wstring(60, L'x') + L"..."},
                     {std::wstring(59, L'x') + L"\U0001F3B5 yyy", std::wstring(59, L'x') + L"..."}}) { // never half an emoji
        icon.SetTip(tip.first.c_str());
        EXPECT_TRUE(g_notes.back().first == NIM_MODIFY && g_notes.back().second.szTip == tip.second && icon.Tip() == tip.first);
    }
    ::SendMessageW(icon.GetHwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(g_notes.back().first, static_cast<DWORD>(NIM_ADD)) << L"the shell restarted: the icon is added again";

    // A left click plays, naming the track without its folder, and pauses;
    // paused, the icon changes between the two images every 700 ms. Whatever
    // ends the pause puts the program's icon back at once.
    ASSERT_TRUE(LoadTracks(session, {FixturePath(L"tone8s.mp3"), FixturePath(L"tone5s.mp3")}));
    ASSERT_TRUE(mouse(WM_LBUTTONUP, [&] { return audio.isPlaying; }));
    EXPECT_EQ(icon.Tip(), L"tone8s.mp3");
    ASSERT_TRUE(mouse(WM_LBUTTONUP, [&] { return audio.isPaused; }));
    std::vector<HICON> shown;
    fw::PumpUntil([&] { return (shown.empty() || shown.back() != g_notes.back().second.hIcon) && (shown.push_back(g_notes.back().second.hIcon), shown.size() >= 4); }, 5000);
    EXPECT_EQ(shown, (std::vector<HICON>{paused, own, paused, own}));
    EXPECT_TRUE(mouse(WM_LBUTTONUP, [&] { return !audio.isPaused; }) && g_notes.back().second.hIcon == own);
    for (int playOn : {IDC_FAST_FORWARD, IDC_NEXT}) {
        player.OnPlayPause();
        EXPECT_EQ(g_notes.back().second.hIcon, paused);
        Command(player.GetHwnd(), playOn);
        EXPECT_TRUE(g_notes.back().second.hIcon == own && !audio.isPaused);
    }
}

// Without an MP3 decoder every track is unplayable: the same beeps and look as
// for a track whose file is missing, and nothing else changes.
TEST(NoDecoder, AnMp3PlaysLikeAMissingFile)
{
    const std::wstring probe = L"open \"" + FixturePath(L"tone1s.mp3") + L"\" alias probe";
    ASSERT_NE(::mciSendStringW(probe.c_str(), nullptr, 0, nullptr), 0u) << L"MP3 still decodes: GStreamer is not hidden";
    FakeUi ui;
    EditorSession session;
    const HWND hwnd = session->Player().GetHwnd();
    const auto look = [&](const std::wstring& track) {
        EXPECT_TRUE(LoadTracks(session, {track, FixturePath(L"tone2s.mp3")}));
        ui.beeps.clear();
        session->Player().OnPlayPause();
        std::wstring seen;
        for (UINT beep : ui.beeps)
            seen += L"beep " + std::to_wstring(beep) + L" | ";
        for (int id : {IDC_STOP, IDC_POSITION, IDC_NEXT})
            seen += ::IsWindowEnabled(::GetDlgItem(hwnd, id)) ? L"on | " : L"off | ";
        return seen + Text(hwnd, IDC_TRACK_COUNTER) + L" | " + Text(hwnd, IDC_TOTAL_TIME) + L" | " + session->GetWindowText();
    };
    const std::wstring missing = look(session.File(L"gone.mp3"));
    EXPECT_EQ(look(FixturePath(L"tone1s.mp3")), missing);
    EXPECT_TRUE(missing.rfind(L"beep 0 ", 0) == 0 && !session->Player().Audio().isOpen && session->List().GetCount() == 2);
    EXPECT_EQ(fw::CButton(::GetDlgItem(hwnd, IDC_PLAY_PAUSE)).GetIcon(), fw::LoadAppIconSmall(IDI_PLAY));
}

} // namespace
