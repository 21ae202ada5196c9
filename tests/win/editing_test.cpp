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

using Texts = std::vector<std::wstring>;
const std::wstring kT1 = FixturePath(L"track1.mp3"), kT2 = FixturePath(L"track2.mp3"), kT3 = FixturePath(L"track3.mp3");

// What the user sees of the list and hears of the queue: the play order,
// the title's marker and the items; the selected items and the caret.
struct State { std::wstring list, selection, current; };

struct Editing : ::testing::Test {
    FakeUi ui;
    EditorSession session{L"edit"};
    HWND hwnd = session.Hwnd();
    const fw::CListBox& list = session->List();

    void TearDown() override { EXPECT_TRUE(!session.Alive() || QueueInStep(*session.Editor())); }
    void Do(int id) const { Command(hwnd, id); }
    void Select(const std::vector<int>& items) const { testing_support::Select(list, items); }
    State Capture() const
    {
        const CPlayQueue& queue = session->Player().Queue();
        EXPECT_TRUE(QueueInStep(*session.Editor()));
        std::wstring order, selection;
        for (int i : queue.PlayOrder())
            order += std::to_wstring(i) + L" ";
        for (int i : list.GetSelItems())
            selection += std::to_wstring(i) + L" ";
        for (const std::wstring& item : ListItems(*session.Editor()))
            order += L"|" + item;
        return {order + (session->IsModified() ? L"*" : L""), selection + std::to_wstring(list.GetCaretIndex()),
                queue.CurrentEntry() ? queue.CurrentEntry()->path.Str() : L""};
    }
    bool MenuEnabled(UINT id) const
    {
        ::SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(::GetMenu(hwnd), 1)), 1);
        return !(::GetMenuState(::GetMenu(hwnd), id, MF_BYCOMMAND) & MF_GRAYED);
    }
    // The program's own loop: keys become commands before anything else.
    bool Pump(const std::function<bool()>& done) const
    {
        for (const DWORD start = ::GetTickCount(); !done() && ::GetTickCount() - start < 10000;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!(session.Alive() && session->TranslateKeys(msg)) && !fw::IsModelessDialogMessage(msg))
                    ::TranslateMessage(&msg), ::DispatchMessageW(&msg);
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
        const wchar_t* name;
        std::vector<int> selected; // before the command, the caret on the last
        void (*run)(Editing&);
    } commands[] = {
        {L"Add Tracks", {1}, [](Editing& t) { t.ui.fileAnswers = {FakeUi::ChooseMany(L"C:\\add", {L"x.mp3", L"y.mp3"})}, t.Do(IDC_ADD_TRACKS); }},
        {L"drop", {1}, [](Editing& t) { ::SendMessageW(t.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({kT1})), 0); }},
        {L"Remove, the playing track too", {0, 2}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(IDC_REMOVE); }},
        {L"Clear Dupes", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(ID_EDIT_CLEAR_DUPES); }},
        {L"Move Up", {2, 3}, [](Editing& t) { t.Do(ID_EDIT_MOVE_UP); }},
        {L"Move Down", {0, 2}, [](Editing& t) { t.Do(IDC_MOVE_DOWN); }},
        {L"Remove Missing Files", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Do(ID_EDIT_REMOVE_MISSING); }},
    };
    const struct { const wchar_t* name; bool shuffle, playing; } modes[] = {
        {L"in list order, nothing current", false, false}, {L"in list order, playing", false, true}, {L"shuffled, playing", true, true}};
    std::wstring upper = kT2;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    for (const auto& mode : modes) {
        for (const auto& command : commands) {
            SCOPED_TRACE(std::wstring(mode.name) + L": " + command.name);
            ASSERT_TRUE(LoadTracks(session, {L"C:\\gone\\missing.mp3", kT1, kT2, kT3, upper}));
            ::SendMessageW(::GetDlgItem(session->Player().GetHwnd(), IDC_SHUFFLE), BM_SETCHECK, mode.shuffle, 0);
            Command(session->Player().GetHwnd(), IDC_SHUFFLE);
            if (mode.playing)
                session->Player().PlayListIndex(2);
            Select(command.selected);
            EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO)) << L"Open starts a fresh history";
            const State before = Capture();
            command.run(*this);
            const State after = Capture();
            ASSERT_NE(after.list, before.list);
            EXPECT_TRUE(session->IsModified() && MenuEnabled(ID_EDIT_UNDO) && !MenuEnabled(ID_EDIT_REDO));
            Do(ID_EDIT_UNDO);
            const bool plays = session->Player().Audio().isPlaying;
            const State undone = Capture();
            EXPECT_EQ(undone.list + L"\n" + undone.selection, before.list + L"\n" + before.selection);
            EXPECT_EQ(undone.current, plays ? after.current : before.current);
            EXPECT_EQ(plays, mode.playing);
            Do(ID_EDIT_REDO);
            const State redone = Capture();
            EXPECT_EQ(redone.list + L"\n" + redone.current, after.list + L"\n" + after.current);
            // The player selects a track it starts: that is no part of the step.
            EXPECT_TRUE(redone.selection == after.selection || after.current != before.current);
            Do(ID_FILE_SAVE), Do(ID_EDIT_UNDO);
            EXPECT_TRUE(session->IsModified()) << L"undone away from the saved list";
            Do(ID_EDIT_REDO);
            EXPECT_FALSE(session->IsModified()) << L"redone back to it";
        }
    }
}

HWND g_progress = nullptr;

// Cancel pressed as the progress shows: it comes before the first slice.
LRESULT CALLBACK CancelProgress(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && fw::CWindow(window).GetWindowText() == L"Remove Missing Files")
        ::PostMessageW(g_progress = window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The question names the missing files and the drive that does not answer;
// No keeps everything, Yes removes the missing ones as one step. A long
// check shows its progress; Cancel, or a close asked for meanwhile, ends it
// with nothing asked and nothing removed.
TEST_F(Editing, RemoveMissingFilesAsksOnceKeepsUnreachableDrivesAndIsOneStep)
{
    const Texts tracks = {kT1, L"C:\\gone\\a.mp3", L"Q:\\music\\b.mp3", kT2, L"C:\\gone\\c.mp3", L"q:\\d.mp3"};
    ASSERT_TRUE(LoadTracks(session, tracks));
    EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO) || MenuEnabled(ID_EDIT_REMOVE));
    ui.answers = {IDNO, IDYES};
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.at(0).text, L"2 of 6 tracks cannot be found. Remove them from the playlist?\r\n\r\na.mp3\r\nc.mp3"
                                   L"\r\n\r\nTracks on Q: were kept: they cannot be reached.");
    EXPECT_EQ(ListItems(*session.Editor()), tracks);
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ListItems(*session.Editor()), Texts({kT1, L"Q:\\music\\b.mp3", kT2, L"q:\\d.mp3"}));
    Do(ID_EDIT_UNDO);
    EXPECT_EQ(ListItems(*session.Editor()), tracks);
    EXPECT_FALSE(session->IsModified() || MenuEnabled(ID_EDIT_UNDO));
    Do(ID_FILE_NEW);
    EXPECT_FALSE(MenuEnabled(ID_EDIT_REDO)) << L"New starts a fresh history";
    ASSERT_TRUE(LoadTracks(session, {kT1, L"Q:\\x.mp3"}));
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.back().text, L"No track of the playlist is missing.\r\n\r\nTracks on Q: were kept: they cannot be reached.");

    Texts many;
    for (int i = 0; i < 500; ++i)
        many.push_back(L"C:\\gone\\" + std::to_wstring(i) + L".mp3");
    ASSERT_TRUE(LoadTracks(session, many));
    ui.boxes.clear();
    ui.answers = {IDNO};
    Do(ID_EDIT_REMOVE_MISSING);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find(L"500 of 500 tracks cannot be found. Remove them from the playlist?\r\n\r\n0.mp3"), std::wstring::npos);
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, CancelProgress, nullptr, ::GetCurrentThreadId());
    Do(ID_EDIT_REMOVE_MISSING);
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_progress && ui.boxes.size() == 1u) << L"cancelled: nothing asked";
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    Do(ID_EDIT_REMOVE_MISSING);
    EXPECT_TRUE(ui.boxes.size() == 1u && ListItems(*session.Editor()) == many);
    EXPECT_TRUE(Pump([&] { return !session.Alive(); })) << L"the close comes once the check has ended";
}

// The Open dialog leaves the current directory elsewhere, as the real one
// does: the entries still play from the playlist's folder. Save as rewrites
// them to name the same files from the new folder.
TEST_F(Editing, RelativeEntriesPlayFromThePlaylistsFolderAndSaveAsRebasesThem)
{
    const auto file = [&](const wchar_t* name) { return session.File(name); };
    for (const wchar_t* sub : {L"lists", L"lists\\sub", L"tracks", L"other"})
        ASSERT_TRUE(::CreateDirectoryW(file(sub).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(kT1.c_str(), file(L"tracks\\one.mp3").c_str(), FALSE) && ::CopyFileW(kT2.c_str(), file(L"lists\\sub\\two.mp3").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(file(L"lists\\rel.m3u"), L"..\\tracks\\one.mp3\r\nsub/two.mp3\r\n"));
    const FileAnswer open = FakeUi::Choose(file(L"lists\\rel.m3u"));
    ui.fileAnswers = {[&](OPENFILENAMEW& ofn) { return ::SetCurrentDirectoryW(file(L"other").c_str()) && open(ofn); }};
    Do(ID_FILE_OPEN);
    ASSERT_EQ(ListItems(*session.Editor()), Texts({L"..\\tracks\\one.mp3", L"sub/two.mp3"}));
    CMciAudio& audio = session->Player().Audio();
    for (int i : {0, 1})
        EXPECT_TRUE((session->Player().PlayListIndex(i), audio.isPlaying)) << i;
    Select({0});
    Do(ID_EDIT_MOVE_DOWN);
    ui.fileAnswers = {FakeUi::Choose(file(L"up.m3u")), FakeUi::Choose(file(L"other\\o.m3u"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(FileText(file(L"up.m3u")), L"lists\\sub\\two.mp3\r\ntracks\\one.mp3\r\n") << L"under the new folder: relative";
    EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO)) << L"the steps named the entries as the old folder saw them";
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(FileText(file(L"other\\o.m3u")), file(L"lists\\sub\\two.mp3") + L"\r\n" + file(L"tracks\\one.mp3") + L"\r\n");
    session->Player().PlayListIndex(0);
    EXPECT_TRUE(audio.isPlaying && !session->IsModified());
}

// Typing finds from the focused item on; Find Next from the one after it,
// round the end, with a beep when no other item holds the text.
TEST_F(Editing, FindSelectsFromTheFocusAndFindNextGoesRound)
{
    ASSERT_TRUE(LoadTracks(session, {L"C:\\a\\Alpha.mp3", L"C:\\b\\beta.mp3", L"C:\\c\\ALPHABET.mp3", L"C:\\d\\gamma.mp3"}));
    Select({1});
    Do(ID_EDIT_FIND_NEXT); // no text yet: the box opens
    const HWND box = ::FindWindowW(L"#32770", L"Find");
    ASSERT_TRUE(box && ::IsWindowVisible(box));
    const struct { const wchar_t* typed; int selected; size_t beeps; } steps[] = { // typed null: Find Next; "": Enter in the box
        {L"alpha", 2, 0}, {nullptr, 0, 0}, {L"", 2, 0}, {L"BeTa", 1, 0}, {nullptr, 1, 1}, {L"zeta", 1, 2}};
    for (const auto& step : steps) {
        if (!step.typed)
            Do(ID_EDIT_FIND_NEXT);
        else if (!*step.typed)
            Command(box, IDOK, BN_CLICKED);
        else
            ::SetDlgItemTextW(box, IDC_FIND_TEXT, step.typed);
        EXPECT_TRUE(list.GetSelItems() == std::vector<int>{step.selected} && ui.beeps.size() == step.beeps) << (step.typed ? step.typed : L"next");
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
    const struct { HWND focus; const wchar_t* keys; std::function<bool()> done; } presses[] = {
        {listBox, L"Delete", count(2)}, {listBox, L"ctrl+z", count(3)}, {volume, L"ctrl+shift+z", count(2)},
        {volume, L"ctrl+z", count(3)}, {listBox, L"ctrl+y", count(2)},
        {listBox, L"ctrl+z alt+Down", [&] { return ListItems(*session.Editor()) == Texts({kT2, kT1, kT3}); }},
        {listBox, L"ctrl+a", [&] { return list.GetSelCount() == 3; }},
        {listBox, L"Return", [&] { return session->Player().Audio().isPlaying; }},
        {listBox, L"F3", [&] { return ::FindWindowW(L"#32770", L"Find") != nullptr; }},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.keys);
        // The window's own control takes the keys, as after a click on it;
        // X11 hands them to the window that Wine's driver made for it.
        const HWND window = ::GetAncestor(press.focus, GA_ROOT);
        ::SetForegroundWindow(window);
        ::SetFocus(press.focus);
        const auto x11 = reinterpret_cast<UINT_PTR>(::GetPropW(window, L"__wine_x11_whole_window"));
        const std::wstring xdotool = L"/usr/bin/xdotool windowfocus --sync " + std::to_wstring(x11) + L" key --clearmodifiers ";
        ASSERT_GT(::WinExec(Narrow(xdotool + press.keys).c_str(), SW_HIDE), 31u);
        ASSERT_TRUE(Pump([&] { return press.done() && KeysUp(); }));
    }
    EXPECT_EQ(session->Player().Queue().CurrentEntry()->path, kT1) << L"Enter played the focused item";
}

} // namespace
