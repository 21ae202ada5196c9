// The editor window with its real list, menu and buttons: the file commands
// and their questions, the track commands and their rules, the title, the
// status line and the layout. (Moves: tests/e2e and the queue's unit tests.) Boxes and file dialogs are answered through the
// UI seam; after every test the play queue mirrors the list.
#include "audio/mci_audio.h"
#include "res/resource.h"
#include "support/editor_session.h"

#include <cderr.h>

using namespace testing_support;

namespace {

using Tracks = std::vector<std::string>;
const std::string kBase = "Zoravel's M3U Editor", kPlaylists = "MP3 Playlist Files (*.m3u)|*.m3u|All Files (*.*)|*.*||m3u";
const DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;

class Editor : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session;
    HWND hwnd = session.Hwnd();
    const fw::CListBox& list = session->List();

    void TearDown() override { EXPECT_TRUE(QueueInStep(*session.Editor())); }
    void Do(int id) { Command(hwnd, id); }
    std::string State() const { return session->GetWindowText() + "|" + Text(hwnd, IDC_SEL_STATUS) + "|" + std::to_string(list.GetCount()); }
    void Drop(const Tracks& files) { ::SendMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0); }
    void Select(std::vector<int> items, int caret = -1)
    {
        list.SetSel(-1, false);
        for (int i : items)
            list.SetSel(i, true);
        list.SetCaretIndex(caret >= 0 ? caret : items.at(0));
    }
    // The last message box: "caption: text", and its type.
    std::string Box() const { return ui.boxes.empty() ? "" : ui.boxes.back().caption + ": " + ui.boxes.back().text + " " + std::to_string(ui.boxes.back().type); }
    static Tracks Numbered(int n, int from = 0)
    {
        Tracks t;
        for (int i = from; i < n; ++i)
            t.push_back("C:\\m\\" + std::to_string(i) + ".mp3");
        return t;
    }
};

TEST_F(Editor, FileCommandsAskBeforeDroppingChangesAndReportFailures)
{
    EXPECT_EQ(State(), kBase + "||0");
    Drop({"C:\\a.mp3"});
    EXPECT_EQ(State(), kBase + " - *|Sel: 1/1|1") << "a change to a list that has no name yet";
    ui.answers = {IDCANCEL, IDNO};
    Do(ID_FILE_NEW);
    EXPECT_EQ(Box() + State(), "Save Changes?: Do you want to save your changes? 35" + kBase + " - *|Sel: 1/1|1");
    Do(ID_FILE_NEW);
    EXPECT_EQ(State() + std::to_string(session->Player().Queue().Count()), kBase + "|Sel: 0/0|00");
    Do(ID_FILE_NEW);
    EXPECT_EQ(ui.boxes.size(), 2u) << "nothing to lose, nothing asked";
    Drop({"C:\\a.mp3"});
    EXPECT_EQ(session->GetWindowText(), kBase + " - untitled*");
    // Yes for a list never saved asks for a file; cancelling that cancels New.
    ui.answers = {IDYES, IDYES};
    Do(ID_FILE_NEW);
    const ShownFileDialog saveAs = ui.fileDialogs.at(0);
    EXPECT_TRUE(!saveAs.open && saveAs.filter == kPlaylists && saveAs.initialDir == session.Dir().Path() && saveAs.flags == (kOpenFlags | OFN_OVERWRITEPROMPT));
    ui.fileAnswers = {FakeUi::Choose(session.File("first.m3u"))};
    Do(ID_FILE_NEW);
    EXPECT_EQ(ReadFileBytes(session.File("first.m3u")) + State(), "C:\\a.mp3\r\n" + kBase + "|Sel: 0/0|0");

    // Open: the list loaded and named; its folder starts the next dialogs.
    ASSERT_TRUE(::CreateDirectoryA(session.File("lists").c_str(), nullptr));
    const std::string rock = session.File("lists\\rock.m3u");
    ASSERT_TRUE(WriteFileBytes(rock, "C:\\x.mp3\r\n  D:\\y z.mp3 \n#EXTINF:1,x\r\n"));
    ui.fileAnswers = {FakeUi::Choose(rock), FakeUi::Choose(session.File("gone.m3u"))};
    Do(ID_FILE_OPEN);
    const ShownFileDialog open = ui.fileDialogs.back();
    EXPECT_TRUE(open.open && open.filter == kPlaylists && open.initialDir == session.Dir().Path() && open.flags == kOpenFlags);
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{"C:\\x.mp3", "D:\\y z.mp3 ", "#EXTINF:1,x"}));
    EXPECT_EQ(State(), kBase + " - rock.m3u|Sel: 1/3|3");
    Do(ID_FILE_OPEN); // a file that vanished after it was chosen
    EXPECT_EQ(ui.fileDialogs.back().initialDir, session.File("lists"));
    EXPECT_EQ(Box() + State(), "File Open Error: Unable to open the specified file 48" + kBase + " - rock.m3u|Sel: 1/3|3");
    // Save writes the opened path, asking nothing; a Save as that fails keeps
    // the name of the file that holds the list (its message: modal_test.cpp).
    Drop({"E:\\new.mp3"});
    Do(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(rock), "C:\\x.mp3\r\nD:\\y z.mp3 \r\n#EXTINF:1,x\r\nE:\\new.mp3\r\n");
    Drop({"E:\\more.mp3"});
    ui.fileAnswers = {FakeUi::Choose(session.File("no such folder\\x.m3u"))};
    Do(ID_FILE_SAVE_AS);
    EXPECT_EQ(session->GetWindowText(), kBase + " - rock.m3u*");
    // A write that fails once the file was opened keeps the old bytes, the
    // marker and the question: held without leave to delete, nothing moves over it.
    Drop({"E:\\last.mp3"});
    const std::string kept = ReadFileBytes(rock);
    HANDLE held = ::CreateFileA(rock.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ui.answers = {IDYES};
    Do(ID_FILE_NEW);
    ::CloseHandle(held);
    EXPECT_EQ(Box(), "File Save Error: Unable to write the playlist file. The file on disk was left as it was. 48");
    EXPECT_EQ(ReadFileBytes(rock) + session->GetWindowText(), kept + kBase + " - rock.m3u*") << "New goes on only when the save succeeded";
}

TEST_F(Editor, AddTracksAndDropTakeTheirFilesAndRememberTheFolder)
{
    ui.fileAnswers = {FakeUi::ChooseMany("D:\\x", {"Song.MP3", "song.wav", "remix_mp3", " t.mp3\t"}), FakeUi::ChooseMany("E:\\y", {"a.txt", "a.mp3"})};
    Do(IDC_ADD_TRACKS);
    const ShownFileDialog shown = ui.fileDialogs.back();
    EXPECT_TRUE(shown.open && shown.bufferChars == 52000 && shown.initialDir == session.Dir().Path() && shown.flags == (kOpenFlags | OFN_ALLOWMULTISELECT));
    EXPECT_EQ(shown.filter, "MP3 Audio Files (*.mp3)|*.mp3|All Files (*.*)|*.*||mp3");
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{"D:\\x\\Song.MP3", "D:\\x\\remix_mp3", "D:\\x\\ t.mp3"}));
    EXPECT_EQ(Box() + State(), "Warning: Warning: The extension of this file is not \"mp3\"\r\n   D:\\x\\song.wav 48" + kBase + " - *|Sel: 1/3|3");
    // The next dialog opens in the folder of the first file of the last
    // accepted selection, even when that file was refused.
    Do(IDC_ADD_TRACKS);
    Do(IDC_ADD_TRACKS);
    EXPECT_EQ(ui.fileDialogs[1].initialDir + " " + ui.fileDialogs[2].initialDir + " " + list.GetText(3), "D:\\x E:\\y E:\\y\\a.mp3");
    ui.extendedError = FNERR_BUFFERTOOSMALL;
    Do(IDC_ADD_TRACKS);
    EXPECT_EQ(Box(), "Add Tracks: Too many files were selected at once; none of them were added.\r\nPlease add them in smaller groups. 48");
    ui.extendedError = 0;
    // Dropped files that are no MP3 are announced and added all the same, repeats too.
    Drop({"D:\\x\\a.txt", "D:\\x\\Song.MP3", "D:\\folder", "b"});
    EXPECT_EQ(list.GetText(4) + "|" + list.GetText(5) + "|" + list.GetText(7) + "|" + std::to_string(ui.boxes.size()) + State(),
              "D:\\x\\a.txt|D:\\x\\Song.MP3|b|6" + kBase + " - *|Sel: 1/8|8");
    EXPECT_EQ(ui.boxes[4].caption + ": " + ui.boxes[4].text, "Warning!: Warning: The extension of this file is not \"mp3\"\r\n    D:\\folder");
}

TEST_F(Editor, RemoveAndClearDupesAskAndKeepTheFirstOfEachPath)
{
    ASSERT_TRUE(LoadTracks(session, Numbered(8)));
    Do(IDC_REMOVE);
    EXPECT_TRUE(ui.boxes.empty()) << "nothing selected, nothing asked";
    Select({2, 5});
    ui.answers = {IDNO, IDYES};
    Do(IDC_REMOVE);
    EXPECT_EQ(Box() + std::to_string(list.GetCount()) + std::to_string(session->IsModified()), "Delete?: Do you want to permanently delete the selected items? 3680");
    Do(IDC_REMOVE);
    Tracks six = Numbered(2);
    for (int k : {3, 4, 6, 7})
        six.push_back("C:\\m\\" + std::to_string(k) + ".mp3");
    EXPECT_EQ(ListItems(*session.Editor()), six);
    EXPECT_TRUE(session->IsModified() && QueueInStep(*session.Editor()));
    Select({0, 1, 2, 3, 4, 5});
    ui.answers = {IDYES};
    Do(IDC_REMOVE);
    EXPECT_EQ(Text(hwnd, IDC_SEL_STATUS), "Sel: 0/0");
    // Keys are lower-cased and trimmed, nothing else; one item asks nothing.
    ASSERT_TRUE(LoadTracks(session, {"D:\\A.mp3"}));
    Do(IDC_CLEAR_DUPES);
    ASSERT_TRUE(LoadTracks(session, {"D:\\A.mp3", "e:\\b.mp3", "d:\\a.MP3 ", "D:\\.\\a.mp3", "d:\\a.mp3\t", "E:\\B.MP3\r", "C:\\\xC9t\xE9.mp3",
                                     "c:\\\xE9t\xC9.mp3", "e:\\b.mp4"}));
    Select({1, 3, 8}, 8);
    ui.answers = {IDNO, IDYES};
    Do(IDC_CLEAR_DUPES);
    EXPECT_EQ(Box() + std::to_string(list.GetCount()), "Delete Duplicates?: All duplicate occurrences of files will be deleted. Do you want to continue? 369");
    Do(IDC_CLEAR_DUPES);
    EXPECT_EQ(ListItems(*session.Editor()), (Tracks{"D:\\A.mp3", "e:\\b.mp3", "D:\\.\\a.mp3", "C:\\\xC9t\xE9.mp3", "e:\\b.mp4"}));
    EXPECT_TRUE(list.GetSelItems() == (std::vector<int>{1, 2, 4}) && Text(hwnd, IDC_SEL_STATUS) == "Sel: 5/5");
}

TEST_F(Editor, DoubleClickPlaysEnterClosesNothingAndTheLayoutFollowsTheSize)
{
    ASSERT_TRUE(LoadTracks(session, {FixturePath("tone1s.mp3"), FixturePath("tone3s.mp3"), session.File("missing.mp3")}));
    Select({1});
    Command(hwnd, IDC_TRACK_LIST, LBN_DBLCLK);
    EXPECT_TRUE(session->Player().Audio().isPlaying && Text(session->Player().GetHwnd(), IDC_TRACK_COUNTER) == "2 of 3");
    Select({2});
    Command(hwnd, IDC_TRACK_LIST, LBN_DBLCLK);
    EXPECT_FALSE(ui.beeps.empty() || ui.beeps[0] != 0 || session->Player().Audio().isOpen) << "a track that will not open beeps";
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
    ::SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
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

} // namespace
