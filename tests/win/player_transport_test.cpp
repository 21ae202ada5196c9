// The player's transport and status display on the real windows and the real
// audio device: buttons, switches, trackbars, timers, the status texts, the
// tooltips and the operations that keep the queue in step with the list.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::FixturePath;

namespace {

class PlayerTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<EditorSession>("pt");
        ASSERT_TRUE(session->Alive());
        editor = session->Editor();
        player = editor->m_pPlayer;
        ASSERT_NE(player, nullptr);
        ASSERT_TRUE(player->IsWindow());
        device = &player->Audio();
    }

    void TearDown() override
    {
        session.reset();
        if (device) {
            EXPECT_FALSE(Audio().isOpen) << "the queue's destruction closes the device";
        }
    }

    // The process-wide device: still there after the player has gone.
    CMciAudio& Audio() const { return *device; }

    // As the editor adds: the queue entry with the index the item gets.
    void Fill(const std::vector<std::string>& paths)
    {
        for (const std::string& path : paths) {
            const int n = editor->m_list.GetCount();
            player->AddTrack(n, path.c_str());
            editor->m_list.AddString(path.c_str());
        }
    }
    void FillFixtures(const std::vector<const char*>& names)
    {
        std::vector<std::string> paths;
        for (const char* name : names)
            paths.push_back(FixturePath(name));
        Fill(paths);
    }
    // The play order as list indexes, the paths following the list.
    void SetOrder(const std::vector<int>& order)
    {
        for (size_t i = 0; i < order.size(); ++i)
            player->m_queue.SetEntry(static_cast<int>(i), order[i], editor->m_list.GetText(order[i]).c_str());
    }
    void PlayPosition(int pos)
    {
        player->m_queue.current = pos;
        ASSERT_TRUE(player->m_queue.PlayCurrent(0));
        player->UpdateDisplay();
    }

    void Click(int id) { player->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(player->GetDlgItem(id))); }
    void ClickCheck(int id, bool checked)
    {
        fw::CButton(player->GetDlgItem(id)).SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
        Click(id);
    }
    std::string Text(int id) const { return player->Item(id).GetWindowText(); }
    bool Enabled(int id) const { return player->Item(id).IsWindowEnabled(); }
    HICON Face(int id) const { return fw::CButton(player->GetDlgItem(id)).GetIcon(); }
    int Checked(int id) const { return fw::CButton(player->GetDlgItem(id)).GetCheck(); }
    std::vector<int> Selection() const { return editor->m_list.GetSelItems(); }
    std::string CurrentPath() const
    {
        const CPlayQueue& q = player->m_queue;
        return q.HasValidCurrent() ? q.entries[static_cast<size_t>(q.current)].path : std::string();
    }

    FakeUi fakeUi; // before any window
    std::unique_ptr<EditorSession> session;
    CEditorDlg* editor = nullptr;
    CPlayerDlg* player = nullptr;
    CMciAudio* device = nullptr;
};

// What a tooltip request for one control gets: whether it was answered and the text.
std::pair<bool, std::string> AskTip(CPlayerDlg* player, int id, UINT flags = TTF_IDISHWND)
{
    NMTTDISPINFOA info{};
    HWND control = player->GetDlgItem(id);
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = flags;
    const bool answered = player->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info)) != 0;
    std::string text;
    if (info.lpszText && IS_INTRESOURCE(info.lpszText)) {
        char buffer[128] = "";
        ::LoadStringA(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), buffer, sizeof buffer);
        text = buffer;
    } else if (info.lpszText) {
        text = info.lpszText;
    }
    return {answered, text};
}

} // namespace

TEST(FormatTime, ShortBelowAnHourLongFromAnHourOn)
{
    const struct {
        int ms;
        const char* text;
    } cases[] = {
        {0, "00:00"},          {999, "00:00"},         {1000, "00:01"},         {65000, "01:05"},
        {59999, "00:59"},      {3599999, "59:59"},     {3600000, "1:00:00"},    {3725000, "1:02:05"},
        {36000000, "10:00:00"}, {-1, "00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTime(c.ms), c.text) << c.ms;
}

TEST_F(PlayerTransportTest, StartsEmptyStoppedAndRepeating)
{
    EXPECT_EQ(player->GetWindowText(), "MP3 Player");
    EXPECT_FALSE(player->IsWindowVisible());
    EXPECT_EQ(player->slideState, 1);
    EXPECT_EQ(::GetWindowLongA(player->GetHwnd(), GWL_STYLE) & WS_CAPTION, 0);

    EXPECT_FALSE(player->m_position.IsWindowEnabled());
    EXPECT_EQ(player->m_position.GetRangeMin(), 0);
    EXPECT_EQ(player->m_position.GetRangeMax(), 0);
    EXPECT_FALSE(Enabled(IDC_STOP));

    EXPECT_EQ(player->m_volume.GetRangeMin(), 0);
    EXPECT_EQ(player->m_volume.GetRangeMax(), 1000);
    EXPECT_EQ(player->m_volume.GetPos(), 0);
    EXPECT_EQ(player->m_volumeLevel, 1000);
    EXPECT_EQ(Audio().volume, 1000);

    // The queue starts out repeating and the box says so.
    EXPECT_TRUE(player->m_queue.repeat);
    EXPECT_EQ(Checked(IDC_REPEAT), BST_CHECKED);

    EXPECT_EQ(player->m_pTrackList, &editor->m_list);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    EXPECT_EQ(Face(IDC_MUTE), player->m_hUnmutedIcon);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NE(player->m_buttonIcons[i], nullptr) << player->m_buttonIds[i];
        if (player->m_buttonIds[i] != IDC_PLAY_PAUSE) {
            EXPECT_EQ(Face(player->m_buttonIds[i]), player->m_buttonIcons[i]) << player->m_buttonIds[i];
        }
    }
    EXPECT_NE(player->m_hPauseIcon, player->m_hPlayIcon);
    EXPECT_NE(player->m_hMutedIcon, player->m_hUnmutedIcon);

    // Esc and Enter on the player close nothing.
    Click(IDCANCEL);
    Click(IDOK);
    EXPECT_TRUE(player->IsWindow());
    EXPECT_TRUE(session->Alive());
}

TEST_F(PlayerTransportTest, PlayWithNothingCurrentStartsTheFirstOfThePlayOrder)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3"});
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "");
    Click(IDC_PLAY_PAUSE);

    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 3");
    EXPECT_EQ(Text(IDC_CURRENT_TIME), "Current: 00:00");
    EXPECT_EQ(Text(IDC_TOTAL_TIME), "Total: 00:02");
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPauseIcon);
    EXPECT_TRUE(Enabled(IDC_STOP));
    EXPECT_FALSE(Enabled(IDC_PREVIOUS));
    EXPECT_TRUE(Enabled(IDC_NEXT));
    EXPECT_TRUE(player->m_position.IsWindowEnabled());
    EXPECT_EQ(player->m_position.GetRangeMin(), 1);
    EXPECT_NEAR(player->m_position.GetRangeMax(), 2000, 100);
    EXPECT_EQ(Selection(), std::vector<int>{0});
    EXPECT_EQ(editor->m_list.GetCaretIndex(), 0);
    ASSERT_NE(editor->m_pTrayIcon, nullptr);
    EXPECT_EQ(editor->m_pTrayIcon->m_strTip, "track1.mp3");
    EXPECT_TRUE(fakeUi.beeps.empty());
}

TEST_F(PlayerTransportTest, PauseResumeStopAndPlayAgain)
{
    FillFixtures({"tone3s.mp3", "track1.mp3"});
    Click(IDC_PLAY_PAUSE);
    ASSERT_TRUE(Audio().isPlaying);
    EXPECT_EQ(AskTip(player, IDC_PLAY_PAUSE).second, "Pause");

    Click(IDC_PLAY_PAUSE); // pause
    EXPECT_TRUE(Audio().isPaused);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    EXPECT_EQ(AskTip(player, IDC_PLAY_PAUSE).second, "Play");
    EXPECT_EQ(editor->m_pTrayIcon->m_nid.hIcon, player->m_hPausedTrayIcon);

    // While paused the title timer alternates the tray image.
    const bool blink = pauseBlink;
    player->OnTitleTimer();
    EXPECT_NE(pauseBlink, blink);
    const HICON first = editor->m_pTrayIcon->m_nid.hIcon;
    player->OnTitleTimer();
    EXPECT_EQ(pauseBlink, blink);
    EXPECT_NE(editor->m_pTrayIcon->m_nid.hIcon, first);

    Click(IDC_PLAY_PAUSE); // resume
    EXPECT_FALSE(Audio().isPaused);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPauseIcon);
    EXPECT_NE(editor->m_pTrayIcon->m_nid.hIcon, player->m_hPausedTrayIcon);

    ASSERT_TRUE(fw::PumpUntil([&] { return player->m_position.GetPos() >= 1000; }, 3000));
    const std::string tip = AskTip(player, IDC_POSITION).second; // "%.0f%% complete"
    ASSERT_NE(tip.find("% complete"), std::string::npos) << tip;
    EXPECT_GE(std::stoi(tip), 30);
    EXPECT_LE(std::stoi(tip), 100);
    Click(IDC_STOP);
    EXPECT_TRUE(Audio().isOpen);
    EXPECT_FALSE(Audio().isPlaying);
    // Thumb to 0: the bar's range starts at 1, so it rests at its start.
    EXPECT_EQ(player->m_position.GetPos(), player->m_position.GetRangeMin());
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    EXPECT_FALSE(Enabled(IDC_STOP));

    // Play after Stop: the same track again, from the thumb, the beginning.
    Click(IDC_PLAY_PAUSE);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPauseIcon);
    EXPECT_LT(Audio().GetPosition(), 1500);

    // Dragging the thumb while playing moves the sound along.
    HWND bar = player->m_position.GetHwnd();
    player->m_position.SetPos(2000);
    player->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 2000), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(Text(IDC_CURRENT_TIME), "Current: 00:02");
    EXPECT_GE(Audio().GetPosition(), 2000);

    // Dragged while stopped, the next play starts from the thumb.
    Click(IDC_STOP);
    player->m_position.SetPos(1500);
    player->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 1500), reinterpret_cast<LPARAM>(bar));
    EXPECT_FALSE(Audio().isPlaying);
    EXPECT_EQ(Text(IDC_CURRENT_TIME), "Current: 00:01");
    Click(IDC_PLAY_PAUSE);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_GE(Audio().GetPosition(), 1500);
    EXPECT_TRUE(fakeUi.beeps.empty());
}

TEST_F(PlayerTransportTest, AnEmptyQueuePlaysNothingAndRefusesNextAndShuffle)
{
    Click(IDC_PLAY_PAUSE);
    EXPECT_FALSE(Audio().isOpen);
    EXPECT_FALSE(Enabled(IDC_STOP));
    EXPECT_TRUE(fakeUi.beeps.empty());
    Click(IDC_NEXT);
    EXPECT_EQ(fakeUi.beeps, std::vector<UINT>{1});
    EXPECT_EQ(player->m_queue.current, -1);
    ClickCheck(IDC_SHUFFLE, true);
    EXPECT_EQ(fakeUi.beeps, (std::vector<UINT>{1, 0}));
    EXPECT_EQ(Checked(IDC_SHUFFLE), BST_CHECKED) << "the box keeps its new state";
    EXPECT_FALSE(Audio().isOpen);
}

TEST_F(PlayerTransportTest, NextAndPreviousInListOrderRefuseAtTheEndsWithOrWithoutRepeat)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3", "track4.mp3", "track5.mp3"});
    for (bool repeat : {true, false}) {
        SCOPED_TRACE(repeat ? "repeat" : "no repeat");
        fakeUi.beeps.clear();
        if (player->m_queue.repeat != repeat)
            Click(IDC_REPEAT);
        ASSERT_EQ(player->m_queue.repeat, repeat);
        EXPECT_EQ(Checked(IDC_REPEAT), repeat ? BST_CHECKED : BST_UNCHECKED);

        PlayPosition(2);
        Click(IDC_NEXT);
        EXPECT_EQ(player->m_queue.current, 3);
        EXPECT_TRUE(Audio().isPlaying);
        EXPECT_EQ(CurrentPath(), FixturePath("track4.mp3"));
        EXPECT_EQ(Text(IDC_TRACK_COUNTER), "4 of 5");
        EXPECT_TRUE(Enabled(IDC_PREVIOUS));
        EXPECT_TRUE(Enabled(IDC_NEXT));
        EXPECT_EQ(Selection(), std::vector<int>{3});

        Click(IDC_NEXT);
        EXPECT_EQ(Text(IDC_TRACK_COUNTER), "5 of 5");
        EXPECT_FALSE(Enabled(IDC_NEXT));
        Click(IDC_NEXT); // the last track: only a beep
        EXPECT_EQ(player->m_queue.current, 4);
        EXPECT_TRUE(Audio().isPlaying);
        EXPECT_EQ(fakeUi.beeps, std::vector<UINT>{1});

        PlayPosition(1);
        Click(IDC_PREVIOUS);
        EXPECT_EQ(player->m_queue.current, 0);
        EXPECT_TRUE(Audio().isPlaying);
        EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 5");
        EXPECT_FALSE(Enabled(IDC_PREVIOUS));
        Click(IDC_PREVIOUS); // the first track: only a beep
        EXPECT_EQ(player->m_queue.current, 0);
        EXPECT_TRUE(Audio().isPlaying);
        EXPECT_EQ(fakeUi.beeps, (std::vector<UINT>{1, 1}));
    }
}

TEST_F(PlayerTransportTest, NextAndPreviousWhileStoppedMoveWithoutPlaying)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3"});
    Click(IDC_NEXT); // from no current entry to the first
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_FALSE(Audio().isOpen) << "opened for the length only";
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 3");
    EXPECT_EQ(Text(IDC_TOTAL_TIME), "Total: 00:02");
    Click(IDC_NEXT);
    Click(IDC_PREVIOUS);
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_FALSE(Audio().isOpen);
    EXPECT_FALSE(Enabled(IDC_STOP));
    EXPECT_TRUE(fakeUi.beeps.empty());
}

// Shuffled, the refusals follow the play order: the list's last track may
// stand first and the list's first track second.
TEST_F(PlayerTransportTest, ShuffledRefusalsFollowThePlayOrderNotTheList)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3", "track4.mp3", "track5.mp3"});
    fw::CButton(player->GetDlgItem(IDC_SHUFFLE)).SetCheck(BST_CHECKED);
    SetOrder({4, 0, 3, 1, 2});

    PlayPosition(0); // the list's last track
    Click(IDC_NEXT);
    EXPECT_TRUE(fakeUi.beeps.empty());
    EXPECT_EQ(player->m_queue.current, 1);
    EXPECT_EQ(CurrentPath(), FixturePath("track1.mp3"));
    EXPECT_EQ(Selection(), std::vector<int>{0});

    Click(IDC_PREVIOUS); // from the list's first track
    EXPECT_TRUE(fakeUi.beeps.empty());
    EXPECT_EQ(player->m_queue.current, 0);
    Click(IDC_PREVIOUS); // the first of the play order
    EXPECT_EQ(fakeUi.beeps, std::vector<UINT>{1});
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_TRUE(Audio().isPlaying);

    PlayPosition(4);
    Click(IDC_NEXT); // the last of the play order
    EXPECT_EQ(fakeUi.beeps, (std::vector<UINT>{1, 1}));
    EXPECT_EQ(player->m_queue.current, 4);
    EXPECT_TRUE(Audio().isPlaying);
}

TEST_F(PlayerTransportTest, EndOfTrackWithRepeatStartsTheFirstAtTheNextTick)
{
    FillFixtures({"track1.mp3", "tone1s.mp3"});
    // The ticks of timer 0 are given by hand here, so that "the next tick"
    // is exact: wait for the sound to end, then one tick.
    ASSERT_TRUE(::KillTimer(player->GetHwnd(), 0));
    PlayPosition(1);
    player->OnPositionTimer(); // before the end: only the position moves
    EXPECT_EQ(player->m_queue.current, 1);
    ASSERT_TRUE(fw::PumpUntil([&] { return Audio().GetPercent() >= 100.0; }, 5000));
    EXPECT_EQ(player->m_queue.current, 1);
    player->OnPositionTimer();
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(CurrentPath(), FixturePath("track1.mp3"));
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 2");
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPauseIcon);
    EXPECT_EQ(Selection(), std::vector<int>{0});
    EXPECT_TRUE(fakeUi.beeps.empty());
}

TEST_F(PlayerTransportTest, EndOfTheLastTrackWithoutRepeatBeepsOnceAndStops)
{
    FillFixtures({"track1.mp3", "tone1s.mp3"});
    Click(IDC_REPEAT);
    ASSERT_FALSE(player->m_queue.repeat);
    PlayPosition(1);
    ASSERT_TRUE(fw::PumpUntil([&] { return !Audio().isPlaying; }, 6000));
    // A few more ticks change nothing.
    fw::PumpUntil([&] { return fakeUi.beeps.size() > 1; }, 1600);
    EXPECT_EQ(fakeUi.beeps, std::vector<UINT>{0});
    EXPECT_EQ(player->m_queue.current, 1);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    EXPECT_FALSE(Enabled(IDC_STOP));
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "2 of 2");
}

TEST_F(PlayerTransportTest, CurrentTimeFollowsPlaybackAndTheThumb)
{
    FillFixtures({"tone3s.mp3"});
    Click(IDC_PLAY_PAUSE);
    EXPECT_EQ(Text(IDC_TOTAL_TIME), "Total: 00:03");
    ASSERT_TRUE(fw::PumpUntil([&] { return Text(IDC_CURRENT_TIME) == "Current: 00:01"; }, 3000));
    EXPECT_GE(player->m_position.GetPos(), 1000);
    Click(IDC_STOP);

    // The shown time is the thumb's, in both forms.
    player->m_position.SetRange(1, 4000000);
    const struct {
        int thumb;
        const char* text;
    } cases[] = {{65000, "Current: 01:05"}, {3600000, "Current: 1:00:00"}, {3725000, "Current: 1:02:05"}};
    for (const auto& c : cases) {
        player->m_position.SetPos(c.thumb);
        player->UpdateCurrentTime();
        EXPECT_EQ(Text(IDC_CURRENT_TIME), c.text);
    }
}

TEST_F(PlayerTransportTest, MuteKeepsTheLevelAndUnmuteRestoresIt)
{
    FillFixtures({"tone3s.mp3"});
    Click(IDC_PLAY_PAUSE);
    player->m_volume.SetPos(250);
    player->SendMessage(WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 250), reinterpret_cast<LPARAM>(player->m_volume.GetHwnd()));
    EXPECT_EQ(player->m_volumeLevel, 750);
    EXPECT_EQ(Audio().volume, 750);
    EXPECT_EQ(player->m_volume.GetPos(), 250);
    EXPECT_EQ(AskTip(player, IDC_VOLUME).second, "Volume: 75.0");
    EXPECT_EQ(AskTip(player, IDC_MUTE).second, "Mute");

    ClickCheck(IDC_MUTE, true);
    EXPECT_EQ(Audio().volume, 0);
    EXPECT_EQ(player->m_volume.GetPos(), 1000);
    EXPECT_FALSE(player->m_volume.IsWindowEnabled());
    EXPECT_EQ(player->m_volumeLevel, 750);
    EXPECT_EQ(Face(IDC_MUTE), player->m_hMutedIcon);
    EXPECT_EQ(AskTip(player, IDC_VOLUME).second, "Volume: 0.0");
    EXPECT_EQ(AskTip(player, IDC_MUTE).second, "Unmute");

    ClickCheck(IDC_MUTE, false);
    EXPECT_EQ(Audio().volume, 750);
    EXPECT_EQ(player->m_volume.GetPos(), 250);
    EXPECT_TRUE(player->m_volume.IsWindowEnabled());
    EXPECT_EQ(Face(IDC_MUTE), player->m_hUnmutedIcon);
}

TEST_F(PlayerTransportTest, ToolTipTexts)
{
    const std::pair<int, const char*> fixed[] = {
        {IDC_REWIND, "Rewind"},         {IDC_STOP, "Stop"},
        {IDC_FAST_FORWARD, "Fast Forward"}, {IDC_REPEAT, "Repeat mode"},
        {IDC_SHUFFLE, "Shuffle mode"},  {IDC_CLOSE, "Close"},
        {IDC_TO_TRAY, "Minimize to system tray"}, {IDC_ON_TOP, "Keep player on top"},
        {IDC_PLAY_PAUSE, "Play"},       {IDC_MUTE, "Mute"},
        {IDC_VOLUME, "Volume: 100.0"},  {IDC_POSITION, "0% complete"},
        {IDC_LIST_TOGGLE, "Hide play list"}, {IDC_PREVIOUS, "Previous"},
        {IDC_NEXT, "Next"},
    };
    for (const auto& [id, text] : fixed) {
        auto tip = AskTip(player, id);
        EXPECT_TRUE(tip.first) << id;
        EXPECT_EQ(tip.second, text) << id;
    }
    // No current entry: the title has no tip; other controls and requests
    // by id get none.
    EXPECT_FALSE(AskTip(player, IDC_TITLE).first);
    EXPECT_FALSE(AskTip(player, IDC_CURRENT_TIME).first);
    EXPECT_FALSE(AskTip(player, IDC_REWIND, 0).first);

    Fill({"C:\\music\\one.mp3", "two.mp3", "D:\\x\\three.mp3", "D:\\folder\\"});
    const struct {
        int current;
        const char* previous;
        const char* next;
    } steps[] = {
        {-1, "Previous", "one.mp3"}, {0, "Previous", "two.mp3"},   {1, "one.mp3", "three.mp3"},
        {2, "two.mp3", "Next"},      {3, "three.mp3", "Next"},     {4, "Previous", "Next"},
    };
    for (const auto& s : steps) {
        player->m_queue.current = s.current;
        EXPECT_EQ(AskTip(player, IDC_PREVIOUS).second, s.previous) << s.current;
        EXPECT_EQ(AskTip(player, IDC_NEXT).second, s.next) << s.current;
    }
    player->m_queue.current = 2;
    auto title = AskTip(player, IDC_TITLE);
    EXPECT_TRUE(title.first);
    EXPECT_EQ(title.second, "D:\\x\\three.mp3");

    player->OnListToggle();
    EXPECT_EQ(AskTip(player, IDC_LIST_TOGGLE).second, "Show play list");
    player->OnListToggle();
}

TEST_F(PlayerTransportTest, UpdateDisplayWithoutCurrentSelectsNothingAndShowsTheStoppedLook)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3"});
    for (int current : {-1, 3}) { // none, and one past the end
        SCOPED_TRACE(current);
        for (int i = 0; i < 3; ++i)
            editor->m_list.SetSel(i, true);
        player->Item(IDC_TRACK_COUNTER).SetWindowText("2 of 3");
        player->Item(IDC_CURRENT_TIME).SetWindowText("Current: 00:01");
        player->m_position.EnableWindow(true);
        player->m_queue.current = current;

        player->UpdateDisplay();
        EXPECT_EQ(editor->m_list.GetSelCount(), 0);
        EXPECT_TRUE(fakeUi.beeps.empty());
        EXPECT_FALSE(Audio().isOpen);
        EXPECT_EQ(Text(IDC_TRACK_COUNTER), "");
        EXPECT_EQ(Text(IDC_CURRENT_TIME), "Current: 00:01");
        EXPECT_FALSE(player->m_position.IsWindowEnabled());
        EXPECT_EQ(player->m_position.GetPos(), 0);
        EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
        EXPECT_FALSE(Enabled(IDC_STOP));
        EXPECT_EQ(editor->m_pTrayIcon->m_strTip, "");
    }
}

TEST_F(PlayerTransportTest, UpdateDisplayOnAMissingFileBeepsAndShowsZero)
{
    Fill({FixturePath("no-such-track.mp3")});
    player->m_queue.current = 0;
    player->UpdateDisplay();
    EXPECT_EQ(fakeUi.beeps, std::vector<UINT>{0});
    EXPECT_FALSE(Audio().isOpen);
    EXPECT_EQ(Text(IDC_TOTAL_TIME), "Total: 00:00");
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 1");
    EXPECT_EQ(Selection(), std::vector<int>{0});

    // Play on it: the device beeps again, Stop stays disabled.
    Click(IDC_PLAY_PAUSE);
    EXPECT_EQ(fakeUi.beeps, (std::vector<UINT>{0, 0}));
    EXPECT_FALSE(Enabled(IDC_STOP));
}

TEST_F(PlayerTransportTest, RemoveTrackKeepsPlayingTheRightTrack)
{
    const struct {
        const char* name;
        int count, playing, removed; // list order; -1: stopped before the removal
        int current;
        const char* path; // the current track afterwards
        const char* counter;
    } cases[] = {
        // The current position from before the removal decides, so a track
        // removed in front of the playing one leaves it playing and counted.
        {"before the playing one", 5, 2, 0, 1, "track3.mp3", "2 of 4"},
        {"the playing one: the next starts", 5, 2, 2, 2, "track4.mp3", "3 of 4"},
        {"the playing last one: the one before starts", 3, 2, 2, 1, "track2.mp3", "2 of 2"},
        {"after the playing one: nothing shown changes", 4, 1, 3, 1, "track2.mp3", "2 of 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        player->ResetPlayer();
        editor->m_list.ResetContent();
        for (int i = 1; i <= c.count; ++i)
            FillFixtures({("track" + std::to_string(i) + ".mp3").c_str()});
        PlayPosition(c.playing);
        editor->m_list.DeleteString(c.removed);
        player->RemoveTrack(c.removed);
        EXPECT_TRUE(Audio().isPlaying);
        EXPECT_EQ(player->m_queue.current, c.current);
        EXPECT_EQ(CurrentPath(), FixturePath(c.path));
        EXPECT_EQ(Text(IDC_TRACK_COUNTER), c.counter);
        EXPECT_EQ(Selection(), std::vector<int>{c.current});
    }
    // Stopped, removing the current track starts nothing.
    Click(IDC_STOP);
    editor->m_list.DeleteString(1);
    player->RemoveTrack(1);
    EXPECT_FALSE(Audio().isPlaying);
    EXPECT_EQ(player->m_queue.Count(), 2);
    EXPECT_TRUE(fakeUi.beeps.empty());
}

// Bulk removal ends where removing the indexes one by one, highest first,
// ends: the same queue, current entry, playing state and display.
TEST_F(PlayerTransportTest, RemoveTracksEndsAsRemoveTrackOneByOne)
{
    const char* tracks[] = {"track1.mp3", "track2.mp3", "track3.mp3", "track4.mp3", "track5.mp3", "tone1s.mp3"};
    const struct {
        const char* name;
        std::vector<int> order; // play order as list indexes
        int playing;            // position playing, -1: nothing plays
        std::vector<int> remove;
    } cases[] = {
        {"playing track stays", {0, 1, 2, 3, 4, 5}, 3, {0, 1, 5}},
        {"nothing plays", {0, 1, 2, 3, 4, 5}, -1, {1, 2}},
        {"forward to a kept one", {0, 1, 2, 3, 4, 5}, 2, {1, 2, 3}},
        {"forward chain", {2, 1, 0, 3, 4, 5}, 0, {0, 1, 2}},
        {"backward chain", {3, 5, 2, 4, 0, 1}, 5, {0, 1, 4}},
        {"last goes, then the one before", {0, 1, 2, 3, 4, 5}, 5, {4, 5}},
        {"everything goes", {1, 0, 2, 3, 4, 5}, 1, {0, 1, 2, 3, 4, 5}},
    };
    struct Outcome {
        std::vector<std::pair<int, std::string>> entries;
        int current;
        bool playing;
        std::string counter;
        std::vector<int> selection;
    };
    auto run = [&](const std::vector<int>& order, int playing, const std::vector<int>& remove, bool bulk) {
        player->ResetPlayer();
        editor->m_list.ResetContent();
        std::vector<const char*> names(std::begin(tracks), std::end(tracks));
        FillFixtures(names);
        SetOrder(order);
        if (playing >= 0)
            PlayPosition(playing);
        for (auto it = remove.rbegin(); it != remove.rend(); ++it) {
            editor->m_list.DeleteString(*it);
            if (!bulk)
                player->RemoveTrack(*it);
        }
        if (bulk)
            player->RemoveTracks(remove);
        Outcome out;
        for (const PlayQueueEntry& e : player->m_queue.entries)
            out.entries.emplace_back(e.listIndex, e.path);
        out.current = player->m_queue.current;
        out.playing = Audio().isPlaying;
        out.counter = Text(IDC_TRACK_COUNTER);
        out.selection = Selection();
        return out;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome one = run(c.order, c.playing, c.remove, false);
        const Outcome bulk = run(c.order, c.playing, c.remove, true);
        EXPECT_EQ(bulk.entries, one.entries);
        EXPECT_EQ(bulk.current, one.current);
        EXPECT_EQ(bulk.playing, one.playing);
        // With every track gone neither counter means anything.
        if (!one.entries.empty()) {
            EXPECT_EQ(bulk.counter, one.counter);
        }
        EXPECT_EQ(bulk.selection, one.selection);
        // The list and the queue agree afterwards.
        for (const auto& [listIndex, path] : bulk.entries)
            EXPECT_EQ(editor->m_list.GetText(listIndex), path);
    }
    EXPECT_TRUE(fakeUi.beeps.empty());
}

TEST_F(PlayerTransportTest, ShuffleOffRestoresListOrderKeepingTheCurrentTrack)
{
    FillFixtures({"track1.mp3", "track2.mp3", "track3.mp3", "track4.mp3", "track5.mp3"});
    ClickCheck(IDC_SHUFFLE, true);
    SetOrder({2, 4, 3, 0, 1}); // a known shuffle
    PlayPosition(2);           // list track 3
    ClickCheck(IDC_SHUFFLE, false);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(player->m_queue.entries[static_cast<size_t>(i)].listIndex, i);
        EXPECT_EQ(player->m_queue.entries[static_cast<size_t>(i)].path, editor->m_list.GetText(i));
    }
    EXPECT_EQ(player->m_queue.current, 3);
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "4 of 5");
    EXPECT_TRUE(Audio().isPlaying);

    // Shuffling on keeps the playing track current.
    ClickCheck(IDC_SHUFFLE, true);
    EXPECT_EQ(CurrentPath(), FixturePath("track4.mp3"));
    EXPECT_TRUE(fakeUi.beeps.empty());
}

TEST_F(PlayerTransportTest, AddAndMoveRefreshTheCounter)
{
    Fill({"C:\\a.mp3", "C:\\b.mp3"});
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), ""); // nothing current yet
    EXPECT_TRUE(Enabled(IDC_NEXT));
    player->m_queue.current = 1;
    Fill({"C:\\c.mp3"});
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "2 of 3");
    EXPECT_TRUE(Enabled(IDC_PREVIOUS));
    EXPECT_TRUE(Enabled(IDC_NEXT));

    player->MoveTrackUp(1); // the current track moves to the top
    EXPECT_EQ(player->m_queue.current, 0);
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 3");
    EXPECT_FALSE(Enabled(IDC_PREVIOUS));
    player->MoveTrackDown(2); // refused: nothing below
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "1 of 3");
    player->MoveTrackDown(0);
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "2 of 3");
    EXPECT_EQ(player->m_queue.entries[1].path, "C:\\b.mp3");
}

TEST_F(PlayerTransportTest, RewindWhilePausedResumes)
{
    FillFixtures({"tone3s.mp3"});
    Click(IDC_REWIND); // nothing plays
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    Click(IDC_PLAY_PAUSE);
    Click(IDC_PLAY_PAUSE);
    ASSERT_TRUE(Audio().isPaused);
    Click(IDC_REWIND);
    EXPECT_FALSE(Audio().isPaused);
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPauseIcon);
}

TEST_F(PlayerTransportTest, ResetPlayerEmptiesEverything)
{
    FillFixtures({"tone3s.mp3", "track1.mp3"});
    Click(IDC_PLAY_PAUSE);
    player->ResetPlayer();
    EXPECT_EQ(player->m_queue.Count(), 0);
    EXPECT_EQ(player->m_queue.current, -1);
    EXPECT_FALSE(Audio().isOpen);
    EXPECT_FALSE(player->m_position.IsWindowEnabled());
    EXPECT_EQ(player->m_position.GetRangeMax(), 0);
    EXPECT_FALSE(Enabled(IDC_STOP));
    EXPECT_EQ(Text(IDC_CURRENT_TIME), "");
    EXPECT_EQ(Text(IDC_TOTAL_TIME), "");
    EXPECT_EQ(Text(IDC_TRACK_COUNTER), "");
    EXPECT_EQ(Face(IDC_PLAY_PAUSE), player->m_hPlayIcon);
    EXPECT_TRUE(player->m_queue.repeat);
}
