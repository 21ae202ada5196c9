// The Edit menu's work in the real windows: Undo and Redo of each list
// command in the play modes through the real list box, player and MCI;
// Remove Missing Files over missing and unreachable entries, and its
// progress window; relative entries after a dialog moved the current
// directory; Find; the keys pressed for real through X11.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "res/resource.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace testing_support;
using Texts = std::vector<std::string>;

namespace {

const std::string kT1 = FixturePath("track1.mp3"), kT2 = FixturePath("track2.mp3"), kT3 = FixturePath("track3.mp3");

std::string Joined(const std::vector<int>& values)
{
    std::string text;
    for (int v : values)
        text += std::to_string(v) + " ";
    return text;
}

// What the user sees of the list and hears of the queue.
struct State {
    std::string list;      // the items, the play order and the title's marker
    std::string selection; // the selected items and the caret
    std::string current;
};

// An editor started in a scratch folder of its own.
struct Editing : ::testing::Test {
    FakeUi ui;
    ScratchDir dir{"edit"};
    char previous[MAX_PATH] = "";
    std::unique_ptr<CEditorDlg> editor = std::make_unique<CEditorDlg>();
    HWND hwnd = nullptr, list = nullptr;

    Editing()
    {
        ::GetCurrentDirectoryA(sizeof previous, previous);
        ::SetCurrentDirectoryA(dir.Path().c_str());
        EXPECT_TRUE(editor->Create(nullptr));
        hwnd = editor->GetHwnd(), list = editor->List().GetHwnd();
    }
    ~Editing() override
    {
        editor.reset();
        ::SetCurrentDirectoryA(previous);
    }
    void Load(const Texts& tracks, const char* name = "list.m3u")
    {
        ASSERT_TRUE(WriteFileBytes(dir.File(name), FormatM3u(tracks)));
        ASSERT_TRUE(editor->LoadPlaylist(dir.File(name).c_str(), false));
    }
    void Command(int id) const { ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void Drop(const Texts& files) const { ::SendMessageA(hwnd, WM_DROPFILES, (WPARAM)MakeDrop(files), 0); }
    void Select(const std::vector<int>& items, int caret) const
    {
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : items)
            ::SendMessageA(list, LB_SETSEL, TRUE, i);
        ::SendMessageA(list, LB_SETCARETINDEX, caret, FALSE);
    }
    Texts Items() const
    {
        Texts items;
        for (int i = 0; i < editor->List().GetCount(); ++i)
            items.push_back(editor->List().GetText(i));
        return items;
    }
    State Capture() const
    {
        const CPlayQueue& queue = editor->Player().Queue();
        const Texts items = Items();
        EXPECT_EQ(queue.Count(), static_cast<int>(items.size()));
        for (int pos = 0; pos < queue.Count(); ++pos) // in step: each entry is its item's
            EXPECT_EQ(queue.At(pos).path, items.at(static_cast<size_t>(queue.At(pos).listIndex)));
        std::string list = Joined(queue.PlayOrder()) + (editor->IsModified() ? "*" : "");
        for (const std::string& item : items)
            list += "|" + item;
        return {list, Joined(editor->List().GetSelItems()) + std::to_string(editor->List().GetCaretIndex()),
                queue.CurrentEntry() ? queue.CurrentEntry()->path : ""};
    }
    bool MenuEnabled(UINT id) const
    {
        ::SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(::GetMenu(hwnd), 1)), 1);
        return !(::GetMenuState(::GetMenu(hwnd), id, MF_BYCOMMAND) & MF_GRAYED);
    }
    // The program's own loop: keys become commands before anything else.
    bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 10000) const
    {
        for (const DWORD start = ::GetTickCount();;) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!(editor && editor->TranslateKeys(msg)) && !fw::IsModelessDialogMessage(msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            if (done() || ::GetTickCount() - start >= timeoutMs)
                return done();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
};

// Each command, then Undo, Redo and Undo across a save: the list, its
// selection, the queue and the title's marker as before and after the
// command. A playing track stays what plays; else current goes back too.
TEST_F(Editing, UndoAndRedoGiveTheStatesBeforeAndAfterEachCommandInThePlayModes)
{
    const struct {
        const char* name;
        std::vector<int> selected; // before the command, the caret on the last
        void (*run)(Editing&);
    } commands[] = {
        {"Add Tracks", {1}, [](Editing& t) {
             t.ui.fileAnswers = {FakeUi::ChooseMany("C:\\add", {"x.mp3", "y.mp3"})}, t.Command(IDC_ADD_TRACKS);
         }},
        {"drop", {1}, [](Editing& t) { t.Drop({kT1}); }},
        {"Remove, the playing track too", {0, 2}, [](Editing& t) { t.ui.answers = {IDYES}, t.Command(IDC_REMOVE); }},
        {"Clear Dupes", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Command(ID_EDIT_CLEAR_DUPES); }},
        {"Move Up", {2, 3}, [](Editing& t) { t.Command(ID_EDIT_MOVE_UP); }},
        {"Move Down", {0, 2}, [](Editing& t) { t.Command(IDC_MOVE_DOWN); }},
        {"Remove Missing Files", {1}, [](Editing& t) { t.ui.answers = {IDYES}, t.Command(ID_EDIT_REMOVE_MISSING); }},
    };
    const struct { const char* name; bool shuffle, playing; } modes[] = {
        {"in list order, nothing current", false, false}, {"in list order, playing", false, true},
        {"shuffled, playing", true, true}};
    for (const auto& mode : modes) {
        for (const auto& command : commands) {
            SCOPED_TRACE(std::string(mode.name) + ": " + command.name);
            std::string upper = kT2;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            Load({"C:\\gone\\missing.mp3", kT1, kT2, kT3, upper});
            const HWND shuffle = ::GetDlgItem(editor->Player().GetHwnd(), IDC_SHUFFLE);
            ::SendMessageA(shuffle, BM_SETCHECK, mode.shuffle ? BST_CHECKED : BST_UNCHECKED, 0);
            ::SendMessageA(editor->Player().GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_SHUFFLE, BN_CLICKED), 0);
            if (mode.playing)
                editor->Player().PlayListIndex(2);
            Select(command.selected, command.selected.back());
            const State before = Capture();
            command.run(*this);
            const State after = Capture();
            ASSERT_NE(after.list, before.list);
            EXPECT_TRUE(editor->IsModified() && MenuEnabled(ID_EDIT_UNDO) && !MenuEnabled(ID_EDIT_REDO));
            Command(ID_EDIT_UNDO);
            const bool plays = editor->Player().Audio().isPlaying;
            EXPECT_EQ(plays, mode.playing);
            const State undone = Capture();
            EXPECT_EQ(undone.list, before.list);
            EXPECT_EQ(undone.selection, before.selection);
            EXPECT_EQ(undone.current, plays ? after.current : before.current);
            Command(ID_EDIT_REDO);
            const State redone = Capture();
            EXPECT_EQ(redone.list, after.list);
            EXPECT_EQ(redone.current, after.current);
            // The player selects a track it starts: that is no part of the step.
            EXPECT_TRUE(redone.selection == after.selection || after.current != before.current);
            Command(ID_FILE_SAVE);
            Command(ID_EDIT_UNDO);
            EXPECT_TRUE(editor->IsModified()) << "undone away from the saved list";
            Command(ID_EDIT_REDO);
            EXPECT_FALSE(editor->IsModified()) << "redone back to it";
        }
    }
}

HWND g_progress = nullptr;

// Cancel pressed as the progress shows: it comes before the first slice.
LRESULT CALLBACK CancelProgress(int code, WPARAM wParam, LPARAM lParam)
{
    char caption[64] = "";
    if (code == HCBT_ACTIVATE && ::GetWindowTextA(reinterpret_cast<HWND>(wParam), caption, sizeof caption) > 0
        && std::strcmp(caption, "Remove Missing Files") == 0) {
        g_progress = reinterpret_cast<HWND>(wParam);
        ::PostMessageA(g_progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The question names the missing files and the drive that does not answer;
// No keeps everything, Yes removes the missing ones as one step. A long
// check shows its progress; Cancel, or a close asked for meanwhile, ends it
// with nothing asked and nothing removed.
TEST_F(Editing, RemoveMissingFilesAsksOnceKeepsUnreachableDrivesAndIsOneStep)
{
    const Texts tracks = {kT1, "C:\\gone\\a.mp3", "Q:\\music\\b.mp3", kT2, "C:\\gone\\c.mp3", "q:\\d.mp3"};
    Load(tracks);
    EXPECT_FALSE(MenuEnabled(ID_EDIT_UNDO) || MenuEnabled(ID_EDIT_REMOVE));
    ui.answers = {IDNO, IDYES};
    Command(ID_EDIT_REMOVE_MISSING);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "2 of 6 tracks cannot be found. Remove them from the playlist?\r\n\r\na.mp3\r\nc.mp3"
                                "\r\n\r\nTracks on Q: were kept: they cannot be reached.");
    EXPECT_EQ(Items(), tracks);
    Command(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(Items(), Texts({kT1, "Q:\\music\\b.mp3", kT2, "q:\\d.mp3"}));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Items(), tracks);
    EXPECT_FALSE(editor->IsModified() || MenuEnabled(ID_EDIT_UNDO));
    Load({kT1, "Q:\\x.mp3"});
    Command(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.back().text,
              "No track of the playlist is missing.\r\n\r\nTracks on Q: were kept: they cannot be reached.");

    Texts many;
    for (int i = 0; i < 500; ++i)
        many.push_back("C:\\gone\\" + std::to_string(i) + ".mp3");
    Load(many);
    ui.boxes.clear();
    ui.answers = {IDNO};
    Command(ID_EDIT_REMOVE_MISSING);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.substr(0, 25), "500 of 500 tracks cannot ");
    EXPECT_NE(ui.boxes[0].text.find("\r\n9.mp3\r\n...and 490 more"), std::string::npos);
    const HHOOK hook = ::SetWindowsHookExA(WH_CBT, CancelProgress, nullptr, ::GetCurrentThreadId());
    Command(ID_EDIT_REMOVE_MISSING);
    ::UnhookWindowsHookEx(hook);
    EXPECT_NE(g_progress, nullptr);
    EXPECT_EQ(ui.boxes.size(), 1u);
    ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Command(ID_EDIT_REMOVE_MISSING);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Items(), many);
    EXPECT_TRUE(Pump([&] { return !::IsWindow(hwnd); })) << "the close comes once the check has ended";
}

// The Open dialog leaves the current directory elsewhere, as the real one
// does: the entries still play from the playlist's folder. Save as rewrites
// them to name the same files from the new folder.
TEST_F(Editing, RelativeEntriesPlayFromThePlaylistsFolderAndSaveAsRebasesThem)
{
    for (const char* sub : {"lists", "lists\\sub", "tracks", "other"})
        ASSERT_TRUE(::CreateDirectoryA(dir.File(sub).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileA(kT1.c_str(), dir.File("tracks\\one.mp3").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(kT2.c_str(), dir.File("lists\\sub\\two.mp3").c_str(), FALSE));
    const std::string other = dir.File("other");
    ASSERT_TRUE(WriteFileBytes(dir.File("lists\\rel.m3u"), "..\\tracks\\one.mp3\r\nsub/two.mp3\r\n"));
    const FileAnswer open = FakeUi::Choose(dir.File("lists\\rel.m3u"));
    ui.fileAnswers = {[&](OPENFILENAMEA& ofn) { return ::SetCurrentDirectoryA(other.c_str()) && open(ofn); }};
    Command(ID_FILE_OPEN);
    ASSERT_EQ(Items(), Texts({"..\\tracks\\one.mp3", "sub/two.mp3"}));
    CMciAudio& audio = editor->Player().Audio();
    for (int i : {0, 1}) {
        editor->Player().PlayListIndex(i);
        EXPECT_TRUE(audio.isPlaying) << i;
    }

    ui.fileAnswers = {FakeUi::Choose(dir.File("up.m3u")), FakeUi::Choose(dir.File("other\\o.m3u"))};
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(dir.File("up.m3u")), "tracks\\one.mp3\r\nlists\\sub\\two.mp3\r\n");
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(dir.File("other\\o.m3u")),
              dir.File("tracks\\one.mp3") + "\r\n" + dir.File("lists\\sub\\two.mp3") + "\r\n");
    editor->Player().PlayListIndex(0);
    EXPECT_TRUE(audio.isPlaying && !editor->IsModified());
}

// Typing finds from the focused item on; Find Next from the one after it,
// round the end, with a beep when no other item holds the text.
TEST_F(Editing, FindSelectsFromTheFocusAndFindNextGoesRound)
{
    Load({"C:\\a\\Alpha.mp3", "C:\\b\\beta.mp3", "C:\\c\\ALPHABET.mp3", "C:\\d\\gamma.mp3"});
    Select({1}, 1);
    Command(ID_EDIT_FIND_NEXT); // no text yet: the box opens
    const HWND box = ::FindWindowA("#32770", "Find");
    ASSERT_TRUE(box && ::IsWindowVisible(box));
    const HWND edit = ::GetDlgItem(box, IDC_FIND_TEXT);
    const struct {
        const char* typed; // null: Find Next; "": the box's Enter
        int selected;
        size_t beeps;
    } steps[] = {{"alpha", 2, 0}, {nullptr, 0, 0}, {"", 2, 0}, {"BeTa", 1, 0}, {nullptr, 1, 1}, {"zeta", 1, 2}};
    for (const auto& step : steps) {
        if (!step.typed)
            Command(ID_EDIT_FIND_NEXT);
        else if (!*step.typed)
            ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        else
            ::SetWindowTextA(edit, step.typed);
        EXPECT_EQ(editor->List().GetSelItems(), std::vector<int>{step.selected}) << (step.typed ? step.typed : "next");
        EXPECT_EQ(ui.beeps.size(), step.beeps);
    }
}

bool StartUnix(const std::string& commandLine) { return ::WinExec(commandLine.c_str(), SW_HIDE) > 31; }

// Every key is up again: the keys of one press are all in, and the next
// press cannot mix with them.
bool KeysUp()
{
    for (int key = VK_BACK; key <= VK_OEM_CLEAR; ++key) {
        if (::GetAsyncKeyState(key) & 0x8000)
            return false;
    }
    return true;
}

// The X11 window under a top-level window, as Wine's driver names it.
std::string XWindow(HWND window)
{
    return std::to_string(reinterpret_cast<UINT_PTR>(::GetPropA(window, "__wine_x11_whole_window")));
}

// Real key presses into the editor and into the player, through the
// program's own translation in the loop.
TEST_F(Editing, KeysPressedInTheEditorOrThePlayerBecomeTheirCommands)
{
    Load({kT1, kT2, kT3}, "editkeys.m3u");
    PlayerSettings shown = editor->Player().Settings();
    shown.shown = true;
    editor->Player().Apply(shown);
    const HWND volume = ::GetDlgItem(editor->Player().GetHwnd(), IDC_VOLUME);
    Select({0}, 0);
    ui.defaultAnswer = IDYES;
    auto count = [&](int n) { return [&, n] { return editor->List().GetCount() == n; }; };
    const struct {
        HWND focus;
        const char* keys;
        std::function<bool()> done;
    } presses[] = {
        {list, "Delete", count(2)},
        {list, "ctrl+z", count(3)},
        {volume, "ctrl+shift+z", count(2)},
        {volume, "ctrl+z", count(3)},
        {list, "ctrl+y", count(2)},
        {list, "ctrl+z alt+Down", [&] { return Items() == Texts({kT2, kT1, kT3}); }},
        {list, "ctrl+a", [&] { return editor->List().GetSelCount() == 3; }},
        {list, "Return", [&] { return editor->Player().Audio().isPlaying; }},
        {list, "F3", [&] { return ::FindWindowA("#32770", "Find") != nullptr; }},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.keys);
        // The window's own control takes the keys, as after a click on it.
        const HWND window = ::GetAncestor(press.focus, GA_ROOT);
        ::SetForegroundWindow(window);
        ::SetFocus(press.focus);
        ASSERT_TRUE(StartUnix("/usr/bin/xdotool windowfocus --sync " + XWindow(window) + " key --clearmodifiers "
                              + press.keys));
        ASSERT_TRUE(Pump([&] { return press.done() && KeysUp(); }));
    }
    EXPECT_EQ(editor->Player().Queue().CurrentEntry()->path, kT1) << "Enter played the focused item";
}

} // namespace
