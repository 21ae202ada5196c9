// The Edit menu's work in the real windows: Undo and Redo of each list command
// in the play modes through the real list box, player and MCI; Remove Missing
// Files over missing and unreachable entries, and its progress; relative
// entries after a dialog moved the current directory; Find; real keys (X11).
#include "audio/mci_audio.h"
#include "res/resource.h"
#include "support/editor_session.h"

#include <algorithm>

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;
const std::string kT1 = FixturePath("track1.mp3"), kT2 = FixturePath("track2.mp3"), kT3 = FixturePath("track3.mp3");

// What the user sees of the list and hears of the queue: the play order,
// the title's marker and the items; the selected items and the caret.
struct State { std::string list, selection, current; };

struct Editing : ::testing::Test {
    FakeUi ui;
    EditorSession session{"edit"};
    HWND hwnd = session.Hwnd();
    const fw::CListBox& list = session->List();

    void TearDown() override { EXPECT_TRUE(!session.Alive() || QueueInStep(*session.Editor())); }
    void Do(int id) const { Command(hwnd, id); }
    void Select(const std::vector<int>& items) const
    {
        list.SetSel(-1, false);
        for (int i : items)
            list.SetSel(i, true);
        list.SetCaretIndex(items.back());
    }
    State Capture() const
    {
        const CPlayQueue& queue = session->Player().Queue();
        EXPECT_TRUE(QueueInStep(*session.Editor()));
        std::string order, selection;
        for (int i : queue.PlayOrder())
            order += std::to_string(i) + " ";
        for (int i : list.GetSelItems())
            selection += std::to_string(i) + " ";
        for (const std::string& item : ListItems(*session.Editor()))
            order += "|" + item;
        return {order + (session->IsModified() ? "*" : ""), selection + std::to_string(list.GetCaretIndex()),
                queue.CurrentEntry() ? queue.CurrentEntry()->path : ""};
    }
    bool MenuEnabled(UINT id) const
    {
        ::SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(::GetMenu(hwnd), 1)), 1);
        return !(::GetMenuState(::GetMenu(hwnd), id, MF_BYCOMMAND) & MF_GRAYED);
    }
    // The program's own loop: keys become commands before anything else.
    bool Pump(const std::function<bool()>& done) const
    {
        for (const DWORD start = ::GetTickCount(); !done() && ::GetTickCount() - start < 10000;) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!(session.Alive() && session->TranslateKeys(msg)) && !fw::IsModelessDialogMessage(msg))
                    ::TranslateMessage(&msg), ::DispatchMessageA(&msg);
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return done();
    }
};

// Each command, then Undo, Redo and Undo across a save: list, selection,
// play order and the title's marker as before and after the command. A
// playing track stays what plays; else current goes back too.
TEST_F(Editing, UndoAndRedoGiveTheStatesBeforeAndAfterEachCommandInThePlayModes)
{
    const struct {
        const char* name;
        std::vector<int> selected; // before the command, the caret on the last
        void (*run)(Editing&);
    } commands[] = {
        {"Add Tracks", {1}, [](Editing& t) { t.ui.fileAnswers = {FakeUi::ChooseMany("C:\\add", {"x.mp3", "y.mp3"})}, t.Do(IDC_ADD_TRACKS); }},
        {"drop", {1}, [](Editing& t) { ::SendMessageA(t.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({kT1})), 0); }},
        {"Remove, the playing track too", {0, 2}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(IDC_REMOVE); }},
        {"Clear Dupes", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(ID_EDIT_CLEAR_DUPES); }},
        {"Move Up", {2, 3}, [](Editing& t) { t.Do(ID_EDIT_MOVE_UP); }},
        {"Move Down", {0, 2}, [](Editing& t) { t.Do(IDC_MOVE_DOWN); }},
        {"Remove Missing Files", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(ID_EDIT_REMOVE_MISSING); }},
    };
    const struct { const char* name; bool shuffle, playing; } modes[] = {
        {"in list order, nothing current", false, false}, {"in list order, playing", false, true}, {"shuffled, playing", true, true}};
    std::string upper = kT2;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    for (const auto& mode : modes) {
        for (const auto& command : commands) {
            SCOPED_TRACE(std::string(mode.name) + ": " + command.name);
            ASSERT_TRUE(LoadTracks(session, {"C:\\gone\\missing.mp3", kT1, kT2, kT3, upper}));
            ::SendMessageA(::GetDlgItem(session->Player().GetHwnd(), IDC_SHUFFLE), BM_SETCHECK, mode.shuffle, 0);
            Command(session->Player().GetHwnd(), IDC_SHUFFLE);
            if (mode.playing)
                session->Player().PlayListIndex(2);
            Select(command.selected);
            EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO)) << "Open starts a fresh history";
            const State before = Capture();
            command.run(*this);
            const State after = Capture();
            ASSERT_NE(after.list, before.list);
            EXPECT_TRUE(session->IsModified() && MenuEnabled(ID_EDIT_UNDO) && !MenuEnabled(ID_EDIT_REDO));
            Do(ID_EDIT_UNDO);
            const bool plays = session->Player().Audio().isPlaying;
            const State undone = Capture();
            EXPECT_EQ(undone.list + "\n" + undone.selection, before.list + "\n" + before.selection);
            EXPECT_EQ(undone.current, plays ? after.current : before.current);
            EXPECT_EQ(plays, mode.playing);
            Do(ID_EDIT_REDO);
            const State redone = Capture();
            EXPECT_EQ(redone.list + "\n" + redone.current, after.list + "\n" + after.current);
            // The player selects a track it starts: that is no part of the step.
            EXPECT_TRUE(redone.selection == after.selection || after.current != before.current);
            Do(ID_FILE_SAVE), Do(ID_EDIT_UNDO);
            EXPECT_TRUE(session->IsModified()) << "undone away from the saved list";
            Do(ID_EDIT_REDO);
            EXPECT_FALSE(session->IsModified()) << "redone back to it";
        }
    }
}

HWND g_progress = nullptr;

// Cancel pressed as the progress shows: it comes before the first slice.
LRESULT CALLBACK CancelProgress(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && fw::CWindow(window).GetWindowText() == "Remove Missing Files")
        ::PostMessageA(g_progress = window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The question names the missing files and the drive that does not answer;
// No keeps everything, Yes removes the missing ones as one step. A long
// check shows its progress; Cancel, or a close asked for meanwhile, ends it
// with nothing asked and nothing removed.
TEST_F(Editing, RemoveMissingFilesAsksOnceKeepsUnreachableDrivesAndIsOneStep)
{
    const Texts tracks = {kT1, "C:\\gone\\a.mp3", "Q:\\music\\b.mp3", kT2, "C:\\gone\\c.mp3", "q:\\d.mp3"};
    ASSERT_TRUE(LoadTracks(session, tracks));
    EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO) || MenuEnabled(ID_EDIT_REMOVE));
    ui.answers = {IDNO, IDYES};
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.at(0).text, "2 of 6 tracks cannot be found. Remove them from the playlist?\r\n\r\na.mp3\r\nc.mp3"
                                   "\r\n\r\nTracks on Q: were kept: they cannot be reached.");
    EXPECT_EQ(ListItems(*session.Editor()), tracks);
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ListItems(*session.Editor()), Texts({kT1, "Q:\\music\\b.mp3", kT2, "q:\\d.mp3"}));
    Do(ID_EDIT_UNDO);
    EXPECT_EQ(ListItems(*session.Editor()), tracks);
    EXPECT_FALSE(session->IsModified() || MenuEnabled(ID_EDIT_UNDO));
    Do(ID_FILE_NEW);
    EXPECT_FALSE(MenuEnabled(ID_EDIT_REDO)) << "New starts a fresh history";
    ASSERT_TRUE(LoadTracks(session, {kT1, "Q:\\x.mp3"}));
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.back().text, "No track of the playlist is missing.\r\n\r\nTracks on Q: were kept: they cannot be reached.");

    Texts many;
    for (int i = 0; i < 500; ++i)
        many.push_back("C:\\gone\\" + std::to_string(i) + ".mp3");
    ASSERT_TRUE(LoadTracks(session, many));
    ui.boxes.clear();
    ui.answers = {IDNO};
    Do(ID_EDIT_REMOVE_MISSING);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.substr(0, 25), "500 of 500 tracks cannot ");
    EXPECT_NE(ui.boxes[0].text.find("\r\n9.mp3\r\n...and 490 more"), std::string::npos);
    const HHOOK hook = ::SetWindowsHookExA(WH_CBT, CancelProgress, nullptr, ::GetCurrentThreadId());
    Do(ID_EDIT_REMOVE_MISSING);
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_progress && ui.boxes.size() == 1u) << "cancelled: nothing asked";
    ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_TRUE(ui.boxes.size() == 1u && ListItems(*session.Editor()) == many);
    EXPECT_TRUE(Pump([&] { return !session.Alive(); })) << "the close comes once the check has ended";
}

// The Open dialog leaves the current directory elsewhere, as the real one
// does: the entries still play from the playlist's folder. Save as rewrites
// them to name the same files from the new folder.
TEST_F(Editing, RelativeEntriesPlayFromThePlaylistsFolderAndSaveAsRebasesThem)
{
    const auto file = [&](const char* name) { return session.File(name); };
    for (const char* sub : {"lists", "lists\\sub", "tracks", "other"})
        ASSERT_TRUE(::CreateDirectoryA(file(sub).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileA(kT1.c_str(), file("tracks\\one.mp3").c_str(), FALSE) && ::CopyFileA(kT2.c_str(), file("lists\\sub\\two.mp3").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(file("lists\\rel.m3u"), "..\\tracks\\one.mp3\r\nsub/two.mp3\r\n"));
    const FileAnswer open = FakeUi::Choose(file("lists\\rel.m3u"));
    ui.fileAnswers = {[&](OPENFILENAMEA& ofn) { return ::SetCurrentDirectoryA(file("other").c_str()) && open(ofn); }};
    Do(ID_FILE_OPEN);
    ASSERT_EQ(ListItems(*session.Editor()), Texts({"..\\tracks\\one.mp3", "sub/two.mp3"}));
    CMciAudio& audio = session->Player().Audio();
    for (int i : {0, 1})
        EXPECT_TRUE((session->Player().PlayListIndex(i), audio.isPlaying)) << i;
    Select({0});
    Do(ID_EDIT_MOVE_DOWN);
    ui.fileAnswers = {FakeUi::Choose(file("up.m3u")), FakeUi::Choose(file("other\\o.m3u"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(file("up.m3u")), "lists\\sub\\two.mp3\r\ntracks\\one.mp3\r\n") << "under the new folder: relative";
    EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO)) << "the steps named the entries as the old folder saw them";
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(file("other\\o.m3u")), file("lists\\sub\\two.mp3") + "\r\n" + file("tracks\\one.mp3") + "\r\n");
    session->Player().PlayListIndex(0);
    EXPECT_TRUE(audio.isPlaying && !session->IsModified());
}

// Typing finds from the focused item on; Find Next from the one after it,
// round the end, with a beep when no other item holds the text.
TEST_F(Editing, FindSelectsFromTheFocusAndFindNextGoesRound)
{
    ASSERT_TRUE(LoadTracks(session, {"C:\\a\\Alpha.mp3", "C:\\b\\beta.mp3", "C:\\c\\ALPHABET.mp3", "C:\\d\\gamma.mp3"}));
    Select({1});
    Do(ID_EDIT_FIND_NEXT); // no text yet: the box opens
    const HWND box = ::FindWindowA("#32770", "Find");
    ASSERT_TRUE(box && ::IsWindowVisible(box));
    const struct { const char* typed; int selected; size_t beeps; } steps[] = { // typed null: Find Next; "": Enter in the box
        {"alpha", 2, 0}, {nullptr, 0, 0}, {"", 2, 0}, {"BeTa", 1, 0}, {nullptr, 1, 1}, {"zeta", 1, 2}};
    for (const auto& step : steps) {
        if (!step.typed)
            Do(ID_EDIT_FIND_NEXT);
        else if (!*step.typed)
            Command(box, IDOK, BN_CLICKED);
        else
            ::SetDlgItemTextA(box, IDC_FIND_TEXT, step.typed);
        EXPECT_TRUE(list.GetSelItems() == std::vector<int>{step.selected} && ui.beeps.size() == step.beeps) << (step.typed ? step.typed : "next");
    }
}

// Every key is up again: one press is all in, and the next cannot mix with it.
bool KeysUp()
{
    int key = VK_BACK;
    while (key <= VK_OEM_CLEAR && !(::GetAsyncKeyState(key) & 0x8000))
        ++key;
    return key > VK_OEM_CLEAR;
}

// Real key presses into the editor and into the player, through the
// program's own translation in the loop.
TEST_F(Editing, KeysPressedInTheEditorOrThePlayerBecomeTheirCommands)
{
    ASSERT_TRUE(LoadTracks(session, {kT1, kT2, kT3}));
    PlayerSettings shown = session->Player().Settings();
    shown.shown = true;
    session->Player().Apply(shown);
    const HWND volume = ::GetDlgItem(session->Player().GetHwnd(), IDC_VOLUME), listBox = list.GetHwnd();
    Select({0});
    ui.defaultAnswer = IDYES;
    auto count = [&](int n) { return [&, n] { return list.GetCount() == n; }; };
    const struct { HWND focus; const char* keys; std::function<bool()> done; } presses[] = {
        {listBox, "Delete", count(2)}, {listBox, "ctrl+z", count(3)}, {volume, "ctrl+shift+z", count(2)},
        {volume, "ctrl+z", count(3)}, {listBox, "ctrl+y", count(2)},
        {listBox, "ctrl+z alt+Down", [&] { return ListItems(*session.Editor()) == Texts({kT2, kT1, kT3}); }},
        {listBox, "ctrl+a", [&] { return list.GetSelCount() == 3; }},
        {listBox, "Return", [&] { return session->Player().Audio().isPlaying; }},
        {listBox, "F3", [&] { return ::FindWindowA("#32770", "Find") != nullptr; }},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.keys);
        // The window's own control takes the keys, as after a click on it;
        // X11 hands them to the window that Wine's driver made for it.
        const HWND window = ::GetAncestor(press.focus, GA_ROOT);
        ::SetForegroundWindow(window);
        ::SetFocus(press.focus);
        const auto x11 = reinterpret_cast<UINT_PTR>(::GetPropA(window, "__wine_x11_whole_window"));
        const std::string xdotool = "/usr/bin/xdotool windowfocus --sync " + std::to_string(x11) + " key --clearmodifiers ";
        ASSERT_GT(::WinExec((xdotool + press.keys).c_str(), SW_HIDE), 31u);
        ASSERT_TRUE(Pump([&] { return press.done() && KeysUp(); }));
    }
    EXPECT_EQ(session->Player().Queue().CurrentEntry()->path, kT1) << "Enter played the focused item";
}

} // namespace
