// The player window's frame on real window rectangles: docking under the
// editor, the slide, detaching and attaching, the list toggle's top row, on
// top, to tray, close, the title marquee and the saved player settings.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "persist/settings_record.h"
#include "player/marquee.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using testing_support::EditorSession;
using testing_support::FakeUi;

namespace {

constexpr UINT kMoveFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

class PlayerFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<EditorSession>("pf");
        ASSERT_TRUE(session->Alive());
        editor = session->Editor();
        player = editor->m_pPlayer;
        ASSERT_NE(player, nullptr);
        ASSERT_TRUE(player->IsWindow());
        height = B().bottom - B().top;
        ASSERT_GT(height, 20);
    }

    RECT A() const { return editor->GetWindowRect(); }
    RECT B() const { return player->GetWindowRect(); }
    bool Docked() const { return B().left == A().left && B().top == A().bottom; }

    // Steps a slide by hand, checking every step; returns the steps taken.
    int DriveSlide(bool show)
    {
        player->ShowSlide(show);
        EXPECT_EQ(player->slideState, show ? 2 : 3);
        int steps = 0;
        while ((player->slideState == 2 || player->slideState == 3) && steps < 1000) {
            const int before = B().top;
            player->SlideStep();
            ++steps;
            const int a = A().bottom;
            if (show)
                EXPECT_EQ(B().top, std::min(before + 10, a)) << steps;
            else
                EXPECT_EQ(B().top, std::max(before - 10, a - height)) << steps;
        }
        EXPECT_EQ(player->slideState, show ? 0 : 1);
        player->SlideStep(); // the first tick after the slide stops the timer
        EXPECT_FALSE(::KillTimer(player->GetHwnd(), 2)) << "the slide timer still ran";
        return steps;
    }
    void ShowPlayer() { DriveSlide(true); }

    void MovePlayerTo(int x, int y) { player->SetWindowPos(nullptr, x, y, 0, 0, kMoveFlags); }
    void MovePlayerOff(int dx, int dy) { MovePlayerTo(A().left + dx, A().bottom + dy); }
    void MoveEditorBy(int dx, int dy)
    {
        const RECT a = A();
        editor->SetWindowPos(nullptr, a.left + dx, a.top + dy, 0, 0, kMoveFlags);
    }
    void ResizeEditorBy(int dw, int dh)
    {
        const RECT a = A();
        editor->SetWindowPos(nullptr, 0, 0, a.right - a.left + dw, a.bottom - a.top + dh,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Click(int id) { player->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(player->GetDlgItem(id))); }
    RECT ClientRectOf(int id) const
    {
        RECT r = player->Item(id).GetWindowRect();
        player->ScreenToClient(r);
        return r;
    }
    bool Visible(int id) const { return player->Item(id).IsWindowVisible(); }
    HICON Face(HWND owner, int id) const { return fw::CButton(::GetDlgItem(owner, id)).GetIcon(); }

    FakeUi fakeUi;
    std::unique_ptr<EditorSession> session;
    CEditorDlg* editor = nullptr;
    CPlayerDlg* player = nullptr;
    int height = 0;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST_F(PlayerFrameTest, StartsHiddenBehindTheEditorsBottomEdge)
{
    EXPECT_EQ(player->slideState, 1);
    EXPECT_FALSE(player->IsWindowVisible());
    EXPECT_FALSE(player->detached);
    EXPECT_FALSE(player->listHidden);
    EXPECT_EQ(B().left, A().left);
    EXPECT_EQ(B().bottom, A().bottom);
    EXPECT_EQ(::GetWindow(player->GetHwnd(), GW_OWNER), editor->GetHwnd());
    EXPECT_EQ(player->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(B().left + 2, B().top + 2)), HTCAPTION);
}

TEST_F(PlayerFrameTest, SlidesOutAndInTenPixelsAStep)
{
    const int out = DriveSlide(true);
    EXPECT_TRUE(player->IsWindowVisible());
    EXPECT_TRUE(Docked());
    EXPECT_EQ(out, (height + 9) / 10);

    const int in = DriveSlide(false);
    EXPECT_FALSE(player->IsWindowVisible());
    EXPECT_EQ(B().left, A().left);
    EXPECT_EQ(B().bottom, A().bottom);
    EXPECT_EQ(in, (height + 9) / 10);
}

TEST_F(PlayerFrameTest, PlayerButtonSlidesByRealTicksAndIgnoresClicksMeanwhile)
{
    const int start = B().top;
    editor->OnPlayerButton();
    EXPECT_EQ(player->slideState, 2);
    EXPECT_EQ(Face(editor->GetHwnd(), IDC_PLAYER_BUTTON), editor->m_hIconPlayerShown);
    editor->OnPlayerButton(); // during the slide: nothing
    player->ShowSlide(false);
    EXPECT_EQ(player->slideState, 2);
    EXPECT_EQ(Face(editor->GetHwnd(), IDC_PLAYER_BUTTON), editor->m_hIconPlayerShown);

    std::vector<int> tops;
    ASSERT_TRUE(fw::PumpUntil([&] {
        tops.push_back(B().top);
        return player->slideState == 0;
    }, 5000));
    EXPECT_TRUE(Docked());
    EXPECT_TRUE(player->IsWindowVisible());
    // Every place seen on the way is a whole number of steps from the start,
    // but the last, which stops on the editor's edge.
    for (int top : tops) {
        if (top != A().bottom) {
            EXPECT_EQ((top - start) % 10, 0) << top;
        }
    }

    editor->OnPlayerButton();
    EXPECT_EQ(player->slideState, 3);
    EXPECT_EQ(Face(editor->GetHwnd(), IDC_PLAYER_BUTTON), editor->m_hIconPlayerHidden);
    editor->OnPlayerButton();
    EXPECT_EQ(player->slideState, 3);
    ASSERT_TRUE(fw::PumpUntil([&] { return player->slideState == 1; }, 5000));
    EXPECT_FALSE(player->IsWindowVisible());
    EXPECT_EQ(B().bottom, A().bottom);
}

TEST_F(PlayerFrameTest, ADetachedPlayerIsPutBackBeforeItSlidesIn)
{
    ShowPlayer();
    MovePlayerOff(150, 40);
    ASSERT_TRUE(player->detached);
    player->ShowSlide(false);
    EXPECT_FALSE(player->detached);
    EXPECT_EQ(player->slideState, 3);
    EXPECT_TRUE(Docked()) << "back at the docking place before the first step";
    EXPECT_EQ(player->slideTop, A().bottom);
    while (player->slideState == 3)
        player->SlideStep();
    EXPECT_EQ(player->slideState, 1);
    DriveSlide(true);
    EXPECT_TRUE(Docked());
}

TEST_F(PlayerFrameTest, FollowsTheEditorWhenDocked)
{
    ShowPlayer();
    const struct {
        int dx, dy, dw, dh;
    } changes[] = {{40, 0, 0, 0}, {0, 30, 0, 0}, {-25, -35, 0, 0}, {0, 0, 50, 0}, {0, 0, 0, 40}, {0, 0, -30, -20}};
    for (const auto& c : changes) {
        if (c.dx || c.dy)
            MoveEditorBy(c.dx, c.dy);
        else
            ResizeEditorBy(c.dw, c.dh);
        EXPECT_FALSE(player->detached);
        EXPECT_TRUE(Docked()) << c.dx << "," << c.dy << "," << c.dw << "," << c.dh;
        EXPECT_EQ(B().bottom - B().top, height);
    }
}

TEST_F(PlayerFrameTest, ADockedPlayerFollowsJumpsOfTheEditorBeyondTheDockingDistance)
{
    ShowPlayer();
    MoveEditorBy(200, 150);
    EXPECT_FALSE(player->detached);
    EXPECT_TRUE(Docked());
    ResizeEditorBy(120, 90);
    EXPECT_FALSE(player->detached);
    EXPECT_TRUE(Docked());

    editor->ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(fw::PumpUntil([&] { return ::IsZoomed(editor->GetHwnd()) != FALSE; }, 5000));
    EXPECT_FALSE(player->detached);
    EXPECT_TRUE(Docked());
    editor->ShowWindow(SW_RESTORE);
    fw::PumpUntil([&] { return ::IsZoomed(editor->GetHwnd()) == FALSE; }, 5000);
    EXPECT_TRUE(Docked());
}

TEST_F(PlayerFrameTest, DetachesBeyondSixtyPixelsAndAttachesWithin)
{
    // Hidden or sliding, a move of the player leaves the flag alone.
    MovePlayerOff(200, 0);
    EXPECT_FALSE(player->detached);
    ShowPlayer();
    // Each move starts where the one before left the flag.
    const struct {
        int dx, dy;
        bool detached;
    } moves[] = {
        {60, 0, false},  {61, 0, true},  {60, 0, true},  {59, 0, false},  {-60, 0, false}, {-61, 0, true},
        {-60, 0, true},  {-59, 0, false}, {0, 60, false}, {0, 61, true},   {0, 60, true},   {0, 59, false},
        {0, -60, false}, {0, -61, true}, {0, -60, true}, {0, -59, false}, {59, -59, false}, {61, 59, true},
        {0, 0, false},
    };
    for (const auto& m : moves) {
        MovePlayerOff(m.dx, m.dy);
        EXPECT_EQ(player->detached, m.detached) << m.dx << "," << m.dy;
        // The player's own move never snaps it.
        EXPECT_EQ(B().left, A().left + m.dx);
        EXPECT_EQ(B().top, A().bottom + m.dy);
    }
}

TEST_F(PlayerFrameTest, ADetachedPlayerStaysWhenTheEditorMovesAndSnapsBackAfterItReturns)
{
    ShowPlayer();
    MovePlayerOff(100, 0);
    ASSERT_TRUE(player->detached);
    const RECT away = B();
    MoveEditorBy(20, 10);
    EXPECT_TRUE(player->detached);
    EXPECT_TRUE(SameRect(B(), away));

    MovePlayerOff(30, 0);
    EXPECT_FALSE(player->detached);
    EXPECT_EQ(B().left, A().left + 30) << "not snapped yet";
    MoveEditorBy(10, 0);
    EXPECT_TRUE(Docked());
}

TEST_F(PlayerFrameTest, ListToggleHidesTheEditorAndRearrangesTheTopRowExactlyBack)
{
    ShowPlayer();
    // At start the toggle stands half its width plus 5 right of the template's place.
    RECT templ{174, 0, 174 + 11, 9};
    ::MapDialogRect(player->GetHwnd(), &templ);
    const RECT toggle0 = ClientRectOf(IDC_LIST_TOGGLE);
    const int shift = (templ.right - templ.left) / 2 + 5;
    EXPECT_EQ(toggle0.left, templ.left + shift);
    EXPECT_FALSE(Visible(IDC_CLOSE));
    EXPECT_FALSE(Visible(IDC_TO_TRAY));
    const RECT title0 = ClientRectOf(IDC_TITLE);
    EXPECT_TRUE(SameRect(title0, player->titleRectListShown));
    EXPECT_EQ(player->titleRectListHidden.left, player->titleRectListShown.left + 20);
    EXPECT_EQ(player->titleRectListHidden.right, player->titleRectListShown.right);
    EXPECT_TRUE(editor->IsWindowVisible());

    Click(IDC_LIST_TOGGLE);
    EXPECT_TRUE(player->listHidden);
    EXPECT_FALSE(editor->IsWindowVisible());
    EXPECT_TRUE(player->IsWindowVisible());
    EXPECT_EQ(player->slideState, 0);
    EXPECT_TRUE(Visible(IDC_CLOSE));
    EXPECT_TRUE(Visible(IDC_TO_TRAY));
    EXPECT_TRUE(SameRect(ClientRectOf(IDC_TITLE), player->titleRectListHidden));
    const RECT toggle1 = ClientRectOf(IDC_LIST_TOGGLE);
    EXPECT_EQ(toggle1.left, toggle0.left - shift);
    EXPECT_EQ(toggle1.top, toggle0.top);
    EXPECT_EQ(Face(player->GetHwnd(), IDC_LIST_TOGGLE), player->m_hListHiddenIcon);
    EXPECT_EQ(::GetFocus(), player->GetDlgItem(IDC_PLAY_PAUSE));

    Click(IDC_LIST_TOGGLE);
    EXPECT_FALSE(player->listHidden);
    EXPECT_TRUE(editor->IsWindowVisible());
    EXPECT_FALSE(Visible(IDC_CLOSE));
    EXPECT_FALSE(Visible(IDC_TO_TRAY));
    EXPECT_TRUE(SameRect(ClientRectOf(IDC_TITLE), title0));
    EXPECT_TRUE(SameRect(ClientRectOf(IDC_LIST_TOGGLE), toggle0));
    EXPECT_EQ(Face(player->GetHwnd(), IDC_LIST_TOGGLE), player->m_hListShownIcon);
    EXPECT_EQ(::GetFocus(), player->GetDlgItem(IDC_PLAY_PAUSE));
    EXPECT_EQ(player->slideState, 0);
}

TEST_F(PlayerFrameTest, OnTopSetsAndClearsTopmost)
{
    auto topmost = [&] { return (::GetWindowLongA(player->GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topmost());
    fw::CButton(player->GetDlgItem(IDC_ON_TOP)).SetCheck(BST_CHECKED);
    Click(IDC_ON_TOP);
    EXPECT_TRUE(topmost());
    EXPECT_FALSE((::GetWindowLongA(editor->GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    // Sliding and following the editor keep it on top.
    ShowPlayer();
    MoveEditorBy(20, 20);
    EXPECT_TRUE(Docked());
    EXPECT_TRUE(topmost());
    fw::CButton(player->GetDlgItem(IDC_ON_TOP)).SetCheck(BST_UNCHECKED);
    Click(IDC_ON_TOP);
    EXPECT_FALSE(topmost());
}

TEST_F(PlayerFrameTest, ToTrayMinimisesAndHidesKeepingTheSlideState)
{
    ShowPlayer();
    Click(IDC_LIST_TOGGLE);
    Click(IDC_TO_TRAY);
    EXPECT_FALSE(player->IsWindowVisible());
    EXPECT_TRUE(player->IsIconic());
    EXPECT_EQ(player->slideState, 0);
    EXPECT_TRUE(player->listHidden);
}

TEST_F(PlayerFrameTest, CloseButtonRunsTheEditorsClosePath)
{
    const HWND playerHwnd = player->GetHwnd();
    editor->SetModified(true, false);
    fakeUi.answers = {IDCANCEL};
    Click(IDC_CLOSE);
    ASSERT_TRUE(fw::PumpUntil([&] { return !fakeUi.boxes.empty(); }, 3000));
    EXPECT_EQ(fakeUi.boxes[0].caption, "Save Changes?");
    EXPECT_TRUE(session->Alive()) << "Cancel keeps the program running";

    fakeUi.answers = {IDNO};
    Click(IDC_CLOSE);
    ASSERT_TRUE(fw::PumpUntil([&] { return !session->Alive(); }, 3000));
    EXPECT_FALSE(::IsWindow(playerHwnd));
    EXPECT_TRUE(testing_support::FileExists(session->File("settings.dat")));
}

// The marquee's stepping, with every character 10 pixels wide.
namespace {

int StepOnce(MarqueeState& state, int track, int length, int area)
{
    return MarqueeNextOffset(state, track, length, area, [length](int i) { return (length - i) * 10; });
}

std::vector<int> Steps(MarqueeState& state, int track, int length, int area, int count)
{
    std::vector<int> drawn;
    for (int i = 0; i < count; ++i)
        drawn.push_back(StepOnce(state, track, length, area));
    return drawn;
}

} // namespace

TEST(Marquee, AFittingTitleIsDrawnStill)
{
    MarqueeState state;
    MarqueeFirstPaint(state, 2);
    for (int area : {100, 150}) { // exactly fitting, and with room to spare
        EXPECT_EQ(Steps(state, 2, 10, area, 4), (std::vector<int>{0, 0, 0, 0}));
        EXPECT_EQ(state.offset, 0);
        EXPECT_TRUE(state.forward);
    }
}

TEST(Marquee, ScrollsOneCharacterPerCallToItsEndAndBack)
{
    MarqueeState state;
    MarqueeFirstPaint(state, 3);
    // Ten characters in 65 pixels: the end is in view from character 4 on.
    EXPECT_EQ(Steps(state, 3, 10, 65, 12), (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3}));
    // In 60 pixels the rest from character 4 is exactly as wide: not yet narrower.
    MarqueeState other;
    MarqueeFirstPaint(other, 3);
    EXPECT_EQ(Steps(other, 3, 10, 60, 8), (std::vector<int>{0, 1, 2, 3, 4, 5, 4, 3}));
}

TEST(Marquee, ANewTrackRestartsAtItsFirstCharacter)
{
    MarqueeState state;
    MarqueeFirstPaint(state, 0);
    Steps(state, 0, 20, 50, 5);
    EXPECT_EQ(state.offset, 5);
    EXPECT_EQ(StepOnce(state, 7, 20, 50), 0);
    EXPECT_EQ(state.listIndex, 7);
    EXPECT_EQ(state.offset, 0);
    EXPECT_TRUE(state.forward);
    EXPECT_EQ(Steps(state, 7, 20, 50, 3), (std::vector<int>{0, 1, 2}));
    // Also while scrolling back.
    Steps(state, 7, 20, 50, 20);
    ASSERT_FALSE(state.forward);
    EXPECT_EQ(StepOnce(state, 8, 20, 50), 0);
    EXPECT_TRUE(state.forward);
}

TEST(Marquee, FirstPaintFixesTheTrackOnceAndOffsetsStayInsideTheText)
{
    MarqueeState state;
    MarqueeFirstPaint(state, 4);
    MarqueeFirstPaint(state, 9);
    EXPECT_EQ(state.listIndex, 4);
    Steps(state, 4, 10, 50, 2); // no restart for the track of the first paint
    EXPECT_EQ(state.offset, 2);

    // No area at all, or a text that got shorter under the same list index.
    for (int area : {0, -5}) {
        MarqueeState s2;
        MarqueeFirstPaint(s2, 1);
        for (int from : Steps(s2, 1, 12, area, 60)) {
            EXPECT_GE(from, 0);
            EXPECT_LE(from, 12);
        }
    }
    state.offset = 50;
    const int from = StepOnce(state, 4, 10, 30);
    EXPECT_GE(from, 0);
    EXPECT_LE(from, 10);
}

TEST_F(PlayerFrameTest, TheTitleIsPaintedAndScrollsThroughRealPainting)
{
    ShowPlayer();
    const std::string longPath = "C:\\" + std::string(120, 'w') + "\\very long title.mp3";
    const std::string otherPath = "D:\\" + std::string(100, 'm') + "\\another long one.mp3";
    const std::string shortPath = "C:\\a.mp3";
    player->m_queue.Add(0, longPath.c_str());
    player->m_queue.Add(1, otherPath.c_str());
    player->m_queue.Add(2, shortPath.c_str());

    HWND title = player->GetDlgItem(IDC_TITLE);
    RECT r = player->Item(IDC_TITLE).GetClientRect();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    auto inkedPixels = [&] {
        HDC dc = ::GetDC(title);
        int inked = 0;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; x += 2)
                inked += (::GetPixel(dc, x, y) & 0xFFFFFF) != (face & 0xFFFFFF) ? 1 : 0;
        ::ReleaseDC(title, dc);
        return inked;
    };

    player->m_queue.current = 0;
    player->DrawTitle(false); // a new track for the marquee: from the start
    EXPECT_EQ(marquee.text, player->m_queue.entries[0].path.c_str());
    EXPECT_EQ(marquee.listIndex, 0);
    EXPECT_EQ(marquee.offset, 0);
    EXPECT_GT(inkedPixels(), 0);
    for (int step = 1; step <= 3; ++step) {
        player->DrawTitle(false);
        EXPECT_EQ(marquee.offset, step);
    }
    player->DrawTitle(true);
    EXPECT_EQ(inkedPixels(), 0) << "blank erases the title";
    EXPECT_EQ(marquee.offset, 3) << "blank paints do not step";

    player->m_queue.current = 1;
    player->DrawTitle(false);
    EXPECT_EQ(marquee.listIndex, 1);
    EXPECT_EQ(marquee.offset, 0);

    player->m_queue.current = 2;
    player->DrawTitle(false);
    const int still = marquee.offset;
    for (int i = 0; i < 3; ++i)
        player->DrawTitle(false);
    EXPECT_EQ(marquee.offset, still) << "a fitting title does not move";
    EXPECT_GT(inkedPixels(), 0);

    player->m_queue.current = -1;
    player->DrawTitle(false);
    EXPECT_EQ(marquee.text, nullptr);
    EXPECT_EQ(inkedPixels(), 0);
}

namespace {

// An editor started in a folder whose settings.dat holds the given record.
class SettingsStart {
public:
    explicit SettingsStart(const SettingsRecord& record) : m_dir("ps")
    {
        const auto bytes = SerializeSettings(record);
        testing_support::WriteFileBytes(m_dir.File("settings.dat"),
                                        std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        char previous[MAX_PATH] = "";
        ::GetCurrentDirectoryA(sizeof previous, previous);
        m_previous = previous;
        ::SetCurrentDirectoryA(m_dir.Path().c_str());
        editor = new CEditorDlg(nullptr);
        hwnd = editor->GetHwnd();
    }
    ~SettingsStart()
    {
        if (hwnd && ::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        ::SetCurrentDirectoryA(m_previous.c_str());
    }

    CEditorDlg* editor = nullptr;
    HWND hwnd = nullptr;

private:
    testing_support::ScratchDir m_dir;
    std::string m_previous;
};

SettingsRecord EditorAt(int left, int top)
{
    SettingsRecord record{};
    record.editorPlacement.length = kWindowPlacementLength;
    record.editorPlacement.showCmd = SW_SHOWNORMAL;
    record.editorPlacement.rcNormalPosition = {left, top, left + 420, top + 300};
    return record;
}

} // namespace

TEST(PlayerSettings, AppliedAtStartMutedShuffledOnTopNotRepeatingShownDocked)
{
    FakeUi fakeUi;
    SettingsRecord record = EditorAt(200, 150);
    record.volume = 250;
    record.mute = 1;
    record.shuffle = 1;
    record.onTop = 1;
    record.repeat = 0;
    record.playerShown = 1; // with no stored place of its own: docked
    SettingsStart start(record);
    ASSERT_TRUE(::IsWindow(start.hwnd));
    CPlayerDlg* player = start.editor->m_pPlayer;
    ASSERT_NE(player, nullptr);

    EXPECT_EQ(player->Audio().volume, 0);
    EXPECT_EQ(player->m_volume.GetPos(), 1000);
    EXPECT_FALSE(player->m_volume.IsWindowEnabled());
    EXPECT_EQ(player->m_volumeLevel, 250);
    EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_MUTE)).GetCheck(), BST_CHECKED);
    EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_MUTE)).GetIcon(), player->m_hMutedIcon);
    EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_SHUFFLE)).GetCheck(), BST_CHECKED);
    EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_ON_TOP)).GetCheck(), BST_CHECKED);
    // Topmost once the message loop has run.
    EXPECT_TRUE(fw::PumpUntil([&] { return (::GetWindowLongA(player->GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 2000));
    EXPECT_FALSE(player->m_queue.repeat);
    EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_REPEAT)).GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(player->slideState, 0);
    EXPECT_TRUE(player->IsWindowVisible());
    const RECT a = start.editor->GetWindowRect();
    const RECT b = player->GetWindowRect();
    EXPECT_EQ(b.left, a.left);
    EXPECT_EQ(b.top, a.bottom);

    // Unmuting brings the stored level back.
    fw::CButton(player->GetDlgItem(IDC_MUTE)).SetCheck(BST_UNCHECKED);
    player->OnMute();
    EXPECT_EQ(player->Audio().volume, 250);
    EXPECT_EQ(player->m_volume.GetPos(), 750);
}

TEST(PlayerSettings, AHiddenPlayerStartsHiddenAndAStoredPlaceIsUsed)
{
    FakeUi fakeUi;
    SettingsRecord record = EditorAt(100, 100);
    record.repeat = 1;
    record.volume = 1000;
    record.playerShown = 1;
    record.playerPlacement.length = kWindowPlacementLength;
    record.playerPlacement.showCmd = SW_SHOWNORMAL;
    // Only the place counts: the player keeps its own size.
    record.playerPlacement.rcNormalPosition = {600, 500, 600 + 5000, 500 + 7};
    {
        SettingsStart start(record);
        CPlayerDlg* player = start.editor->m_pPlayer;
        EXPECT_EQ(player->slideState, 0);
        EXPECT_TRUE(player->IsWindowVisible());
        EXPECT_EQ(player->GetWindowRect().left, 600);
        EXPECT_EQ(player->GetWindowRect().top, 500);
        EXPECT_LT(player->GetWindowRect().right - player->GetWindowRect().left, 1000);
        EXPECT_TRUE(player->m_queue.repeat);
        EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_REPEAT)).GetCheck(), BST_CHECKED);
        EXPECT_EQ(fw::CButton(player->GetDlgItem(IDC_MUTE)).GetIcon(), player->m_hUnmutedIcon);
    }
    record.playerShown = 0;
    {
        SettingsStart start(record);
        CPlayerDlg* player = start.editor->m_pPlayer;
        EXPECT_EQ(player->slideState, 1);
        EXPECT_FALSE(player->IsWindowVisible());
    }
}
