// The tray icon. First on its own, with a plain window of the test as the
// owner: the record it hands to the shell, its hidden window, the tip
// shortening, the shell restart and the right-click menu. Then in the
// program: the editor and player windows with real MCI behind the callbacks.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "framework/window.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/fake_ui.h"
#include "tray/tray_icon.h"
#include "tray/tray_seam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// What the shell was told: the message and the bytes the record claims to have.
struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<NotifyCall> g_calls;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data)
{
    NotifyCall call{message, {}};
    size_t size = data->cbSize < sizeof call.data ? data->cbSize : sizeof call.data;
    std::memcpy(&call.data, data, size);
    g_calls.push_back(call);
    return TRUE;
}

// The owner window records the commands and the WM_NULL that were posted to it.
struct OwnerEvent {
    UINT message;
    WPARAM wParam;
};
std::vector<OwnerEvent> g_ownerEvents;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || (message == WM_NULL && !::InSendMessage()))
        g_ownerEvents.push_back({message, wParam});
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateOwner()
{
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = fw::AppInstance();
        wc.lpszClassName = "TrayTestOwner";
        return ::RegisterClassA(&wc);
    }();
    (void)atom;
    return ::CreateWindowExA(0, "TrayTestOwner", "owner", WS_POPUP, 300, 300, 50, 50, nullptr, nullptr,
                             fw::AppInstance(), nullptr);
}

// Watches for popup menus from a thread timer (the menu's modal loop
// dispatches timers): the next menu gets the queued keys; a menu nobody
// expected, or one that ignores its keys, is ended so that no run hangs.
struct MenuWatch {
    std::vector<WPARAM> keys;
    bool armed = false;
    bool seen = false;
    RECT rect{};
    int items = -1;
    int unexpected = 0;
    HWND answered = nullptr;
    int staleTicks = 0;
};
MenuWatch g_menuWatch;
UINT_PTR g_menuTimer = 0;

HWND FindOwnMenuWindow()
{
    HWND found = nullptr;
    while ((found = ::FindWindowExA(nullptr, found, "#32768", nullptr)) != nullptr) {
        if (::IsWindowVisible(found) && ::GetWindowThreadProcessId(found, nullptr) == ::GetCurrentThreadId())
            return found;
    }
    return nullptr;
}

VOID CALLBACK WatchMenuTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindOwnMenuWindow();
    if (!menu)
        return;
    if (menu == g_menuWatch.answered) {
        if (++g_menuWatch.staleTicks > 250)
            ::EndMenu();
        return;
    }
    if (!g_menuWatch.armed) {
        ++g_menuWatch.unexpected;
        ::EndMenu();
        return;
    }
    g_menuWatch.armed = false;
    g_menuWatch.seen = true;
    g_menuWatch.answered = menu;
    g_menuWatch.staleTicks = 0;
    ::GetWindowRect(menu, &g_menuWatch.rect);
    HMENU shown = reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0));
    g_menuWatch.items = ::GetMenuItemCount(shown);
    for (WPARAM key : g_menuWatch.keys)
        ::PostMessageA(menu, WM_KEYDOWN, key, 0);
}

void StartMenuWatch()
{
    g_menuWatch = MenuWatch{};
    g_menuTimer = ::SetTimer(nullptr, 0, 20, WatchMenuTimer);
}

void StopMenuWatch()
{
    if (g_menuTimer)
        ::KillTimer(nullptr, g_menuTimer);
    g_menuTimer = 0;
}

void AnswerNextMenuWith(std::vector<WPARAM> keys)
{
    g_menuWatch.keys = std::move(keys);
    g_menuWatch.armed = true;
    g_menuWatch.seen = false;
    g_menuWatch.items = -1;
    g_menuWatch.rect = RECT{};
}

void DrainMessages()
{
    fw::PumpUntil([] { return false; }, 0);
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_ownerEvents.clear();
        tray::SetNotifyIcon(RecordNotify);
        StartMenuWatch();
        owner = CreateOwner();
        ASSERT_NE(owner, nullptr);
        appIcon = fw::LoadAppIconSmall(IDI_APP);
        pausedIcon = fw::LoadAppIconSmall(IDI_PAUSED_TRAY);
    }
    void TearDown() override
    {
        StopMenuWatch();
        EXPECT_EQ(g_menuWatch.unexpected, 0) << "a menu opened that no test asked for";
        ::DestroyWindow(owner);
        DrainMessages();
        tray::SetNotifyIcon(nullptr);
    }

    std::vector<NotifyCall> CallsOf(DWORD message) const
    {
        std::vector<NotifyCall> out;
        for (const NotifyCall& c : g_calls)
            if (c.message == message)
                out.push_back(c);
        return out;
    }

    void RightClick(CTrayIcon& icon) { ::SendMessageA(icon.GetHwnd(), icon.m_nTrayMessage, IDR_TRAYMENU, WM_RBUTTONUP); }

    HWND owner = nullptr;
    HICON appIcon = nullptr;
    HICON pausedIcon = nullptr;
};

void ExpectRecord(const NOTIFYICONDATAA& nid, const CTrayIcon& icon, UINT flags, HICON hIcon, const char* tip)
{
    EXPECT_EQ(nid.cbSize, 88u);
    EXPECT_EQ(nid.hWnd, icon.GetHwnd());
    EXPECT_EQ(nid.uID, static_cast<UINT>(IDR_TRAYMENU));
    EXPECT_EQ(nid.uFlags, flags);
    EXPECT_EQ(nid.uCallbackMessage, ::RegisterWindowMessageA("TRAY_MSG"));
    EXPECT_EQ(nid.hIcon, hIcon);
    EXPECT_STREQ(nid.szTip, tip);
}

TEST_F(TrayIconTest, ConstructionAddsTheIconOnceWithTheFirstFormOfTheRecord)
{
    {
        CTrayIcon icon(owner, nullptr, appIcon, "Zoravel's M3U Editor", IDR_TRAYMENU);
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].message, static_cast<DWORD>(NIM_ADD));
        ExpectRecord(g_calls[0].data, icon, NIF_MESSAGE | NIF_ICON | NIF_TIP, appIcon, "Zoravel's M3U Editor");
        EXPECT_EQ(NIF_MESSAGE | NIF_ICON | NIF_TIP, 7);

        EXPECT_EQ(icon.m_nTrayMessage, ::RegisterWindowMessageA("TRAY_MSG"));
        EXPECT_NE(icon.m_nTrayMessage, 0u);
        EXPECT_EQ(icon.m_pOwner, owner);
        EXPECT_EQ(icon.m_pPlayerWnd, nullptr);
        EXPECT_EQ(icon.m_strTip, "Zoravel's M3U Editor");
    }
    // The destructor takes it out again, with no flags, and nothing else.
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[1].data.uFlags, 0u);
    EXPECT_EQ(g_calls[1].data.uID, static_cast<UINT>(IDR_TRAYMENU));
    EXPECT_EQ(g_calls[1].data.hWnd, g_calls[0].data.hWnd);
}

TEST_F(TrayIconTest, HiddenWindowIsABareInvisiblePopupOfItsOwnClass)
{
    HWND first = nullptr;
    {
        CTrayIcon icon(owner, nullptr, appIcon, "tip", IDR_TRAYMENU);
        HWND hwnd = icon.GetHwnd();
        first = hwnd;
        ASSERT_TRUE(::IsWindow(hwnd));
        EXPECT_FALSE(::IsWindowVisible(hwnd));
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_POPUP));
        EXPECT_EQ(::GetParent(hwnd), nullptr);
        EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), nullptr);
        EXPECT_EQ(::GetMenu(hwnd), nullptr);
        EXPECT_EQ(::GetWindowTextLengthA(hwnd), 0);
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right - r.left, 10);
        EXPECT_EQ(r.bottom - r.top, 10);
        EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0);
        EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), 0);
        EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HICON), 0);

        // A second icon shares the class that was registered for the first.
        CTrayIcon second(owner, nullptr, appIcon, "tip", IDR_TRAYMENU);
        ASSERT_TRUE(::IsWindow(second.GetHwnd()));
        EXPECT_NE(second.GetHwnd(), hwnd);
        EXPECT_EQ(::GetClassLongA(second.GetHwnd(), GCW_ATOM), ::GetClassLongA(hwnd, GCW_ATOM));
    }
    EXPECT_FALSE(::IsWindow(first));
}

TEST_F(TrayIconTest, TipAndIconChangesModifyTheIconWithAllThreeFlags)
{
    CTrayIcon icon(owner, nullptr, appIcon, "Zoravel's M3U Editor", IDR_TRAYMENU);
    icon.SetTrayTip("tone8s.mp3");
    icon.SetTrayIcon(pausedIcon);
    icon.SetTrayTip(nullptr);
    icon.SetTrayIcon(appIcon);

    std::vector<NotifyCall> modifies = CallsOf(NIM_MODIFY);
    ASSERT_EQ(modifies.size(), 4u);
    ExpectRecord(modifies[0].data, icon, 7, appIcon, "tone8s.mp3");
    ExpectRecord(modifies[1].data, icon, 7, pausedIcon, "tone8s.mp3");
    ExpectRecord(modifies[2].data, icon, 7, pausedIcon, "");
    ExpectRecord(modifies[3].data, icon, 7, appIcon, "");
    EXPECT_EQ(icon.m_strTip, "");
}

std::string Repeat(char c, size_t n) { return std::string(n, c); }

TEST_F(TrayIconTest, LongTipsAreCutWithAnEllipsisInsideTheTipRoom)
{
    struct Case {
        std::string text;
        std::string tip;
    } cases[] = {
        {"", ""},
        {"a.mp3", "a.mp3"},
        {Repeat('x', 62), Repeat('x', 62)},
        {Repeat('x', 63), Repeat('x', 63)},
        {Repeat('y', 64), Repeat('y', 60) + "..."},
        {Repeat('z', 96) + ".mp3", Repeat('z', 60) + "..."},
        {Repeat('w', 300), Repeat('w', 60) + "..."},
    };
    CTrayIcon icon(owner, nullptr, appIcon, "", IDR_TRAYMENU);
    for (const Case& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.text.size()));
        g_calls.clear();
        icon.SetTrayTip(c.text.c_str());
        ASSERT_EQ(g_calls.size(), 1u);
        const NOTIFYICONDATAA& sent = g_calls[0].data;
        ASSERT_NE(std::memchr(sent.szTip, '\0', 64), nullptr);
        EXPECT_EQ(std::string(sent.szTip), c.tip);
        EXPECT_LE(std::strlen(sent.szTip), 63u);
        // The program keeps the whole text; only the record is shortened.
        EXPECT_EQ(icon.m_strTip, c.text);
        // The later forms of the record have more tip room: none of it is touched.
        for (size_t i = 64; i < sizeof icon.m_nid.szTip; ++i)
            ASSERT_EQ(icon.m_nid.szTip[i], '\0') << "byte " << i;
    }

    // A long tip given at construction is cut the same way.
    g_calls.clear();
    std::string hundred = Repeat('q', 100);
    CTrayIcon longTip(owner, nullptr, appIcon, hundred.c_str(), IDR_TRAYMENU);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(std::string(g_calls[0].data.szTip), Repeat('q', 60) + "...");
    EXPECT_EQ(longTip.m_strTip, hundred);
}

TEST(TrayTipCopy, NeverWritesPastTheBufferWhateverItsSize)
{
    const std::string text = Repeat('t', 80);
    struct Case {
        size_t size;
        std::string expected;
    } cases[] = {
        {1, ""}, {2, "t"}, {4, "ttt"}, {5, "t..."}, {8, "tttt..."}, {64, Repeat('t', 60) + "..."}, {81, text}, {200, text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        char buffer[256];
        std::memset(buffer, 0x5A, sizeof buffer);
        tray::CopyTip(text.c_str(), buffer, c.size);
        EXPECT_EQ(std::string(buffer), c.expected);
        for (size_t i = c.size; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], 0x5A) << "byte " << i;
    }
    // No buffer, no room, no text: nothing happens or an empty tip.
    char untouched = 'u';
    tray::CopyTip(text.c_str(), &untouched, 0);
    EXPECT_EQ(untouched, 'u');
    tray::CopyTip(text.c_str(), nullptr, 64);
    char empty[8] = "xxxxxxx";
    tray::CopyTip(nullptr, empty, sizeof empty);
    EXPECT_STREQ(empty, "");
}

TEST_F(TrayIconTest, ShellRestartAddsTheIconAgainAsItStandsNow)
{
    CTrayIcon icon(owner, nullptr, appIcon, "Zoravel's M3U Editor", IDR_TRAYMENU);
    icon.SetTrayTip("track2.mp3");
    icon.SetTrayIcon(pausedIcon);
    g_calls.clear();

    UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_TRUE(::PostMessageA(icon.GetHwnd(), taskbarCreated, 0, 0));
    ASSERT_TRUE(fw::PumpUntil([] { return !g_calls.empty(); }, 5000));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].message, static_cast<DWORD>(NIM_ADD));
    ExpectRecord(g_calls[0].data, icon, 7, pausedIcon, "track2.mp3");

    // Every restart, not only the first.
    ::SendMessageA(icon.GetHwnd(), taskbarCreated, 0, 0);
    EXPECT_EQ(CallsOf(NIM_ADD).size(), 2u);
}

TEST_F(TrayIconTest, RealShellAcceptsTheRecordAndForgetsItAtTheEnd)
{
    // Through Shell_NotifyIconA itself: Wine's tray must take the 88-byte record.
    tray::SetNotifyIcon(nullptr);
    NOTIFYICONDATAA probe{};
    {
        CTrayIcon realIcon(owner, nullptr, appIcon, "Zoravel's M3U Editor", IDR_TRAYMENU);
        probe = realIcon.m_nid;
        EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the icon was not added";
    }
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the icon was not removed";
}

TEST_F(TrayIconTest, OtherCallbacksAndALeftClickWithoutPlayerDoNothing)
{
    CTrayIcon icon(owner, nullptr, appIcon, "tip", IDR_TRAYMENU);
    g_calls.clear();
    const UINT mouse[] = {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                          WM_MOUSEMOVE, WM_MBUTTONUP, 0};
    for (UINT m : mouse)
        ::SendMessageA(icon.GetHwnd(), icon.m_nTrayMessage, IDR_TRAYMENU, m);
    DrainMessages();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(g_ownerEvents.empty());
    EXPECT_EQ(FindOwnMenuWindow(), nullptr);
}

TEST_F(TrayIconTest, RightClickMenuSendsTheChosenCommandToTheOwnerThenWmNull)
{
    struct Case {
        const char* name;
        std::vector<WPARAM> keys;
        int command; // 0: no command
    } cases[] = {
        {"Show Player by mnemonic", {'S'}, ID_TRAY_SHOW_PLAYER},
        {"Previous by mnemonic", {'V'}, ID_TRAY_PREVIOUS},
        {"Next by mnemonic", {'N'}, ID_TRAY_NEXT},
        {"Exit by mnemonic", {'X'}, ID_TRAY_EXIT},
        {"Next by arrows", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, ID_TRAY_NEXT},
        {"Escape", {VK_ESCAPE}, 0},
    };
    CTrayIcon icon(owner, nullptr, appIcon, "tip", IDR_TRAYMENU);
    ::SetCursorPos(200, 180);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_ownerEvents.clear();
        AnswerNextMenuWith(c.keys);
        RightClick(icon); // returns when the menu has closed
        EXPECT_TRUE(g_menuWatch.seen);
        EXPECT_EQ(g_menuWatch.items, 6); // four commands, two separators
        EXPECT_EQ(g_menuWatch.rect.left, cursor.x);
        EXPECT_EQ(g_menuWatch.rect.top, cursor.y);
        EXPECT_EQ(FindOwnMenuWindow(), nullptr);

        size_t expected = c.command ? 2u : 1u;
        ASSERT_TRUE(fw::PumpUntil([&] { return g_ownerEvents.size() >= expected; }, 5000));
        DrainMessages();
        ASSERT_EQ(g_ownerEvents.size(), expected);
        if (c.command) {
            EXPECT_EQ(g_ownerEvents[0].message, static_cast<UINT>(WM_COMMAND));
            EXPECT_EQ(LOWORD(g_ownerEvents[0].wParam), c.command);
        }
        EXPECT_EQ(g_ownerEvents.back().message, static_cast<UINT>(WM_NULL));
        EXPECT_EQ(g_ownerEvents.back().wParam, 0u);
    }
    // The menu changes nothing in the notification area.
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(TrayIconTest, RightClickWithAMenuThatCannotBeLoadedDoesNothing)
{
    const UINT missingMenu = 9999;
    CTrayIcon icon(owner, nullptr, appIcon, "tip", missingMenu);
    AnswerNextMenuWith({VK_ESCAPE});
    ::SendMessageA(icon.GetHwnd(), icon.m_nTrayMessage, missingMenu, WM_RBUTTONUP);
    DrainMessages();
    EXPECT_FALSE(g_menuWatch.seen);
    EXPECT_TRUE(g_ownerEvents.empty()); // not even WM_NULL
    EXPECT_EQ(g_calls.size(), 1u);
}

// ---------------------------------------------------------------------------
// In the program: the editor owns the icon, the player answers its clicks.

using testing_support::FakeUi;
using testing_support::FixturePath;
using testing_support::ScratchDir;

std::string FixtureFolder()
{
    std::string path = FixturePath("x");
    return path.substr(0, path.size() - 2);
}

class TrayInProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        tray::SetNotifyIcon(RecordNotify);
        StartMenuWatch();
        fake = std::make_unique<FakeUi>();
        scratch = std::make_unique<ScratchDir>("tray");
        ::GetCurrentDirectoryA(sizeof savedDir, savedDir);
        ASSERT_TRUE(::SetCurrentDirectoryA(scratch->Path().c_str()));
        editor = new CEditorDlg(nullptr);
        hEditor = editor->GetHwnd();
        ASSERT_TRUE(::IsWindow(hEditor));
        ASSERT_NE(editor->m_pPlayer, nullptr);
        ASSERT_NE(editor->m_pTrayIcon, nullptr);
        player = editor->m_pPlayer;
        icon = editor->m_pTrayIcon;
        hTray = icon->GetHwnd();
        editorIcon = reinterpret_cast<HICON>(::SendMessageA(hEditor, WM_GETICON, ICON_SMALL, 0));
    }

    void TearDown() override
    {
        StopMenuWatch();
        EXPECT_EQ(g_menuWatch.unexpected, 0) << "a menu opened that no test asked for";
        if (::IsWindow(hEditor)) {
            ::DestroyWindow(hEditor); // deletes the editor, the player and the icon
            fw::PumpUntil([this] { return !::IsWindow(hEditor); }, 5000);
        }
        DrainMessages();
        ::SetCurrentDirectoryA(savedDir);
        tray::SetNotifyIcon(nullptr);
        scratch.reset();
        fake.reset();
    }

    CMciAudio& Audio() { return player->Audio(); }

    void AddTracks(const std::vector<std::string>& names, const std::string& folder = FixtureFolder())
    {
        fake->fileAnswers.push_back(FakeUi::ChooseMany(folder, names));
        editor->OnAddTracks();
        ASSERT_EQ(editor->m_list.GetCount(), static_cast<int>(names.size()));
    }

    // What the shell does: the callback message, posted, with the mouse message in lParam.
    void Click(UINT mouseMessage) { ::PostMessageA(hTray, icon->m_nTrayMessage, IDR_TRAYMENU, mouseMessage); }

    // A right click answered with keys; returns when the menu is gone again.
    void ChooseFromMenu(std::vector<WPARAM> keys)
    {
        AnswerNextMenuWith(std::move(keys));
        Click(WM_RBUTTONUP);
        ASSERT_TRUE(fw::PumpUntil([] { return g_menuWatch.seen && !FindOwnMenuWindow(); }, 10000))
            << "the tray menu did not open or close";
    }

    void StartFirstTrackByLeftClick()
    {
        Click(WM_LBUTTONUP);
        ASSERT_TRUE(fw::PumpUntil([this] { return Audio().isPlaying && !Audio().isPaused; }, 10000));
        ASSERT_EQ(player->m_queue.current, 0);
    }

    bool WaitForCurrent(int position)
    {
        return fw::PumpUntil([&] { return player->m_queue.current == position && Audio().isPlaying; }, 10000);
    }

    std::vector<NotifyCall> CallsOf(DWORD message) const
    {
        std::vector<NotifyCall> out;
        for (const NotifyCall& c : g_calls)
            if (c.message == message)
                out.push_back(c);
        return out;
    }

    std::unique_ptr<FakeUi> fake;
    std::unique_ptr<ScratchDir> scratch;
    char savedDir[MAX_PATH] = "";
    CEditorDlg* editor = nullptr;
    CPlayerDlg* player = nullptr;
    CTrayIcon* icon = nullptr;
    HWND hEditor = nullptr;
    HWND hTray = nullptr;
    HICON editorIcon = nullptr;
};

TEST_F(TrayInProgramTest, StartUpAddsTheIconWithTheEditorTitleAndIcon)
{
    std::vector<NotifyCall> adds = CallsOf(NIM_ADD);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(g_calls.front().message, static_cast<DWORD>(NIM_ADD));
    ExpectRecord(adds[0].data, *icon, 7, editor->m_hIcon, "Zoravel's M3U Editor");
    EXPECT_EQ(icon->m_pOwner, hEditor);
    EXPECT_EQ(icon->m_pPlayerWnd, player);
    EXPECT_EQ(icon->m_strTip, editor->m_strBaseTitle);
    EXPECT_TRUE(CallsOf(NIM_DELETE).empty());
}

TEST_F(TrayInProgramTest, LeftClickPausesAPlayingTrackAndResumesAPausedOne)
{
    AddTracks({"tone8s.mp3", "tone5s.mp3"});
    StartFirstTrackByLeftClick();

    Click(WM_LBUTTONUP);
    ASSERT_TRUE(fw::PumpUntil([this] { return Audio().isPaused; }, 10000));
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(g_calls.back().data.hIcon, player->m_hPausedTrayIcon);
    const int pausedAt = Audio().GetPosition();

    Click(WM_LBUTTONUP);
    ASSERT_TRUE(fw::PumpUntil([this] { return !Audio().isPaused; }, 10000));
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_EQ(g_calls.back().data.hIcon, editorIcon);
    // The device really goes on from where it stood.
    EXPECT_TRUE(fw::PumpUntil([&] { return Audio().GetPosition() > pausedAt; }, 10000));
    EXPECT_EQ(player->m_queue.current, 0);
}

TEST_F(TrayInProgramTest, DoubleClickTogglesTwice)
{
    AddTracks({"tone8s.mp3"});
    StartFirstTrackByLeftClick();
    g_calls.clear();

    // What a double click on the icon brings: down, up, double click, up.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        Click(m);
    DrainMessages();

    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_FALSE(Audio().isPaused);
    // Paused once, resumed once.
    std::vector<HICON> icons;
    for (const NotifyCall& c : CallsOf(NIM_MODIFY))
        icons.push_back(c.data.hIcon);
    ASSERT_GE(icons.size(), 2u);
    EXPECT_EQ(std::count(icons.begin(), icons.end(), player->m_hPausedTrayIcon), 1);
    EXPECT_EQ(icons.back(), editorIcon);
}

TEST_F(TrayInProgramTest, TipNamesTheStartedTrackWithoutItsFolder)
{
    // A name too long for the tip: the copy is cut, the program keeps it whole.
    const std::string longName = std::string(96, 'L') + ".mp3";
    ASSERT_TRUE(::CopyFileA(FixturePath("tone5s.mp3").c_str(), scratch->File(longName.c_str()).c_str(), FALSE));
    AddTracks({"tone8s.mp3"});
    fake->fileAnswers.push_back(FakeUi::ChooseMany(scratch->Path(), {longName}));
    editor->OnAddTracks();
    ASSERT_EQ(editor->m_list.GetCount(), 2);

    StartFirstTrackByLeftClick();
    EXPECT_EQ(icon->m_strTip, "tone8s.mp3");
    EXPECT_STREQ(icon->m_nid.szTip, "tone8s.mp3");
    std::vector<NotifyCall> modifies = CallsOf(NIM_MODIFY);
    ASSERT_FALSE(modifies.empty());
    EXPECT_STREQ(modifies.back().data.szTip, "tone8s.mp3");

    ChooseFromMenu({'N'});
    ASSERT_TRUE(WaitForCurrent(1));
    EXPECT_EQ(icon->m_strTip, longName);
    const NOTIFYICONDATAA& sent = g_calls.back().data;
    ASSERT_NE(std::memchr(sent.szTip, '\0', 64), nullptr);
    EXPECT_EQ(std::string(sent.szTip), std::string(60, 'L') + "...");
    for (size_t i = 64; i < sizeof icon->m_nid.szTip; ++i)
        ASSERT_EQ(icon->m_nid.szTip[i], '\0') << "byte " << i;
}

TEST_F(TrayInProgramTest, IconBlinksWhilePausedAndReturnsToTheProgramIconOnResume)
{
    AddTracks({"tone8s.mp3"});
    StartFirstTrackByLeftClick();
    Click(WM_LBUTTONUP);
    ASSERT_TRUE(fw::PumpUntil([this] { return Audio().isPaused; }, 10000));
    g_calls.clear();

    // Real ticks of the title timer, every 700 ms.
    ASSERT_TRUE(fw::PumpUntil([] { return g_calls.size() >= 4; }, 15000));
    std::vector<HICON> icons;
    for (const NotifyCall& c : g_calls) {
        EXPECT_EQ(c.message, static_cast<DWORD>(NIM_MODIFY));
        icons.push_back(c.data.hIcon);
    }
    for (size_t i = 0; i < icons.size(); ++i) {
        EXPECT_TRUE(icons[i] == player->m_hPausedTrayIcon || icons[i] == editorIcon) << "tick " << i;
        if (i > 0) {
            EXPECT_NE(icons[i], icons[i - 1]) << "tick " << i;
        }
    }
    EXPECT_NE(player->m_hPausedTrayIcon, editorIcon);

    Click(WM_LBUTTONUP);
    ASSERT_TRUE(fw::PumpUntil([this] { return !Audio().isPaused; }, 10000));
    EXPECT_EQ(g_calls.back().data.hIcon, editorIcon);
    // Playing again: the title timer leaves the icon alone.
    g_calls.clear();
    for (int tick = 0; tick < 4; ++tick)
        player->OnTitleTimer();
    for (const NotifyCall& c : g_calls)
        EXPECT_EQ(c.data.hIcon, editorIcon);
}

struct WindowsCase {
    const char* name;
    bool hideBoth;
};
void PrintTo(const WindowsCase& c, std::ostream* os) { *os << c.name; }

class TrayMenuTest : public TrayInProgramTest, public ::testing::WithParamInterface<WindowsCase> {
protected:
    void HideWindowsIfAsked()
    {
        if (!GetParam().hideBoth)
            return;
        editor->ShowWindow(SW_HIDE);
        player->ShowWindow(SW_HIDE);
        ASSERT_FALSE(::IsWindowVisible(hEditor));
        ASSERT_FALSE(::IsWindowVisible(player->GetHwnd()));
    }
};

TEST_P(TrayMenuTest, NextAndPreviousDoWhatTheButtonsDo)
{
    AddTracks({"tone8s.mp3", "tone5s.mp3", "tone8s.mp3"});
    HideWindowsIfAsked();
    StartFirstTrackByLeftClick();

    ChooseFromMenu({'N'});
    ASSERT_TRUE(WaitForCurrent(1));
    EXPECT_EQ(icon->m_strTip, "tone5s.mp3");
    EXPECT_EQ(player->Item(IDC_TRACK_COUNTER).GetWindowText(), "2 of 3");

    ChooseFromMenu({'N'});
    ASSERT_TRUE(WaitForCurrent(2));
    EXPECT_EQ(player->Item(IDC_TRACK_COUNTER).GetWindowText(), "3 of 3");

    // Past the list's last track Next only beeps, as the button does.
    fake->beeps.clear();
    ChooseFromMenu({'N'});
    ASSERT_TRUE(fw::PumpUntil([this] { return !fake->beeps.empty(); }, 5000));
    EXPECT_EQ(fake->beeps, std::vector<UINT>{1});
    EXPECT_EQ(player->m_queue.current, 2);

    ChooseFromMenu({'V'});
    ASSERT_TRUE(WaitForCurrent(1));
    EXPECT_EQ(icon->m_strTip, "tone5s.mp3");
    ChooseFromMenu({VK_DOWN, VK_DOWN, VK_RETURN}); // Previous by the arrows
    ASSERT_TRUE(WaitForCurrent(0));
    EXPECT_EQ(player->Item(IDC_TRACK_COUNTER).GetWindowText(), "1 of 3");

    EXPECT_EQ(::IsWindowVisible(hEditor) != FALSE, !GetParam().hideBoth);
}

TEST_P(TrayMenuTest, ExitTakesTheClosePathWithTheSaveChangesPrompt)
{
    AddTracks({"tone8s.mp3", "tone5s.mp3"});
    ASSERT_TRUE(editor->m_bModified);
    HideWindowsIfAsked();
    StartFirstTrackByLeftClick();

    // Cancel keeps the program, the icon and the music.
    fake->answers.push_back(IDCANCEL);
    ChooseFromMenu({'X'});
    ASSERT_TRUE(fw::PumpUntil([this] { return fake->boxes.size() == 1; }, 5000));
    EXPECT_EQ(fake->boxes[0].text, "Do you want to save your changes?");
    EXPECT_EQ(fake->boxes[0].caption, "Save Changes?");
    EXPECT_EQ(fake->boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    DrainMessages();
    ASSERT_TRUE(::IsWindow(hEditor));
    EXPECT_TRUE(CallsOf(NIM_DELETE).empty());
    EXPECT_TRUE(Audio().isPlaying);
    EXPECT_FALSE(testing_support::FileExists(scratch->File("settings.dat")));

    // No: the data files are written, the windows go, the icon leaves the tray.
    fake->answers.push_back(IDNO);
    ChooseFromMenu({'X'});
    ASSERT_TRUE(fw::PumpUntil([this] { return !::IsWindow(hEditor); }, 10000));
    EXPECT_EQ(fake->boxes.size(), 2u);
    EXPECT_FALSE(::IsWindow(hTray));
    std::vector<NotifyCall> deletes = CallsOf(NIM_DELETE);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(g_calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(deletes[0].data.uFlags, 0u);
    EXPECT_EQ(deletes[0].data.hWnd, hTray);
    EXPECT_EQ(deletes[0].data.uID, static_cast<UINT>(IDR_TRAYMENU));
    EXPECT_TRUE(testing_support::FileExists(scratch->File("settings.dat")));
    EXPECT_TRUE(testing_support::FileExists(scratch->File("continue.dat")));
}

INSTANTIATE_TEST_SUITE_P(Windows, TrayMenuTest,
                         ::testing::Values(WindowsCase{"Shown", false}, WindowsCase{"BothHidden", true}),
                         [](const ::testing::TestParamInfo<WindowsCase>& info) { return info.param.name; });

TEST_F(TrayInProgramTest, ExitWithoutChangesClosesWithoutAsking)
{
    ChooseFromMenu({'X'});
    ASSERT_TRUE(fw::PumpUntil([this] { return !::IsWindow(hEditor); }, 10000));
    EXPECT_TRUE(fake->boxes.empty());
    ASSERT_EQ(CallsOf(NIM_DELETE).size(), 1u);
    EXPECT_EQ(g_calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(::IsWindow(hTray));
}

TEST_F(TrayInProgramTest, ShowPlayerWithTheEditorShownOnlyActivatesTheEditor)
{
    // Something else in front first, so that the activation is seen.
    HWND other = CreateOwner();
    ::ShowWindow(other, SW_SHOW);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(fw::PumpUntil([&] { return ::GetForegroundWindow() == other; }, 5000));
    ASSERT_TRUE(::IsWindowVisible(hEditor));
    ASSERT_FALSE(player->IsWindowVisible());

    ChooseFromMenu({'S'});
    EXPECT_TRUE(fw::PumpUntil([this] { return ::GetForegroundWindow() == hEditor; }, 5000));
    EXPECT_FALSE(player->IsWindowVisible()); // the player button's business
    ::DestroyWindow(other);
}

TEST_F(TrayInProgramTest, ShowPlayerWithTheEditorHiddenBringsBackAPlayerSentToTheTray)
{
    // Out from behind the editor, then the list hidden, then into the tray.
    editor->OnPlayerButton();
    ASSERT_TRUE(fw::PumpUntil([this] { return player->slideState == 0; }, 10000));
    player->OnListToggle();
    ASSERT_FALSE(::IsWindowVisible(hEditor));
    ASSERT_TRUE(player->IsWindowVisible());
    player->OnToTray();
    DrainMessages();
    ASSERT_FALSE(player->IsWindowVisible());
    ASSERT_TRUE(player->IsIconic());

    ChooseFromMenu({'S'});
    ASSERT_TRUE(fw::PumpUntil([this] { return player->IsWindowVisible() && !player->IsIconic(); }, 5000));
    EXPECT_TRUE(fw::PumpUntil([this] { return ::GetForegroundWindow() == player->GetHwnd(); }, 5000));
    EXPECT_FALSE(::IsWindowVisible(hEditor));
    EXPECT_EQ(player->slideState, 0);

    // Again while it is shown: it stays as it is and comes to the front.
    RECT before = player->GetWindowRect();
    ChooseFromMenu({'S'});
    DrainMessages();
    EXPECT_TRUE(player->IsWindowVisible());
    RECT after = player->GetWindowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(::GetForegroundWindow(), player->GetHwnd());
}

} // namespace
