// The editor window with its real list, menu and buttons: the file commands and
// their questions, playlists in every encoding, the track commands and their
// rules, names beyond the code page dropped and played, the title, the status
// line and the layout (moves: tests/e2e and the queue's unit tests). Boxes and
// file dialogs are answered through the UI seam; the queue mirrors the list.
#include "audio/mci_audio.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "tray/tray_icon.h"

#include <cderr.h>

using namespace testing_support;

namespace {

using Tracks = std::vector<std::wstring>;
const std::wstring kBase = L"Zoravel's M3U Editor", kPlaylists = L"MP3 Playlist Files (*.m3u)|*.m3u|All Files (*.*)|*.*||m3u";
const DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
// Track names beyond code page 1252 (but the accents), an emoji among them.
const std::wstring kJapanese = L"\u65e5\u672c\u306e\u6b4c.mp3", kGreek = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.mp3",
                   kRussian = L"\u0420\u0443\u0441\u0441\u043a\u0430\u044f \u043f\u0435\u0441\u043d\u044f.mp3",
                   kCafe = L"Caf\u00e9 cr\u00e8me.mp3", kEmoji = L"\U0001F3B5 Notes.mp3";

class Editor : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session;
    HWND hwnd = session.Hwnd();
    const fw::CListBox& list = session->List();

    void TearDown() override { EXPECT_TRUE(QueueInStep(*session.Editor())); }
    void Do(int id) { Command(hwnd, id); }
    std::wstring State() const { return session->GetWindowText() + L"|" + Text(hwnd, IDC_SEL_STATUS) + L"|" + std::to_wstring(list.GetCount()); }
    void Drop(const Tracks& files) { ::SendMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0); }
    void Select(std::vector<int> items, int caret = -1) { testing_support::Select(list, items, caret >= 0 ? caret : items.at(0)); }
    // The last message box: "caption: text", and its type.
    std::wstring Box() const { return ui.boxes.empty() ? L"" : ui.boxes.back().caption + L": " + ui.boxes.back().text + L" " + std::to_wstring(ui.boxes.back().type); }
    std::wstring Write(const wchar_t* name, const Tracks& tracks, TextEncoding encoding, LineEnd lineEnd = LineEnd::CrLf)
    {
        const std::wstring path = session.File(name);
        EXPECT_TRUE(WriteFileBytes(path, WriteM3u({tracks.begin(), tracks.end()}, encoding, lineEnd, SystemAnsiCodePage())));
        return path;
    }
    void Open(const std::wstring& path) { ui.fileAnswers.push_back(FakeUi::Choose(path)), Do(ID_FILE_OPEN); }
    static Tracks Numbered(int n, int from = 0)
    {
        Tracks t;
        for (int i = from; i < n; ++i)
            t.push_back(L"C:\\m\\" + std::to_wstring(i) + L".mp3");
        return t;
    }
};

TEST_F(Editor, FileCommandsAskBeforeDroppingChangesAndReportFailures)
{
    EXPECT_EQ(State(), kBase + L"||0");
    Drop({L"C:\\a.mp3"});
    EXPECT_EQ(State(), kBase + L" - *|Sel: 1/1|1") << L"a change to a list that has no name yet";
    ui.answers = {IDCANCEL, IDNO};
    Do(ID_FILE_NEW);
    EXPECT_EQ(Box() + State(), L"Save Changes?: Do you want to save your changes? 35" + kBase + L" - *|Sel: 1/1|1");
    Do(ID_FILE_NEW);
    EXPECT_EQ(State() + std::to_wstring(session->Player().Queue().Count()), kBase + L"|Sel: 0/0|00");
    Do(ID_FILE_NEW);
    EXPECT_EQ(ui.boxes.size(), 2u) << L"nothing to lose, nothing asked";
    Drop({L"C:\\a.mp3"});
    EXPECT_EQ(session->GetWindowText(), kBase + L" - untitled*");
    // Yes for a list never saved asks for a file; cancelling that cancels New.
    ui.answers = {IDYES, IDYES};
    Do(ID_FILE_NEW);
    const ShownFileDialog saveAs = ui.fileDialogs.at(0);
    EXPECT_TRUE(!saveAs.open && saveAs.filter == kPlaylists && saveAs.initialDir == session.Dir().Path() && saveAs.flags == (kOpenFlags | OFN_OVERWRITEPROMPT));
    ui.fileAnswers = {FakeUi::Choose(session.File(L"first.m3u"))};
    Do(ID_FILE_NEW);
    EXPECT_EQ(FileText(session.File(L"first.m3u")) + State(), L"C:\\a.mp3\r\n" + kBase + L"|Sel: 0/0|0");

    // Open: the list loaded and named; its folder starts the next dialogs.
    ASSERT_TRUE(::CreateDirectoryW(session.File(L"lists").c_str(), nullptr));
    const std::wstring rock = session.File(L"lists\\rock.m3u");
    ASSERT_TRUE(WriteFileBytes(rock, L"C:\\x.mp3\r\n  D:\\y z.mp3 \n#EXTINF:1,x\r\n"));
    ui.fileAnswers = {FakeUi::Choose(rock), FakeUi::Choose(session.File(L"gone.m3u"))};
    Do(ID_FILE_OPEN);
    const ShownFileDialog open = ui.fileDialogs.back();
    EXPECT_TRUE(open.open && open.filter == kPlaylists && open.initialDir == session.Dir().Path() && open.flags == kOpenFlags);
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{L"C:\\x.mp3", L"D:\\y z.mp3 ", L"#EXTINF:1,x"}));
    EXPECT_EQ(State(), kBase + L" - rock.m3u|Sel: 1/3|3");
    Do(ID_FILE_OPEN); // a file that vanished after it was chosen
    EXPECT_EQ(ui.fileDialogs.back().initialDir, session.File(L"lists"));
    EXPECT_EQ(Box() + State(), L"File Open Error: Unable to open the specified file 48" + kBase + L" - rock.m3u|Sel: 1/3|3");
    // Save writes the opened path, asking nothing; a Save as that fails keeps
    // the name of the file that holds the list (its message: modal_test.cpp).
    Drop({L"E:\\new.mp3"});
    Do(ID_FILE_SAVE);
    EXPECT_EQ(FileText(rock), L"C:\\x.mp3\r\nD:\\y z.mp3 \r\n#EXTINF:1,x\r\nE:\\new.mp3\r\n");
    Drop({L"E:\\more.mp3"});
    ui.fileAnswers = {FakeUi::Choose(session.File(L"no such folder\\x.m3u"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(session->GetWindowText(), kBase + L" - rock.m3u*");
    // A write that fails once the file was opened keeps the old bytes, the
    // marker and the question: held without leave to delete, nothing moves over it.
    Drop({L"E:\\last.mp3"});
    const std::wstring kept = FileText(rock);
    HANDLE held = ::CreateFileW(rock.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ui.answers = {IDYES};
    Do(ID_FILE_NEW);
    ::CloseHandle(held);
    EXPECT_EQ(Box(), L"File Save Error: Unable to write the playlist file. The file on disk was left as it was. 48");
    EXPECT_EQ(FileText(rock) + session->GetWindowText(), kept + kBase + L" - rock.m3u*") << L"New goes on only when the save succeeded";
}

TEST_F(Editor, AddTracksAndDropTakeTheirFilesAndRememberTheFolder)
{
    ui.fileAnswers = {FakeUi::ChooseMany(L"D:\\x", {L"Song.MP3", L"song.wav", L"remix_mp3", L" t.mp3\t"}), FakeUi::ChooseMany(L"E:\\y", {L"a.txt", L"a.mp3"})};
    Do(IDC_ADD_TRACKS);
    const ShownFileDialog shown = ui.fileDialogs.back();
    EXPECT_TRUE(shown.open && shown.bufferChars == 52000 && shown.initialDir == session.Dir().Path() && shown.flags == (kOpenFlags | OFN_ALLOWMULTISELECT));
    EXPECT_EQ(shown.filter, L"MP3 Audio Files (*.mp3)|*.mp3|All Files (*.*)|*.*||mp3");
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{L"D:\\x\\Song.MP3", L"D:\\x\\remix_mp3", L"D:\\x\\ t.mp3"}));
    EXPECT_EQ(Box() + State(), L"Warning: Warning: The extension of this file is not \"mp3\"\r\n   D:\\x\\song.wav 48" + kBase + L" - *|Sel: 1/3|3");
    // The next dialog opens in the folder of the first file of the last
    // accepted selection, even when that file was refused.
    Do(IDC_ADD_TRACKS);
    Do(IDC_ADD_TRACKS);
    EXPECT_EQ(ui.fileDialogs[1].initialDir + L" " + ui.fileDialogs[2].initialDir + L" " + list.GetText(3), L"D:\\x E:\\y E:\\y\\a.mp3");
    ui.extendedError = FNERR_BUFFERTOOSMALL;
    Do(IDC_ADD_TRACKS);
    EXPECT_EQ(Box(), L"Add Tracks: Too many files were selected at once; none of them were added.\r\nPlease add them in smaller groups. 48");
    ui.extendedError = 0;
    // Dropped files that are no MP3 are announced and added all the same, repeats too.
    Drop({L"D:\\x\\a.txt", L"D:\\x\\Song.MP3", L"D:\\folder", L"b"});
    EXPECT_EQ(list.GetText(4) + L"|" + list.GetText(5) + L"|" + list.GetText(7) + L"|" + std::to_wstring(ui.boxes.size()) + State(),
              L"D:\\x\\a.txt|D:\\x\\Song.MP3|b|6" + kBase + L" - *|Sel: 1/8|8");
    EXPECT_EQ(ui.boxes[4].caption + L": " + ui.boxes[4].text, L"Warning!: Warning: The extension of this file is not \"mp3\"\r\n    D:\\folder");
}

TEST_F(Editor, RemoveAndClearDupesAskAndKeepTheFirstOfEachPath)
{
    ASSERT_TRUE(LoadTracks(session, Numbered(8)));
    Do(IDC_REMOVE);
    EXPECT_TRUE(ui.boxes.empty()) << L"nothing selected, nothing asked";
    Select({2, 5});
    ui.answers = {IDNO, IDYES};
    Do(IDC_REMOVE);
    EXPECT_EQ(Box() + std::to_wstring(list.GetCount()) + std::to_wstring(session->IsModified()), L"Delete?: Do you want to permanently delete the selected items? 3680");
    Do(IDC_REMOVE);
    Tracks six = Numbered(2);
    for (int k : {3, 4, 6, 7})
        six.push_back(L"C:\\m\\" + std::to_wstring(k) + L".mp3");
    EXPECT_EQ(ListItems(*session.Editor()), six);
    EXPECT_TRUE(session->IsModified() && QueueInStep(*session.Editor()));
    Select({0, 1, 2, 3, 4, 5});
    ui.answers = {IDYES};
    Do(IDC_REMOVE);
    EXPECT_EQ(Text(hwnd, IDC_SEL_STATUS), L"Sel: 0/0");
    // Keys are lower-cased and trimmed, nothing else; one item asks nothing.
    ASSERT_TRUE(LoadTracks(session, {L"D:\\A.mp3"}));
    Do(IDC_CLEAR_DUPES);
    ASSERT_TRUE(LoadTracks(session, {L"D:\\A.mp3", L"e:\\b.mp3", L"d:\\a.MP3 ", L"D:\\.\\a.mp3", L"d:\\a.mp3\t", L"E:\\B.MP3\r", L"C:\\\xC9t\xE9.mp3",
                                     L"c:\\\xE9t\xC9.mp3", L"e:\\b.mp4"}));
    Select({1, 3, 8}, 8);
    ui.answers = {IDNO, IDYES};
    Do(IDC_CLEAR_DUPES);
    EXPECT_EQ(Box() + std::to_wstring(list.GetCount()), L"Delete Duplicates?: All duplicate occurrences of files will be deleted. Do you want to continue? 369");
    Do(IDC_CLEAR_DUPES);
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{L"D:\\A.mp3", L"e:\\b.mp3", L"D:\\.\\a.mp3", L"C:\\\xC9t\xE9.mp3", L"e:\\b.mp4"}));
    EXPECT_TRUE(list.GetSelItems() == (std::vector<int>{1, 2, 4}) && Text(hwnd, IDC_SEL_STATUS) == L"Sel: 5/5");
}

TEST_F(Editor, DoubleClickPlaysEnterClosesNothingAndTheLayoutFollowsTheSize)
{
    ASSERT_TRUE(LoadTracks(session, {FixturePath(L"tone1s.mp3"), FixturePath(L"tone3s.mp3"), session.File(L"missing.mp3")}));
    Select({1});
    Command(hwnd, IDC_TRACK_LIST, LBN_DBLCLK);
    EXPECT_TRUE(session->Player().Audio().isPlaying && Text(session->Player().GetHwnd(), IDC_TRACK_COUNTER) == L"2 of 3");
    Select({2});
    Command(hwnd, IDC_TRACK_LIST, LBN_DBLCLK);
    EXPECT_FALSE(ui.beeps.empty() || ui.beeps[0] != 0 || session->Player().Audio().isOpen) << L"a track that will not open beeps";
    Command(hwnd, IDOK, BN_CLICKED); // Enter closes nothing
    EXPECT_TRUE(session.Alive() && ::IsWindowVisible(hwnd));
    // The list grows with the window; the left buttons and the status line keep
    // to the bottom, Move Up to the bottom right; not smaller than created.
    const int ids[] = {IDC_TRACK_LIST, IDC_ADD_TRACKS, IDC_SEL_STATUS, IDC_MOVE_UP}, moves[][4] = {{0, 0, 1, 1}, {0, 1, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}};
    const auto at = [this](int id) {
        RECT r = fw::CWindow(::GetDlgItem(hwnd, id)).GetWindowRect();
        session->ScreenToClient(r);
        return r;
    };
    RECT before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = at(ids[i]);
    const RECT frame = session->GetWindowRect();
    MINMAXINFO info{};
    ::SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(info.ptMinTrackSize.x == frame.right - frame.left && info.ptMinTrackSize.y == frame.bottom - frame.top);
    session->SetWindowPos(nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 80, SWP_NOMOVE | SWP_NOZORDER);
    session->ShowWindow(SW_MINIMIZE); // and restored: a zero size moves nothing
    session->ShowWindow(SW_RESTORE);
    for (int i = 0; i < 4; ++i) {
        const RECT r = at(ids[i]), b = before[i];
        const int* m = moves[i];
        EXPECT_TRUE(r.left == b.left + 120 * m[0] && r.top == b.top + 80 * m[1] && r.right == b.right + 120 * m[2] && r.bottom == b.bottom + 80 * m[3]) << ids[i];
    }
}

// Save writes what Open read, in every encoding and line end.
TEST_F(Editor, EveryEncodingAndLineEndOpensAndSavesBackByteForByte)
{
    ASSERT_EQ(SystemAnsiCodePage().Id(), 1252u) << "the names are what code page 1252 holds, or not";
    using E = TextEncoding;
    const std::wstring jp = L"D:\\\u97f3\u697d\\" + kJapanese, gr = L"\\\\nas\\" + kGreek, ru = L"C:\\" + kRussian,
                       cafe = L"C:\\" + kCafe, emoji = L"C:\\" + kEmoji, plain = L"C:\\plain.mp3";
    const struct { const wchar_t* name; E encoding; LineEnd lineEnd; Tracks tracks; } rows[] = {
        {L"bom.m3u", E::Utf8Bom, LineEnd::CrLf, {jp, gr, plain}}, {L"plain.m3u8", E::Utf8, LineEnd::Lf, {ru, emoji}},
        {L"found.m3u", E::Utf8, LineEnd::Cr, {cafe, jp}},        {L"le.m3u", E::Utf16Le, LineEnd::CrLf, {emoji, gr}},
        {L"be.m3u", E::Utf16Be, LineEnd::Lf, {jp, plain}},        {L"ansi.m3u", E::Ansi, LineEnd::CrLf, {cafe, plain}},
        {L"ansi-lf.m3u", E::Ansi, LineEnd::Lf, {plain, cafe}},    {L"ansi-cr.m3u", E::Ansi, LineEnd::Cr, {cafe}},
    };
    for (const auto& r : rows) {
        const std::wstring path = Write(r.name, r.tracks, r.encoding, r.lineEnd);
        const std::string bytes = ReadFileBytes(path);
        Open(path);
        EXPECT_EQ(ListItems(*session.Editor()), r.tracks) << r.name;
        Do(ID_FILE_SAVE);
        EXPECT_EQ(ReadFileBytes(path), bytes) << r.name;
    }
    EXPECT_TRUE(ReadFileBytes(session.File(L"be.m3u")).substr(0, 4) == std::string("\xFE\xFF\0D", 4) && ui.boxes.empty());
}

// Dropped tracks named in any script play and show their names; the .m3u
// becomes UTF-8 with a mark, once, with a message naming them; Save as
// follows the file's name.
TEST_F(Editor, DroppedNamesTheCodePageLacksPlayAndForceUtf8)
{
    const std::wstring list = Write(L"\u03bb\u03af\u03c3\u03c4\u03b1.m3u", {FixturePath(kCafe.c_str())}, TextEncoding::Ansi);
    Open(list);
    const Tracks names{kCafe, kJapanese, kGreek, kRussian, kEmoji};
    Tracks paths(names.size());
    std::transform(names.begin(), names.end(), paths.begin(), [](const std::wstring& name) { return FixturePath(name.c_str()); });
    Drop({paths.begin() + 1, paths.end()});
    ASSERT_EQ(ListItems(*session.Editor()), paths);
    CMciAudio& audio = session->Player().Audio();
    for (int i = 0; i < 5; ++i) {
        Select({i});
        Command(hwnd, IDC_TRACK_LIST, LBN_DBLCLK);
        ASSERT_TRUE(fw::PumpUntil([&] { return audio.isPlaying && audio.GetPosition() > 0; }, 5000)) << i;
        EXPECT_EQ(session->Tray().Tip() + L" " + Text(session->Player().GetHwnd(), IDC_TRACK_COUNTER),
                  names[static_cast<size_t>(i)] + L" " + std::to_wstring(i + 1) + L" of 5");
    }
    EXPECT_EQ(session->GetWindowText(), kBase + L" - \u03bb\u03af\u03c3\u03c4\u03b1.m3u*");
    Do(ID_FILE_SAVE);
    EXPECT_EQ(Box(), L"Playlist Encoding: The playlist was saved as UTF-8 (Unicode) text, because these names do not fit the "
                     L"system's code page:\r\n\r\n" + kJapanese + L"\r\n" + kGreek + L"\r\n" + kRussian + L"\r\n" + kEmoji + L" 64");
    EXPECT_EQ(ReadFileBytes(list), WriteM3u({paths.begin(), paths.end()}, TextEncoding::Utf8Bom, LineEnd::CrLf, SystemAnsiCodePage()));
    Do(ID_FILE_SAVE);
    ui.fileAnswers = {FakeUi::Choose(session.File(L"new.m3u8"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_TRUE(ui.boxes.size() == 1u && ui.beeps.empty()) << "told once; .m3u8 is UTF-8 anyway";
    EXPECT_EQ(ReadFileBytes(session.File(L"new.m3u8")), ReadFileBytes(list));
    // Without those names, Save as a .m3u writes the code page again.
    Select({1, 2, 3, 4});
    ui.answers = {IDYES};
    Do(IDC_REMOVE);
    ui.fileAnswers = {FakeUi::Choose(session.File(L"back.m3u"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(FileText(session.File(L"back.m3u")), paths[0] + L"\r\n");
}

} // namespace
