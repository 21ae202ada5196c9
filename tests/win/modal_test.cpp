// The editor and the player inside real modal loops, over real timer ticks
// and under a real pointer, and the editor's files where the file system gets
// in the way. Real message boxes and the real Print dialog are answered by a
// second thread that finds them, acts on the program meanwhile, then presses
// a button.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "persist/resume_file.h"
#include "persist/settings_record.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "tray/tray_icon.h"
#include "tray/tray_seam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>

using namespace testing_support;
using Texts = std::vector<std::wstring>;

namespace {

// The seam with real message boxes and the real Print dialog: their loops
// run timers, the player and posted messages. File dialogs stay scripted.
struct RealBoxesUi : FakeUi {
    int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        boxes.push_back({text, caption, type});
        return ::MessageBoxW(owner, text, caption, type);
    }
    bool PrintDlg(PRINTDLGW& pd) override { return ++printDialogs, ::PrintDlgW(&pd) != FALSE; }
};

// Bounded poll without a message loop, for the answering thread.
bool Poll(const std::function<bool()>& condition, DWORD timeoutMs = 15000)
{
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(20)) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
    }
    return true;
}

// A message answered by a window of any thread; 99 when it does not answer.
DWORD_PTR Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result) ? result : 99;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    Send(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

void PostCommand(HWND window, int id) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// continue.dat as the program reads it.
ResumeData Resume(const std::wstring& path)
{
    ResumeData data;
    EXPECT_TRUE(LoadResumeFile(path.c_str(), data)) << path;
    return data;
}

// A Linux program. Through WinExec: CreateProcess hands back no usable
// handles for one under Wine, and closing those closes others.
bool StartUnix(const std::wstring& commandLine) { return ::WinExec(Narrow(commandLine).c_str(), SW_HIDE) > 31; }

// A visible window of the class, with a caption (the player has none), whose
// owner is owner; or, for owner null, of this thread.
HWND FindShown(const wchar_t* className, HWND owner)
{
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        const bool captioned = (::GetWindowLongW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        const bool mine = ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId();
        if (::IsWindowVisible(w) && (owner ? ::GetWindow(w, GW_OWNER) == owner && captioned : mine))
            return w;
    }
    return nullptr;
}

// One box or dialog: what to do to the program while it is up, then the button.
struct Answer { std::function<void()> meanwhile; int button; };

// Answers the next boxes and dialogs owned by owner, in order, on a thread of
// its own; join it before reading the captions of those it answered.
std::thread AnswerBoxes(HWND owner, std::vector<Answer> answers, Texts& captions)
{
    return std::thread([=, &captions] {
        for (const Answer& answer : answers) {
            HWND box = nullptr;
            if (!Poll([&] { return (box = FindShown(L"#32770", owner)) != nullptr; }))
                return;
            captions.push_back(TextOf(box));
            if (answer.meanwhile)
                answer.meanwhile();
            PostCommand(box, answer.button);
            Poll([&] { return !::IsWindow(box); });
        }
    });
}

const std::wstring kT1 = FixturePath(L"tone1s.mp3"), kT2 = FixturePath(L"track2.mp3"), kT3 = FixturePath(L"track3.mp3"),
                   kRussian = FixturePath(L"\u0420\u0443\u0441\u0441\u043a\u0430\u044f \u043f\u0435\u0441\u043d\u044f.mp3");

struct Modal {
    RealBoxesUi ui;
    EditorSession session{L"modal"};
    HWND editor = session.Hwnd(), player = session->Player().GetHwnd(), list = session->List().GetHwnd();
    bool ok = true; // what the answering thread found

    explicit Modal(const Texts& tracks, const wchar_t* name = L"list.m3u") { EXPECT_TRUE(LoadTracks(session, tracks, name)); }
    void Select(int index) const { testing_support::Select(session->List(), {index}); }
    void Command(int id) const { ::SendMessageW(editor, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void Drop(const Texts& files, bool post = false) const
    {
        const WPARAM drop = reinterpret_cast<WPARAM>(MakeDrop(files));
        post ? ::PostMessageW(editor, WM_DROPFILES, drop, 0) : ::SendMessageW(editor, WM_DROPFILES, drop, 0);
    }
    void AddTracks(const Texts& names)
    {
        ui.fileAnswers = {FakeUi::ChooseMany(L"C:\\add", names)};
        Command(IDC_ADD_TRACKS);
    }
};

// viaNext: the track changes by the player's Next, else by its end on the timer.
struct AskRow { const wchar_t* name; Texts tracks; void (*start)(Modal&); int button; bool viaNext; Texts added; };

// Track 1 plays and item 3 is selected. While the question is up the player
// moves on to track 2, which selects item 2, and a drop arrives.
TEST(ModalLoops, TheQuestionActsOnWhatWasThereWhenItWasAsked)
{
    const AskRow rows[] = {
        {L"Remove, Next", {kT1, kT2, kT3}, [](Modal& m) { m.Command(IDC_REMOVE); }, IDYES, true, {}},
        {L"Remove, end of track", {kT1, kT2, kT3}, [](Modal& m) { m.Command(IDC_REMOVE); }, IDYES, false, {}},
        {L"Clear Dupes", {kT1, kT2, kT3, kT3}, [](Modal& m) { m.Command(IDC_CLEAR_DUPES); }, IDYES, true, {kT3}},
        {L"Add Tracks", {kT1, kT2, kT3}, [](Modal& m) { m.AddTracks({L"x.mp3", L"y.wav", L"z.mp3"}); }, IDOK, true,
         {kT3, L"C:\\add\\x.mp3", L"C:\\add\\z.mp3"}},
        {L"drop", {kT1, kT2, kT3}, [](Modal& m) { m.Drop({L"C:\\p.wav", L"C:\\q.mp3"}); }, IDOK, false,
         {kT3, L"C:\\p.wav", L"C:\\q.mp3"}},
    };
    for (const AskRow& row : rows) {
        SCOPED_TRACE(row.name);
        Modal m(row.tracks);
        m.session->Player().OnPlayPause();
        m.Select(2);
        auto meanwhile = [&] {
            if (row.viaNext)
                PostCommand(m.player, IDC_NEXT);
            m.ok = Poll([&] { return Send(m.list, LB_GETSELCOUNT) == 1 && Send(m.list, LB_GETSEL, 1) == 1; });
            m.Drop({kT1}, true);
        };
        Texts captions;
        std::thread answerer = AnswerBoxes(m.editor, {{meanwhile, row.button}}, captions);
        row.start(m);
        answerer.join();
        EXPECT_EQ(captions.size(), 1u);
        EXPECT_TRUE(m.ok) << L"the change of track did not select item 2";
        Texts expected = {kT1, kT2};
        expected.insert(expected.end(), row.added.begin(), row.added.end());
        EXPECT_EQ(ListItems(*m.session.Editor()), expected);
        EXPECT_TRUE(QueueInStep(*m.session.Editor()));
        ASSERT_NE(m.session->Player().Queue().CurrentEntry(), nullptr);
        EXPECT_EQ(m.session->Player().Queue().CurrentEntry()->path, kT2);
        EXPECT_EQ(m.ui.beeps, std::vector<UINT>{MB_OK}) << L"the drop meanwhile is refused";
    }
}

void RemoveItem3(Modal& m) { m.Select(2), m.Command(IDC_REMOVE); }

// saved: the list items in continue.dat.
struct CloseRow { const wchar_t* name; void (*start)(Modal&); int button; void (*meanwhile)(Modal&); Texts captions; int saved; bool closes; };

// Whatever asks for the close, the handler under the box finishes first. The
// session's end under a box destroys nothing, is refused over unsaved
// changes, and writes the data files.
TEST(ModalLoops, AClosePostedUnderABoxComesOnceTheHandlerHasReturned)
{
    const CloseRow rows[] = {
        {L"tray Exit, Remove", RemoveItem3, IDYES,
         [](Modal& m) {
             // The tray menu is not offered: its loop would hold the callback.
             m.ok = Send(m.session->Tray().GetHwnd(), m.session->Tray().CallbackMessage(), 0, WM_RBUTTONUP) != 99;
             if (!m.ok)
                 ::PostMessageW(::FindWindowW(L"#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
             PostCommand(m.editor, ID_TRAY_EXIT);
         },
         {L"Delete?", L"Save Changes?"}, 2, true},
        {L"player's close button, Add Tracks' warning", [](Modal& m) { m.AddTracks({L"y.wav", L"z.mp3"}); }, IDOK,
         [](Modal& m) { Send(m.player, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED)); },
         {L"Warning", L"Save Changes?"}, 4, true},
        {L"IDCANCEL, the drop's warning", [](Modal& m) { m.Drop({L"C:\\p.wav", L"C:\\q.mp3"}); }, IDOK,
         [](Modal& m) { PostCommand(m.editor, IDCANCEL); }, {L"Warning!", L"Save Changes?"}, 5, true},
        {L"WM_CLOSE, a failed Save as",
         [](Modal& m) {
             m.ui.fileAnswers = {FakeUi::Choose(L"C:\\no such folder\\x.m3u")};
             m.Command(ID_FILE_SAVE_AS);
         },
         IDOK, [](Modal& m) { ::PostMessageW(m.editor, WM_CLOSE, 0, 0); }, {L"File Open Error"}, 3, true},
        {L"WM_CLOSE, the message that the list is now UTF-8", [](Modal& m) { m.Drop({kRussian}), m.Command(ID_FILE_SAVE); }, IDOK,
         [](Modal& m) { ::PostMessageW(m.editor, WM_CLOSE, 0, 0); }, {L"Playlist Encoding"}, 4, true},
        {L"the session's end, Remove after a move",
         [](Modal& m) { m.Select(0), m.Command(IDC_MOVE_DOWN), RemoveItem3(m); }, IDYES,
         [](Modal& m) { m.ok = Send(m.editor, WM_QUERYENDSESSION) == FALSE, Send(m.editor, WM_ENDSESSION, TRUE); },
         {L"Delete?"}, 3, false},
    };
    for (const CloseRow& row : rows) {
        SCOPED_TRACE(row.name);
        Modal m({kT1, kT2, kT3});
        std::vector<Answer> answers = {{[&] { row.meanwhile(m); }, row.button}};
        if (row.captions.size() > 1)
            answers.push_back({nullptr, IDNO});
        Texts captions;
        std::thread answerer = AnswerBoxes(m.editor, answers, captions);
        row.start(m);
        EXPECT_TRUE(m.session.Alive()) << L"the window went while its handler ran";
        EXPECT_EQ(fw::PumpUntil([&] { return !m.session.Alive(); }, row.closes ? 15000 : 0), row.closes);
        answerer.join();
        EXPECT_EQ(captions, row.captions);
        EXPECT_TRUE(m.ok);
        EXPECT_EQ(Resume(m.session.File(L"continue.dat")).count, row.saved);
        EXPECT_EQ(FileText(m.session.File(L"settings.dat")).size(), 884u);
    }
}

// The Print dialog is the editor's: while it is up a second Print, a move and
// a drop are refused, and the PDF holds the list at OK, Cyrillic too, in a
// fixed-pitch font.
TEST(ModalLoops, PrintIsModalToTheEditorAndPrintsTheListAtOk)
{
    const std::wstring tag = L"qp" + std::to_wstring(::GetTickCount() % 1000000);
    Modal m({kT1, kT2, kRussian}, (tag + L".m3u8").c_str());
    m.Select(1);
    auto meanwhile = [&] {
        m.ok = !::IsWindowEnabled(m.editor);
        PostCommand(m.editor, ID_FILE_PRINT);
        PostCommand(m.editor, IDC_MOVE_DOWN);
        m.Drop({kT1}, true);
    };
    Texts captions;
    std::thread answerer = AnswerBoxes(m.editor, {{meanwhile, IDOK}}, captions);
    m.Command(ID_FILE_PRINT);
    answerer.join();
    EXPECT_EQ(captions, Texts{L"Print"});
    EXPECT_TRUE(m.ok) << L"the editor was not disabled";
    EXPECT_EQ(m.ui.printDialogs, 1);
    EXPECT_EQ(m.ui.beeps.size(), 3u);

    // poppler reads the PDF back from the printer's folder, or the one
    // cups-pdf writes to now; the spooler finishes it after it appears.
    wchar_t dir[MAX_PATH] = L"";
    ASSERT_TRUE(::GetEnvironmentVariableW(L"QUILLON_PDF_DIR", dir, MAX_PATH));
    const std::wstring out = dir + (L"/" + tag);
    std::wstring windowsOut = L"Z:" + out;
    std::replace(windowsOut.begin(), windowsOut.end(), L'/', L'\\');
    ASSERT_TRUE(WriteFileBytes(windowsOut + L".sh",
                               L"for i in $(seq 300); do\n  f=$(ls -t " + std::wstring(dir) + L"/*" + tag +
                                   L"*.pdf $(sed -n 's|^Out ||p' /etc/cups/cups-pdf.conf)/*" + tag +
                                   L"*.pdf 2>/dev/null | head -n1)\n"
                                   L"  [ -n \"$f\" ] && [ -z \"$(lpstat -o)\" ] && pdfinfo \"$f\" >/dev/null && break\n"
                                   L"  sleep 0.1\ndone\n{ pdftotext -layout \"$f\" -; pdffonts \"$f\"; } >" + out +
                                   L".txt\nrm -f \"$f\" " + out + L".sh\nmv " + out + L".txt " + out + L".out\n"));
    ASSERT_TRUE(StartUnix(L"/bin/sh " + out + L".sh"));
    ASSERT_TRUE(fw::PumpUntil([&] { return FileExists(windowsOut + L".out"); }, 60000));
    std::wstring text = FileText(windowsOut + L".out");
    ::DeleteFileW((windowsOut + L".out").c_str());
    for (size_t at; (at = text.find(L"\xC2\xAD")) != std::wstring::npos;) // '-' comes back as a soft hyphen
        text.replace(at, 2, L"-");
    const std::string utf8 = WriteM3u({kT1, kT2, kRussian}, TextEncoding::Utf8, LineEnd::Lf, SystemAnsiCodePage());
    EXPECT_NE(text.find(Units(utf8)), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Mono"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"Sans"), std::wstring::npos) << text;
}

HICON g_trayIcon = nullptr;

BOOL WINAPI RecordTrayIcon(DWORD message, PNOTIFYICONDATAW data)
{
    if (message != NIM_DELETE && (data->uFlags & NIF_ICON))
        g_trayIcon = data->hIcon;
    return TRUE;
}

// Pumps messages until timer 1 of window, the player's title timer that
// blinks the tray while paused, has fired ticks times.
bool PumpTitleTicks(HWND window, int ticks)
{
    MSG msg;
    for (const DWORD start = ::GetTickCount(); ticks > 0 && ::GetTickCount() - start < 15000;
         ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        while (ticks > 0 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ticks -= msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == 1;
            ::DispatchMessageW(&msg);
        }
    }
    return ticks <= 0;
}

// A paused track played on by Rewind or Fast Forward, or stopped by New or
// Open: over the next ticks the tray shows the program's icon again.
TEST(ModalPlayer, TheTrayShowsTheProgramsIconOnceAPauseEnds)
{
    const struct {
        bool player;
        int command;
    } rows[] = {{true, IDC_REWIND}, {true, IDC_FAST_FORWARD}, {false, ID_FILE_NEW}, {false, ID_FILE_OPEN}};
    const tray::NotifyIconFn previous = tray::SetNotifyIcon(RecordTrayIcon);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        FakeUi ui;
        EditorSession session(L"tray");
        ASSERT_TRUE(LoadTracks(session, {FixturePath(L"tone8s.mp3")}));
        ASSERT_TRUE(WriteFileBytes(session.File(L"other.m3u"), kT2 + L"\r\n"));
        ui.fileAnswers = {FakeUi::Choose(session.File(L"other.m3u"))};
        const HWND player = session->Player().GetHwnd();
        const HICON programIcon = reinterpret_cast<HICON>(::SendMessageW(session.Hwnd(), WM_GETICON, ICON_SMALL, 0));
        session->Player().OnPlayPause();
        ASSERT_TRUE(PumpTitleTicks(player, 1));
        session->Player().OnPlayPause();
        ASSERT_NE(g_trayIcon, programIcon) << L"paused, the tray shows the paused image";
        ::SendMessageW(row.player ? player : session.Hwnd(), WM_COMMAND, MAKEWPARAM(row.command, BN_CLICKED), 0);
        ASSERT_TRUE(PumpTitleTicks(player, 3));
        EXPECT_EQ(g_trayIcon, programIcon);
    }
    tray::SetNotifyIcon(previous);
}

// The pointer moved through X11 (xdotool), as a user's mouse moves it.
bool MovePointer(int x, int y)
{
    POINT at{};
    return StartUnix(L"/usr/bin/xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y)) &&
           fw::PumpUntil([&] { return ::GetCursorPos(&at) && at.x == x && at.y == y; }, 10000);
}

// The player is dragged by its surface and its title lets the mouse through;
// disabled buttons get no mouse messages: their tips show all the same.
TEST(ModalPlayer, TooltipsShowUnderARealHover)
{
    FakeUi ui;
    EditorSession session(L"hover");
    const std::wstring first = FixturePath(L"tone8s.mp3");
    ASSERT_TRUE(LoadTracks(session, {first, kT2}));
    PlayerSettings shown = session->Player().Settings();
    shown.shown = true;
    session->Player().Apply(shown);
    session->Player().OnPlayPause();
    const HWND player = session->Player().GetHwnd();
    ASSERT_FALSE(::IsWindowEnabled(::GetDlgItem(player, IDC_PREVIOUS)));
    const std::pair<int, std::wstring> rows[] = {{IDC_TITLE, first}, {IDC_PREVIOUS, L"Previous"}, {IDC_NEXT, L"track2.mp3"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.second);
        RECT r{};
        ::GetWindowRect(::GetDlgItem(player, row.first), &r);
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        // Away first, so that no tip of the row before stays up; then over it with a 1-pixel nudge.
        ASSERT_TRUE(MovePointer(x, y - 200));
        fw::PumpUntil([&] { return !FindShown(L"tooltips_class32", nullptr); }, 5000);
        ASSERT_TRUE(MovePointer(x, y) && MovePointer(x + 1, y));
        HWND tip = nullptr;
        EXPECT_TRUE(fw::PumpUntil([&] { return (tip = FindShown(L"tooltips_class32", nullptr)) != nullptr; }, 5000));
        EXPECT_EQ(TextOf(tip), row.second);
    }
}

// The editor started in dir, which stays the current directory until the
// test puts its own back.
struct ModalFiles : ::testing::Test {
    FakeUi ui;
    wchar_t previous[MAX_PATH] = L"";
    ModalFiles() { ::GetCurrentDirectoryW(MAX_PATH, previous); }
    ~ModalFiles() override { ::SetCurrentDirectoryW(previous); }
    static std::unique_ptr<CEditorDlg> StartIn(const std::wstring& dir)
    {
        auto editor = std::make_unique<CEditorDlg>();
        return ::SetCurrentDirectoryW(dir.c_str()) && editor->Create(nullptr) ? std::move(editor) : nullptr;
    }
    static void Command(CEditorDlg& editor, int id) { editor.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)); }
};

// Data files at the root of the drive, where an empty directory name would
// put them, hold a stored list and shuffle: neither is read nor written.
TEST_F(ModalFiles, AStartUpDirectoryTooLongToNamePassesTheDataFilesOver)
{
    ScratchDir scratch(L"long");
    std::wstring deep(scratch.Path().begin(), scratch.Path().end());
    while (deep.size() <= MAX_PATH + 40)
        ASSERT_TRUE(::CreateDirectoryW((deep += L"\\" + std::wstring(40, L'd')).c_str(), nullptr));
    const std::wstring stored = scratch.File(L"stored.m3u");
    SettingsRecord record{};
    record.shuffle = 1;
    SetPathField(record.lastPlaylist, stored, SystemAnsiCodePage(), nullptr);
    ASSERT_TRUE(WriteFileBytes(stored, L"C:\\stored.mp3\r\n") && SaveSettingsFile(L"C:\\settings.dat", record));
    const std::wstring settings = FileText(L"C:\\settings.dat");
    if (std::unique_ptr<CEditorDlg> editor = StartIn(deep)) {
        EXPECT_TRUE(ListItems(*editor).empty());
        EXPECT_FALSE(editor->Player().Settings().shuffle);
        EXPECT_TRUE(editor->LoadPlaylist(stored.c_str(), false));
        Command(*editor, IDCANCEL);
        EXPECT_FALSE(editor->IsWindow());
    } else {
        ADD_FAILURE() << L"no start";
    }
    ::SetCurrentDirectoryW(previous);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(FileText(L"C:\\settings.dat"), settings);
    EXPECT_FALSE(FileExists(L"C:\\continue.dat"));
    ::DeleteFileW(L"C:\\settings.dat");
    ::DeleteFileW(L"C:\\continue.dat");
    for (; deep.size() > scratch.Path().size(); deep.resize(deep.rfind(L'\\')))
        ::RemoveDirectoryW(deep.c_str());
}

// In a start-up directory too deep for a temporary name beside its files
// (GetTempFileName takes at most MAX_PATH - 14 characters), the data files
// and a playlist are rewritten in place.
TEST_F(ModalFiles, SavesRewriteInPlaceAndOpensChangeNothingUntilTheFileIsRead)
{
    ScratchDir scratch(L"saves");
    const std::wstring dir = scratch.Path() + L"\\" + std::wstring(245 - scratch.Path().size(), L'f');
    const std::wstring kept = dir + L"\\kept.m3u", huge = scratch.File(L"huge.m3u"), t1 = FixturePath(L"tone8s.mp3");
    ASSERT_TRUE(::CreateDirectoryW(dir.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir + L"\\settings.dat", L"old") && WriteFileBytes(dir + L"\\continue.dat", L"old"));
    ASSERT_TRUE(WriteFileBytes(kept, t1 + L"\r\n" + kT2 + L"\r\n\x1a\r\n")); // ended as old DOS tools did
    const HANDLE file = ::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_TRUE(::SetFilePointer(file, 300 << 20, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) && ::CloseHandle(file));
    std::unique_ptr<CEditorDlg> editor = StartIn(dir);
    ASSERT_NE(editor, nullptr);

    // The Ctrl-Z is no part of the last track.
    ui.fileAnswers = {FakeUi::Choose(kept)};
    Command(*editor, ID_FILE_OPEN);
    EXPECT_EQ(ListItems(*editor), (Texts{t1, kT2}));
    ::SendMessageW(editor->List().GetHwnd(), LB_SETSEL, TRUE, 1);
    Command(*editor, IDC_MOVE_UP);
    Command(*editor, ID_FILE_SAVE);
    EXPECT_EQ(FileText(kept), kT2 + L"\r\n" + t1 + L"\r\n");

    // Too large to hold: the open error, and the list and the player as they were.
    editor->Player().OnPlayPause();
    ui.fileAnswers = {FakeUi::Choose(huge)};
    Command(*editor, ID_FILE_OPEN);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text + L"|" + ui.boxes[0].caption, L"Unable to open the specified file|File Open Error");
    EXPECT_EQ(ListItems(*editor), (Texts{kT2, t1}));
    EXPECT_EQ(editor->Player().Queue().PlayOrder(), (std::vector<int>{0, 1}));
    EXPECT_EQ(editor->Player().Queue().Current(), 0);
    EXPECT_TRUE(editor->Player().Audio().isPlaying);

    // The close rewrites both data files; a start whose last playlist is too
    // large comes up with an empty list, in silence.
    Command(*editor, IDCANCEL);
    editor.reset();
    const ResumeData resume = Resume(dir + L"\\continue.dat");
    EXPECT_EQ(resume.order, (std::vector<int>{0, 1}));
    EXPECT_EQ(resume.current, 0);
    SettingsRecord record{};
    ASSERT_TRUE(LoadSettingsFile((dir + L"\\settings.dat").c_str(), record));
    EXPECT_EQ(PathFieldPath(record.lastPlaylist, SystemAnsiCodePage()), kept);
    SetPathField(record.lastPlaylist, huge, SystemAnsiCodePage(), nullptr);
    ASSERT_TRUE(SaveSettingsFile((dir + L"\\settings.dat").c_str(), record));
    editor = StartIn(dir);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(ListItems(*editor).empty());
    EXPECT_EQ(ui.boxes.size(), 1u);
    WIN32_FIND_DATAW found;
    EXPECT_EQ(::FindFirstFileW((dir + L"\\qvt*").c_str(), &found), INVALID_HANDLE_VALUE) << L"a temporary file is left";
}

} // namespace
