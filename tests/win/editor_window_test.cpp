// The editor window itself: start-up in an empty directory, the anchor
// layout, the minimum size, the title with its modified marker, Enter, the
// About box and the one close path with its prompts.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::ScratchDir;

namespace {

const char kBaseTitle[] = "Zoravel's M3U Editor";
const UINT kControls[] = {IDC_TRACK_LIST, IDC_PLAYER_BUTTON, IDC_ADD_TRACKS, IDC_REMOVE,
                          IDC_CLEAR_DUPES, IDC_SEL_STATUS,   IDC_MOVE_UP,    IDC_MOVE_DOWN};

RECT ChildRect(HWND parent, UINT id)
{
    RECT r{};
    ::GetWindowRect(::GetDlgItem(parent, static_cast<int>(id)), &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + ","
           + std::to_string(r.bottom);
}

// Runs whatever is queued (posted keys, paints) before the test goes on.
void Drain()
{
    fw::PumpUntil([] { return true; }, 0);
}

class EditorWindow : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session{"win"};
};

TEST_F(EditorWindow, FirstStartInAnEmptyDirectory)
{
    ASSERT_TRUE(session.Alive());
    CEditorDlg& editor = *session.Editor();
    EXPECT_EQ(editor.GetWindowText(), kBaseTitle);
    EXPECT_EQ(editor.m_strBaseTitle, kBaseTitle);
    EXPECT_TRUE(editor.IsWindowVisible());
    ASSERT_NE(editor.m_pPlayer, nullptr);
    EXPECT_TRUE(editor.m_pPlayer->IsWindow());
    EXPECT_FALSE(editor.m_pPlayer->IsWindowVisible());
    EXPECT_NE(editor.m_pTrayIcon, nullptr);

    EXPECT_EQ(editor.m_hIconPlayerHidden, fw::LoadAppIcon(IDI_PLAYER_HIDDEN));
    EXPECT_EQ(editor.m_hIconPlayerShown, fw::LoadAppIcon(IDI_PLAYER_SHOWN));
    EXPECT_EQ(fw::CButton(editor.GetDlgItem(IDC_PLAYER_BUTTON)).GetIcon(), editor.m_hIconPlayerHidden);
    EXPECT_EQ(::GetFocus(), editor.m_list.GetHwnd());

    EXPECT_STREQ(editor.m_szStartDir, session.Dir().Path().c_str());
    EXPECT_EQ(editor.DataFilePath("settings.dat"), session.File("settings.dat"));
    EXPECT_FALSE(editor.m_bSettingsLoaded);
    EXPECT_FALSE(editor.m_bModified);
    EXPECT_FALSE(editor.m_bHasFile);
    EXPECT_EQ(editor.m_strFileName, "");
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_EQ(editor.m_pPlayer->m_queue.Count(), 0);

    // The template's position is 0, 0: a first start shows it centred.
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    RECT r = editor.GetWindowRect();
    EXPECT_LE(std::abs((r.left + r.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((r.top + r.bottom) - (work.top + work.bottom)), 2);
}

TEST_F(EditorWindow, EveryControlIsRegisteredWhereItStands)
{
    CEditorDlg& editor = *session.Editor();
    RECT client = editor.GetClientRect();
    EXPECT_EQ(editor.m_layout.ClientWidth(), client.right);
    EXPECT_EQ(editor.m_layout.ClientHeight(), client.bottom);
    struct Anchors {
        UINT id;
        int left, right, top, bottom;
    };
    const Anchors expected[] = {
        {IDC_TRACK_LIST, 1, 2, 1, 2},  {IDC_PLAYER_BUTTON, 1, 1, 2, 2}, {IDC_ADD_TRACKS, 1, 1, 2, 2},
        {IDC_REMOVE, 1, 1, 2, 2},      {IDC_CLEAR_DUPES, 1, 1, 2, 2},   {IDC_SEL_STATUS, 1, 1, 2, 2},
        {IDC_MOVE_UP, 2, 2, 2, 2},     {IDC_MOVE_DOWN, 2, 2, 2, 2},
    };
    for (const Anchors& row : expected) {
        SCOPED_TRACE(row.id);
        const AnchorRecord* record = editor.m_layout.Find(row.id);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->id, row.id);
        EXPECT_EQ(record->leftMode, row.left);
        EXPECT_EQ(record->rightMode, row.right);
        EXPECT_EQ(record->topMode, row.top);
        EXPECT_EQ(record->bottomMode, row.bottom);
        EXPECT_TRUE(SameRect(record->rect, ChildRect(editor.GetHwnd(), row.id))) << Text(record->rect);
    }
    EXPECT_EQ(editor.m_layout.Find(IDC_STATIC), nullptr);
}

TEST(AnchorLayout, CalcRectMovesOnlyTheFollowingEdges)
{
    struct Row {
        int left, right, top, bottom;
        RECT expected;
    };
    // Registered at 10,20 - 110,70 in a 400 x 300 client; new client 450 x 280.
    const Row rows[] = {
        {1, 1, 1, 1, {10, 20, 110, 70}},
        {1, 2, 1, 2, {10, 20, 160, 50}},
        {1, 1, 2, 2, {10, 0, 110, 50}},
        {2, 2, 2, 2, {60, 0, 160, 50}},
        {2, 2, 1, 1, {60, 20, 160, 70}},
        {2, 1, 1, 2, {60, 20, 110, 50}},
    };
    for (const Row& row : rows) {
        AnchorRecord record{7, {10, 20, 110, 70}, row.left, row.right, row.top, row.bottom};
        RECT r = CAnchorLayout::CalcRect(record, 450, 280, 400, 300);
        EXPECT_TRUE(SameRect(r, row.expected)) << row.left << row.right << row.top << row.bottom << ": " << Text(r);
        // Always from the registered rectangle: the same size gives it back.
        EXPECT_TRUE(SameRect(CAnchorLayout::CalcRect(record, 400, 300, 400, 300), record.rect));
    }
}

TEST_F(EditorWindow, ResizingLaysTheControlsOut)
{
    CEditorDlg& editor = *session.Editor();
    const HWND hwnd = editor.GetHwnd();
    const int W = editor.m_layout.ClientWidth();
    const int H = editor.m_layout.ClientHeight();
    const RECT listBefore = ChildRect(hwnd, IDC_TRACK_LIST);
    const RECT addBefore = ChildRect(hwnd, IDC_ADD_TRACKS);
    const RECT upBefore = ChildRect(hwnd, IDC_MOVE_UP);

    RECT window = editor.GetWindowRect();
    const int growX[] = {150, 37, 0, 400};
    const int growY[] = {90, 0, 55, 300};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(editor.SetWindowPos(nullptr, 0, 0, window.right - window.left + growX[i],
                                        window.bottom - window.top + growY[i], SWP_NOMOVE | SWP_NOZORDER));
        RECT client = editor.GetClientRect();
        ASSERT_EQ(client.right - W, growX[i]);
        ASSERT_EQ(client.bottom - H, growY[i]);
        for (UINT id : kControls) {
            SCOPED_TRACE(id);
            const RECT expected = CAnchorLayout::CalcRect(*editor.m_layout.Find(id), client.right, client.bottom, W, H);
            EXPECT_TRUE(SameRect(ChildRect(hwnd, id), expected)) << Text(ChildRect(hwnd, id)) << " vs " << Text(expected);
        }
        // Read plainly: the list grows both ways, the left buttons keep to
        // the bottom left, Move Up to the bottom right.
        const RECT list = ChildRect(hwnd, IDC_TRACK_LIST);
        EXPECT_EQ(list.right - list.left, listBefore.right - listBefore.left + growX[i]);
        EXPECT_EQ(list.bottom - list.top, listBefore.bottom - listBefore.top + growY[i]);
        const RECT add = ChildRect(hwnd, IDC_ADD_TRACKS);
        EXPECT_EQ(add.left, addBefore.left);
        EXPECT_EQ(add.top, addBefore.top + growY[i]);
        const RECT up = ChildRect(hwnd, IDC_MOVE_UP);
        EXPECT_EQ(up.left, upBefore.left + growX[i]);
        EXPECT_EQ(up.right - up.left, upBefore.right - upBefore.left);
    }
}

TEST_F(EditorWindow, CannotBeMadeSmallerThanItWasCreated)
{
    CEditorDlg& editor = *session.Editor();
    const RECT created = editor.GetWindowRect();
    EXPECT_EQ(editor.m_ptMinTrackSize.x, created.right - created.left);
    EXPECT_EQ(editor.m_ptMinTrackSize.y, created.bottom - created.top);

    MINMAXINFO info{};
    info.ptMaxTrackSize = {5000, 4000};
    info.ptMinTrackSize = {1, 1};
    editor.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, created.right - created.left);
    EXPECT_EQ(info.ptMinTrackSize.y, created.bottom - created.top);
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000); // the rest stays as the system filled it
    EXPECT_EQ(info.ptMaxTrackSize.y, 4000);

    // The system applies it to a size change of the frame.
    ASSERT_TRUE(editor.SetWindowPos(nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER));
    const RECT after = editor.GetWindowRect();
    EXPECT_GE(after.right - after.left, created.right - created.left);
    EXPECT_GE(after.bottom - after.top, created.bottom - created.top);
}

TEST_F(EditorWindow, MinimisingAndRestoringLeavesTheLayoutAlone)
{
    CEditorDlg& editor = *session.Editor();
    const HWND hwnd = editor.GetHwnd();
    RECT window = editor.GetWindowRect();
    ASSERT_TRUE(editor.SetWindowPos(nullptr, 0, 0, window.right - window.left + 80, window.bottom - window.top + 60,
                                    SWP_NOMOVE | SWP_NOZORDER));
    std::vector<RECT> before;
    for (UINT id : kControls)
        before.push_back(ChildRect(hwnd, id));

    editor.SendMessage(WM_SIZE, SIZE_MINIMIZED, 0); // a zero size moves nothing
    editor.ShowWindow(SW_MINIMIZE);
    Drain();
    EXPECT_TRUE(editor.IsIconic());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(SameRect(ChildRect(hwnd, kControls[i]), before[i])) << kControls[i];
    EXPECT_EQ(reinterpret_cast<HICON>(editor.SendMessage(WM_QUERYDRAGICON)), editor.m_hIcon);

    editor.ShowWindow(SW_RESTORE);
    Drain();
    EXPECT_FALSE(editor.IsIconic());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(SameRect(ChildRect(hwnd, kControls[i]), before[i])) << kControls[i];
}

TEST_F(EditorWindow, TitleFollowsNameAndMarker)
{
    CEditorDlg& editor = *session.Editor();
    const std::string base = kBaseTitle;

    // A change with no file name yet: separator, empty name, marker.
    editor.SetModified(true, false);
    EXPECT_TRUE(editor.m_bModified);
    EXPECT_EQ(editor.GetWindowText(), base + " - *");

    // The same state again does not rewrite the title; force does.
    editor.SetWindowText("sentinel");
    editor.SetModified(true, false);
    EXPECT_EQ(editor.GetWindowText(), "sentinel");
    editor.SetModified(true, true);
    EXPECT_EQ(editor.GetWindowText(), base + " - *");

    editor.m_strFileName = "rock.m3u";
    editor.SetModified(false, false);
    EXPECT_FALSE(editor.m_bModified);
    EXPECT_EQ(editor.GetWindowText(), base + " - rock.m3u");
    editor.SetWindowText("sentinel");
    editor.SetModified(false, false);
    EXPECT_EQ(editor.GetWindowText(), "sentinel");
    editor.SetModified(false, true);
    EXPECT_EQ(editor.GetWindowText(), base + " - rock.m3u");
    editor.SetModified(true, false);
    EXPECT_EQ(editor.GetWindowText(), base + " - rock.m3u*");

    editor.m_strFileName.clear();
    editor.SetModified(false, true);
    EXPECT_EQ(editor.GetWindowText(), base);
}

TEST_F(EditorWindow, EnterDoesNothing)
{
    CEditorDlg& editor = *session.Editor();
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_TRUE(session.Alive());
    EXPECT_TRUE(editor.IsWindowVisible());

    // The key itself, through the dialog manager, with the focus on the list.
    editor.m_list.SetFocus();
    ::PostMessageA(editor.m_list.GetHwnd(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ::PostMessageA(editor.m_list.GetHwnd(), WM_KEYUP, VK_RETURN, 0xC01C0001);
    Drain();
    EXPECT_TRUE(session.Alive());
    EXPECT_TRUE(editor.IsWindowVisible());
    EXPECT_TRUE(ui.boxes.empty());
}

VOID CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR id, DWORD)
{
    if (HWND about = ::FindWindowA(nullptr, "About Quillon")) {
        ::KillTimer(nullptr, id);
        ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

TEST_F(EditorWindow, AboutBoxShowsModallyAndClosesWithOk)
{
    CEditorDlg& editor = *session.Editor();
    // The box runs its own message loop; a thread timer inside it finds it
    // and presses OK.
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CloseAboutBox);
    ASSERT_NE(timer, 0u);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0));
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(::FindWindowA(nullptr, "About Quillon"), nullptr);
    EXPECT_TRUE(session.Alive());
}

TEST_F(EditorWindow, PlayerButtonSlidesThePlayerOutAndBack)
{
    CEditorDlg& editor = *session.Editor();
    CPlayerDlg& player = *editor.m_pPlayer;
    fw::CButton button(editor.GetDlgItem(IDC_PLAYER_BUTTON));
    ASSERT_EQ(player.slideState, 1);

    editor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLAYER_BUTTON, BN_CLICKED));
    EXPECT_EQ(button.GetIcon(), editor.m_hIconPlayerShown);
    ASSERT_TRUE(fw::PumpUntil([&] { return player.slideState == 0; }, 10000));
    EXPECT_TRUE(player.IsWindowVisible());
    // Docked under the editor.
    const RECT a = editor.GetWindowRect();
    const RECT b = player.GetWindowRect();
    EXPECT_EQ(b.left, a.left);
    EXPECT_EQ(b.top, a.bottom);

    // The player follows a move of the editor.
    ASSERT_TRUE(editor.SetWindowPos(nullptr, a.left + 30, a.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    const RECT moved = editor.GetWindowRect();
    EXPECT_EQ(player.GetWindowRect().left, moved.left);
    EXPECT_EQ(player.GetWindowRect().top, moved.bottom);

    editor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLAYER_BUTTON, BN_CLICKED));
    EXPECT_EQ(button.GetIcon(), editor.m_hIconPlayerHidden);
    ASSERT_TRUE(fw::PumpUntil([&] { return player.slideState == 1; }, 10000));
    EXPECT_FALSE(player.IsWindowVisible());
}

TEST_F(EditorWindow, ShowListHidesAndShowsTheEditor)
{
    CEditorDlg& editor = *session.Editor();
    editor.ShowList(false);
    EXPECT_FALSE(editor.IsWindowVisible());
    EXPECT_TRUE(session.Alive());
    editor.ShowList(true);
    EXPECT_TRUE(editor.IsWindowVisible());
}

TEST_F(EditorWindow, TrayCommandsReachThePlayer)
{
    CEditorDlg& editor = *session.Editor();
    CPlayerDlg& player = *editor.m_pPlayer;
    const std::string a = testing_support::FixturePath("track1.mp3");
    const std::string b = testing_support::FixturePath("track2.mp3");
    ASSERT_TRUE(FileExists(a)) << "run scripts/make-fixtures.sh and set QUILLON_FIXTURES";
    ASSERT_TRUE(testing_support::LoadTracks(session, {a, b}));

    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_PLAY_PAUSE, 0));
    EXPECT_EQ(player.m_queue.current, 0);
    EXPECT_TRUE(player.Audio().isPlaying);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_NEXT, 0));
    EXPECT_EQ(player.m_queue.current, 1);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_PREVIOUS, 0));
    EXPECT_EQ(player.m_queue.current, 0);

    // Show Player with the editor hidden brings back a player sent to the tray.
    editor.ShowList(false);
    player.ShowWindow(SW_HIDE);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_SHOW_PLAYER, 0));
    EXPECT_TRUE(player.IsWindowVisible());
    EXPECT_FALSE(editor.IsWindowVisible());
    // With the editor visible it only activates the editor.
    editor.ShowList(true);
    player.ShowWindow(SW_HIDE);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_SHOW_PLAYER, 0));
    EXPECT_FALSE(player.IsWindowVisible());
    EXPECT_TRUE(editor.IsWindowVisible());
}

// ---------------------------------------------------------------------------
// The close path

struct CloseCase {
    const char* name;
    bool modified;
    bool hasFile;
    bool fileWritable;
    std::vector<int> answers;
    bool saveAsChooses; // else the Save as dialog is cancelled
    bool expectClosed;
    size_t expectBoxes;
    bool expectWritten; // the playlist file holds the list afterwards
};

class EditorClosing : public ::testing::TestWithParam<CloseCase> {
protected:
    FakeUi ui;
};

TEST_P(EditorClosing, AsksAndClosesOrStays)
{
    const CloseCase& c = GetParam();
    EditorSession session("close");
    CEditorDlg& editor = *session.Editor();
    const std::string list = session.File("list.m3u");
    const std::string savedAs = session.File("new.m3u");
    ASSERT_TRUE(testing_support::LoadTracks(session, {"C:\\a.mp3", "C:\\b.mp3"}));
    ASSERT_TRUE(testing_support::WriteFileBytes(list, "old\r\n"));
    if (!c.hasFile) {
        editor.m_bHasFile = false;
        editor.m_strFilePath.clear();
    }
    // A file another program holds open without sharing cannot be written.
    HANDLE lock = c.fileWritable ? INVALID_HANDLE_VALUE
                                 : ::CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (!c.fileWritable) {
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    if (c.modified)
        editor.SetModified(true, false);
    ui.answers.assign(c.answers.begin(), c.answers.end());
    ui.fileAnswers.push_back(c.saveAsChooses ? FakeUi::Choose(savedAs) : FakeUi::Cancel());

    // Another current directory must not move the data files.
    ScratchDir elsewhere("cwd");
    ::SetCurrentDirectoryA(elsewhere.Path().c_str());
    editor.SendMessage(WM_CLOSE);

    EXPECT_EQ(!session.Alive(), c.expectClosed);
    ASSERT_EQ(ui.boxes.size(), c.expectBoxes);
    if (c.modified) {
        EXPECT_EQ(ui.boxes[0].text, "Do you want to save your changes?");
        EXPECT_EQ(ui.boxes[0].caption, "Save Changes?");
        EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    }
    const std::string target = c.hasFile ? list : savedAs;
    if (lock != INVALID_HANDLE_VALUE)
        ::CloseHandle(lock);
    lock = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ReadFileBytes(target) == "C:\\a.mp3\r\nC:\\b.mp3\r\n", c.expectWritten);
    EXPECT_EQ(FileExists(session.File("settings.dat")), c.expectClosed);
    EXPECT_EQ(FileExists(session.File("continue.dat")), c.expectClosed);
    EXPECT_FALSE(FileExists(elsewhere.File("settings.dat")));
    if (!c.expectClosed) {
        EXPECT_TRUE(editor.m_bModified); // the changes stay with the list
        EXPECT_EQ(editor.m_list.GetCount(), 2);
    }
    if (lock != INVALID_HANDLE_VALUE)
        ::CloseHandle(lock);
    ::SetCurrentDirectoryA(session.Dir().Path().c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, EditorClosing,
    ::testing::Values(
        CloseCase{"Unmodified", false, true, true, {}, false, true, 0, false},
        CloseCase{"Cancel", true, true, true, {IDCANCEL}, false, false, 1, false},
        CloseCase{"No", true, true, true, {IDNO}, false, true, 1, false},
        CloseCase{"YesSaves", true, true, true, {IDYES}, false, true, 1, true},
        CloseCase{"YesSaveAsCancelled", true, false, true, {IDYES}, false, false, 1, false},
        CloseCase{"YesSaveAsChosen", true, false, true, {IDYES}, true, true, 1, true},
        // A save that fails keeps the program and the list: the prompt, then the error.
        CloseCase{"YesSaveFails", true, true, false, {IDYES}, false, false, 2, false}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(EditorClosePath, EveryTriggerTakesTheOnePath)
{
    FakeUi ui;
    const WPARAM triggers[] = {MAKEWPARAM(IDCANCEL, BN_CLICKED), MAKEWPARAM(ID_FILE_EXIT, 0),
                               MAKEWPARAM(ID_TRAY_EXIT, 0)};
    for (WPARAM trigger : triggers) {
        SCOPED_TRACE(LOWORD(trigger));
        EditorSession session("trig");
        session->SetModified(true, false);
        ui.boxes.clear();
        ui.answers = {IDCANCEL};
        session->SendMessage(WM_COMMAND, trigger);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].caption, "Save Changes?");
        EXPECT_TRUE(session.Alive());

        ui.answers = {IDNO};
        session->SendMessage(WM_COMMAND, trigger);
        EXPECT_FALSE(session.Alive());
        EXPECT_TRUE(FileExists(session.File("settings.dat")));
    }
}

} // namespace
