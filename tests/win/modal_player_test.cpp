// The player under real timer ticks and a real pointer: the tray's image
// after a pause ends, and the tooltips of the title and of disabled buttons.
#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/modal_support.h"
#include "tray/tray_seam.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

constexpr UINT_PTR kTitleTimer = 1; // the player's, which blinks the tray while paused

HICON g_trayIcon = nullptr;

BOOL WINAPI RecordTrayIcon(DWORD message, PNOTIFYICONDATAA data)
{
    if (message != NIM_DELETE && (data->uFlags & NIF_ICON))
        g_trayIcon = data->hIcon;
    return TRUE;
}

struct Resume {
    const char* name;
    HWND (*target)(EditorSession&);
    int command;
};

HWND PlayerOf(EditorSession& s) { return s->Player().GetHwnd(); }
HWND EditorOf(EditorSession& s) { return s.Hwnd(); }

// A paused track played on by Rewind or Fast Forward, or stopped by New or
// Open: over the next ticks the tray shows the program's icon, not a frozen
// paused image.
TEST(ModalPlayer, TheTrayShowsTheProgramsIconOnceAPauseEnds)
{
    const Resume rows[] = {{"Rewind", PlayerOf, IDC_REWIND},
                           {"Fast Forward", PlayerOf, IDC_FAST_FORWARD},
                           {"New", EditorOf, ID_FILE_NEW},
                           {"Open", EditorOf, ID_FILE_OPEN}};
    const tray::NotifyIconFn previous = tray::SetNotifyIcon(RecordTrayIcon);
    for (const Resume& row : rows) {
        SCOPED_TRACE(row.name);
        FakeUi ui;
        EditorSession session("tray");
        ASSERT_TRUE(LoadTracks(session, {FixturePath("tone8s.mp3")}));
        ASSERT_TRUE(WriteFileBytes(session.File("other.m3u"), FixturePath("tone5s.mp3") + "\r\n"));
        ui.fileAnswers = {FakeUi::Choose(session.File("other.m3u"))};
        const HICON programIcon = reinterpret_cast<HICON>(::SendMessageA(session.Hwnd(), WM_GETICON, ICON_SMALL, 0));
        session->Player().OnPlayPause();
        ASSERT_TRUE(PumpTicks(PlayerOf(session), kTitleTimer, 1));
        session->Player().OnPlayPause();
        ASSERT_NE(g_trayIcon, programIcon) << "paused, the tray shows the paused image";

        ::SendMessageA(row.target(session), WM_COMMAND, MAKEWPARAM(row.command, BN_CLICKED), 0);
        ASSERT_TRUE(PumpTicks(PlayerOf(session), kTitleTimer, 3));
        EXPECT_EQ(g_trayIcon, programIcon);
    }
    tray::SetNotifyIcon(previous);
}

BOOL CALLBACK FindShownTip(HWND window, LPARAM text)
{
    char name[32] = "";
    ::GetClassNameA(window, name, sizeof name);
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId() ||
        ::lstrcmpiA(name, "tooltips_class32") != 0 || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<std::string*>(text) = TextOf(window);
    return FALSE;
}

// The text of this thread's tooltip that is shown, if one is.
bool TipShown(std::string& text) { return !::EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&text)); }

// Moves the real pointer (X11, through xdotool) and waits until it is there.
bool MovePointer(int x, int y)
{
    POINT at{};
    return StartUnix("/usr/bin/xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)) &&
           fw::PumpUntil([&] { return ::GetCursorPos(&at) && at.x == x && at.y == y; }, 10000);
}

// The player is dragged by its surface and its title lets the mouse through;
// disabled buttons get no mouse messages: their tips show all the same.
TEST(ModalPlayer, TooltipsShowUnderARealHover)
{
    FakeUi ui;
    EditorSession session("hover");
    const std::string first = FixturePath("tone8s.mp3");
    ASSERT_TRUE(LoadTracks(session, {first, FixturePath("track2.mp3")}));
    PlayerSettings shown = session->Player().Settings();
    shown.shown = true;
    session->Player().Apply(shown);
    session->Player().OnPlayPause();
    const HWND player = PlayerOf(session);
    ASSERT_FALSE(::IsWindowEnabled(::GetDlgItem(player, IDC_PREVIOUS)));
    const struct {
        int id;
        std::string tip;
    } rows[] = {{IDC_TITLE, first}, {IDC_PREVIOUS, "Previous"}, {IDC_NEXT, "track2.mp3"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tip);
        RECT r{};
        ::GetWindowRect(::GetDlgItem(player, row.id), &r);
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        std::string tip;
        // Away first, so that no tip of the row before stays up.
        ASSERT_TRUE(MovePointer(x, y - 200));
        fw::PumpUntil([&] { return !TipShown(tip); }, 5000);
        ASSERT_TRUE(MovePointer(x, y) && MovePointer(x + 1, y));
        EXPECT_TRUE(fw::PumpUntil([&] { return TipShown(tip); }, 5000));
        EXPECT_EQ(tip, row.tip);
    }
}

} // namespace
