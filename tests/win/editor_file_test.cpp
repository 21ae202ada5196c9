// The playlist file commands through the real editor window: New, Open,
// Save, Save as and the save-changes prompt, the state they leave (flags,
// names, title), the bytes they write and the folders they remember.
#include "editor/editor_dlg.h"
#include "audio/mci_audio.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::FileExists;
using testing_support::ListItems;
using testing_support::QueueInStep;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const std::string kBase = "Zoravel's M3U Editor";
const UINT kQuestion = MB_YESNOCANCEL | MB_ICONQUESTION;
const UINT kWarning = MB_OK | MB_ICONEXCLAMATION;

struct State {
    bool hasFile;
    const char* fileName;
    bool modified;
    std::string title;
};

::testing::AssertionResult InState(const CEditorDlg& editor, const State& s)
{
    if (editor.m_bHasFile != s.hasFile || editor.m_strFileName != s.fileName || editor.m_bModified != s.modified
        || editor.GetWindowText() != s.title)
        return ::testing::AssertionFailure()
               << "hasFile " << editor.m_bHasFile << " name \"" << editor.m_strFileName << "\" modified "
               << editor.m_bModified << " title \"" << editor.GetWindowText() << "\"";
    return ::testing::AssertionSuccess();
}

// A change of the list as the track commands make it.
void AddOne(CEditorDlg& editor, const char* path)
{
    const int n = editor.m_list.GetCount();
    editor.m_pPlayer->AddTrack(n, path);
    editor.m_list.AddString(path);
    editor.SetModified(true, false);
}

void Command(CEditorDlg& editor, UINT id) { editor.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0)); }

class EditorFile : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session{"file"};
    CEditorDlg& editor = *session.Editor();

    std::string Write(const char* name, const std::string& bytes)
    {
        const std::string path = session.File(name);
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }
};

TEST_F(EditorFile, LoadFillsListAndQueueInOrder)
{
    const std::string path = Write("rock.m3u", "C:\\one.mp3\r\n\r\n   C:\\two.mp3  \r\n#EXTM3U\nC:\\three.mp3");
    ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), false));
    EXPECT_EQ(ListItems(editor), (std::vector<std::string>{"C:\\one.mp3", "C:\\two.mp3  ", "#EXTM3U", "C:\\three.mp3"}));
    EXPECT_TRUE(QueueInStep(editor));
    const CPlayQueue& queue = editor.m_pPlayer->m_queue;
    for (int i = 0; i < queue.Count(); ++i)
        EXPECT_EQ(queue.entries[static_cast<size_t>(i)].listIndex, i);
    EXPECT_EQ(queue.current, -1);
    EXPECT_TRUE(InState(editor, {true, "rock.m3u", false, kBase + " - rock.m3u"}));
    EXPECT_EQ(editor.m_strFilePath, path);
    EXPECT_EQ(PathFieldText(editor.m_settings.lastPlaylist), path);
    EXPECT_EQ(editor.GetDlgItem(IDC_SEL_STATUS) ? fw::CWindow(editor.GetDlgItem(IDC_SEL_STATUS)).GetWindowText() : "",
              "Sel: 1/4");
}

TEST_F(EditorFile, LoadKeepingTheQueueFillsOnlyTheList)
{
    AddOne(editor, "C:\\kept.mp3");
    const std::string path = Write("b.m3u", "C:\\x.mp3\r\nC:\\y.mp3\r\n");
    ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), true));
    EXPECT_EQ(ListItems(editor), (std::vector<std::string>{"C:\\x.mp3", "C:\\y.mp3"}));
    ASSERT_EQ(editor.m_pPlayer->m_queue.Count(), 1);
    EXPECT_EQ(editor.m_pPlayer->m_queue.entries[0].path, "C:\\kept.mp3");
}

TEST_F(EditorFile, LongLinesAreKeptWholeAndWrittenBack)
{
    const std::string longPath = "C:\\" + std::string(300, 'x') + ".mp3";
    const std::string path = Write("long.m3u", longPath + "\r\nC:\\after.mp3\r\n");
    ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), false));
    EXPECT_EQ(ListItems(editor), (std::vector<std::string>{longPath, "C:\\after.mp3"}));
    EXPECT_TRUE(QueueInStep(editor));
    Command(editor, ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), longPath + "\r\nC:\\after.mp3\r\n");
}

TEST_F(EditorFile, ShuffleOnShufflesTheLoadedQueue)
{
    fw::CButton(editor.m_pPlayer->GetDlgItem(IDC_SHUFFLE)).SetCheck(BST_CHECKED);
    int next = 0;
    editor.m_pPlayer->m_queue.random = [&next] { return next++ * 7919; };
    std::string bytes;
    for (int i = 0; i < 20; ++i)
        bytes += "C:\\t" + std::to_string(i) + ".mp3\r\n";
    ASSERT_TRUE(editor.LoadPlaylist(Write("s.m3u", bytes).c_str(), false));
    EXPECT_TRUE(QueueInStep(editor));
    bool moved = false;
    for (int i = 0; i < 20; ++i)
        moved = moved || editor.m_pPlayer->m_queue.entries[static_cast<size_t>(i)].listIndex != i;
    EXPECT_TRUE(moved);
}

TEST_F(EditorFile, OpenOfAVanishedFileChangesNothingButTheFolder)
{
    ASSERT_TRUE(editor.LoadPlaylist(Write("first.m3u", "C:\\a.mp3\r\nC:\\b.mp3\r\n").c_str(), false));
    const std::string vanished = session.File("sub") + "\\gone.m3u";
    ui.fileAnswers.push_back(FakeUi::Choose(vanished));
    Command(editor, ID_FILE_OPEN);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to open the specified file");
    EXPECT_EQ(ui.boxes[0].caption, "File Open Error");
    EXPECT_EQ(ui.boxes[0].type, kWarning);
    EXPECT_EQ(ListItems(editor), (std::vector<std::string>{"C:\\a.mp3", "C:\\b.mp3"}));
    EXPECT_TRUE(QueueInStep(editor));
    EXPECT_TRUE(InState(editor, {true, "first.m3u", false, kBase + " - first.m3u"}));
    EXPECT_EQ(PathFieldText(editor.m_settings.lastPlaylist), session.File("first.m3u"));
    EXPECT_EQ(PathFieldText(editor.m_settings.playlistFolder), session.File("sub"));
}

TEST_F(EditorFile, DialogsOpenInTheStartDirThenInThePlaylistFolder)
{
    ui.fileAnswers.push_back(FakeUi::Choose("D:\\rock.m3u"));
    Command(editor, ID_FILE_OPEN);
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const testing_support::ShownFileDialog& open = ui.fileDialogs[0];
    EXPECT_TRUE(open.open);
    EXPECT_EQ(open.initialDir, session.Dir().Path());
    EXPECT_EQ(open.defaultExtension, "m3u");
    EXPECT_EQ(open.filter, "MP3 Playlist Files (*.m3u)|*.m3u|All Files (*.*)|*.*||");
    EXPECT_EQ(open.flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES));
    EXPECT_EQ(open.bufferChars, 260u);
    // D:\rock.m3u names the folder D: (the backslash is cut, not kept).
    EXPECT_EQ(PathFieldText(editor.m_settings.playlistFolder), "D:");

    const std::string lists = session.File("lists");
    ASSERT_TRUE(::CreateDirectoryA(lists.c_str(), nullptr));
    ui.fileAnswers.push_back(FakeUi::Choose(lists + "\\mine.m3u"));
    Command(editor, ID_FILE_SAVE_AS);
    ASSERT_EQ(ui.fileDialogs.size(), 2u);
    const testing_support::ShownFileDialog& saveAs = ui.fileDialogs[1];
    EXPECT_FALSE(saveAs.open);
    EXPECT_EQ(saveAs.initialDir, "D:");
    EXPECT_EQ(saveAs.flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_LONGNAMES));
    EXPECT_EQ(saveAs.defaultExtension, "m3u");
    EXPECT_EQ(PathFieldText(editor.m_settings.playlistFolder), lists);

    Command(editor, ID_FILE_OPEN); // cancelled
    ASSERT_EQ(ui.fileDialogs.size(), 3u);
    EXPECT_EQ(ui.fileDialogs[2].initialDir, lists);
    // Save and Save as never touch the playlist the next start reloads.
    EXPECT_EQ(PathFieldText(editor.m_settings.lastPlaylist), "");
}

// The state table, walked command by command.
TEST_F(EditorFile, StateAfterEachCommandAndAnswer)
{
    EXPECT_TRUE(InState(editor, {false, "", false, kBase}));

    AddOne(editor, "C:\\a.mp3");
    EXPECT_TRUE(InState(editor, {false, "", true, kBase + " - *"}));

    // New on a modified list: No drops the changes.
    ui.answers = {IDNO};
    Command(editor, ID_FILE_NEW);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Do you want to save your changes?");
    EXPECT_EQ(ui.boxes[0].caption, "Save Changes?");
    EXPECT_EQ(ui.boxes[0].type, kQuestion);
    EXPECT_TRUE(InState(editor, {false, "untitled", false, kBase}));
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_EQ(editor.m_pPlayer->m_queue.Count(), 0);
    EXPECT_EQ(fw::CWindow(editor.GetDlgItem(IDC_SEL_STATUS)).GetWindowText(), "Sel: 0/0");

    // New on an unmodified list asks nothing.
    Command(editor, ID_FILE_NEW);
    EXPECT_EQ(ui.boxes.size(), 1u);

    AddOne(editor, "C:\\b.mp3");
    EXPECT_TRUE(InState(editor, {false, "untitled", true, kBase + " - untitled*"}));

    // Cancel keeps everything.
    ui.answers = {IDCANCEL};
    Command(editor, ID_FILE_NEW);
    EXPECT_TRUE(InState(editor, {false, "untitled", true, kBase + " - untitled*"}));
    EXPECT_EQ(editor.m_list.GetCount(), 1);

    // Yes on a list never saved: Save as, cancelled, cancels the New too.
    ui.answers = {IDYES};
    ui.fileAnswers = {FakeUi::Cancel()};
    Command(editor, ID_FILE_NEW);
    EXPECT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_TRUE(InState(editor, {false, "untitled", true, kBase + " - untitled*"}));
    EXPECT_EQ(editor.m_list.GetCount(), 1);

    // Save on a list without a file is Save as: one dialog, one write.
    const std::string path = session.File("one.m3u");
    ui.fileAnswers = {FakeUi::Choose(path)};
    Command(editor, ID_FILE_SAVE);
    EXPECT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_TRUE(InState(editor, {true, "one.m3u", false, kBase + " - one.m3u"}));
    EXPECT_EQ(editor.m_strFilePath, path);
    EXPECT_EQ(ReadFileBytes(path), "C:\\b.mp3\r\n");

    AddOne(editor, "C:\\c.mp3");
    EXPECT_TRUE(InState(editor, {true, "one.m3u", true, kBase + " - one.m3u*"}));
    Command(editor, ID_FILE_SAVE);
    EXPECT_EQ(ui.fileDialogs.size(), 2u); // no dialog: the file is known
    EXPECT_TRUE(InState(editor, {true, "one.m3u", false, kBase + " - one.m3u"}));
    EXPECT_EQ(ReadFileBytes(path), "C:\\b.mp3\r\nC:\\c.mp3\r\n");

    // Yes on a list with a file saves it, then Open goes on.
    AddOne(editor, "C:\\d.mp3");
    const std::string other = Write("other.m3u", "C:\\z.mp3\r\n");
    ui.answers = {IDYES};
    ui.fileAnswers = {FakeUi::Choose(other)};
    Command(editor, ID_FILE_OPEN);
    EXPECT_EQ(ReadFileBytes(path), "C:\\b.mp3\r\nC:\\c.mp3\r\nC:\\d.mp3\r\n");
    EXPECT_TRUE(InState(editor, {true, "other.m3u", false, kBase + " - other.m3u"}));
    EXPECT_EQ(ListItems(editor), std::vector<std::string>{"C:\\z.mp3"});
    EXPECT_TRUE(QueueInStep(editor));

    // A cancelled Open dialog changes nothing.
    Command(editor, ID_FILE_OPEN);
    EXPECT_TRUE(InState(editor, {true, "other.m3u", false, kBase + " - other.m3u"}));

    // Save as under a new name; the file that was opened stays the one the
    // next start reloads.
    const std::string renamed = session.File("renamed.m3u");
    ui.fileAnswers = {FakeUi::Choose(renamed)};
    Command(editor, ID_FILE_SAVE_AS);
    EXPECT_TRUE(InState(editor, {true, "renamed.m3u", false, kBase + " - renamed.m3u"}));
    EXPECT_EQ(ReadFileBytes(renamed), "C:\\z.mp3\r\n");
    EXPECT_EQ(PathFieldText(editor.m_settings.lastPlaylist), other);

    // A cancelled Save as changes nothing.
    AddOne(editor, "C:\\e.mp3");
    Command(editor, ID_FILE_SAVE_AS);
    EXPECT_TRUE(InState(editor, {true, "renamed.m3u", true, kBase + " - renamed.m3u*"}));
}

TEST_F(EditorFile, SavedBytesAreTheListLineByLine)
{
    const struct {
        std::vector<std::string> items;
        std::string bytes;
    } rows[] = {
        {{}, ""},
        {{"C:\\a.mp3"}, "C:\\a.mp3\r\n"},
        {{"C:\\a.mp3", "D:\\b c\\d.mp3  ", "#EXTINF:1,x"}, "C:\\a.mp3\r\nD:\\b c\\d.mp3  \r\n#EXTINF:1,x\r\n"},
    };
    const std::string path = session.File("bytes.m3u");
    for (const auto& row : rows) {
        ui.answers = {IDNO};
        Command(editor, ID_FILE_NEW);
        for (const std::string& item : row.items)
            AddOne(editor, item.c_str());
        ui.fileAnswers = {FakeUi::Choose(path)};
        Command(editor, ID_FILE_SAVE_AS);
        EXPECT_EQ(ReadFileBytes(path), row.bytes);
        EXPECT_FALSE(FileExists(path + ".tmp"));
        // And it reads back as the same list.
        ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), false));
        EXPECT_EQ(ListItems(editor), row.items);
    }
}

TEST_F(EditorFile, AFailedWriteKeepsTheOldFileAndTheMarker)
{
    const std::string path = Write("keep.m3u", "C:\\old.mp3\r\n");
    ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), false));
    AddOne(editor, "C:\\new.mp3");
    // A folder where the temporary file must go makes the write fail after
    // the target itself opened fine.
    ASSERT_TRUE(::CreateDirectoryA((path + ".tmp").c_str(), nullptr));

    Command(editor, ID_FILE_SAVE);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "File Save Error");
    EXPECT_NE(ui.boxes[0].text.find("Unable to write the playlist file"), std::string::npos);
    EXPECT_EQ(ui.boxes[0].type, kWarning);
    EXPECT_EQ(ReadFileBytes(path), "C:\\old.mp3\r\n");
    EXPECT_TRUE(InState(editor, {true, "keep.m3u", true, kBase + " - keep.m3u*"}));

    // Save as to a new file that cannot be written leaves no empty file and
    // keeps the name the list had.
    const std::string fresh = session.File("fresh.m3u");
    ASSERT_TRUE(::CreateDirectoryA((fresh + ".tmp").c_str(), nullptr));
    ui.fileAnswers = {FakeUi::Choose(fresh)};
    Command(editor, ID_FILE_SAVE_AS);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_TRUE(InState(editor, {true, "keep.m3u", true, kBase + " - keep.m3u*"}));
    EXPECT_EQ(editor.m_strFilePath, path);

    // In the prompt, the failed save cancels the New.
    ui.answers = {IDYES};
    Command(editor, ID_FILE_NEW);
    EXPECT_EQ(ui.boxes.size(), 4u);
    EXPECT_EQ(editor.m_list.GetCount(), 2);
    EXPECT_TRUE(editor.m_bModified);
    ::RemoveDirectoryA((path + ".tmp").c_str());
    ::RemoveDirectoryA((fresh + ".tmp").c_str());
}

TEST_F(EditorFile, ATargetThatCannotBeOpenedIsReportedAsSuch)
{
    const std::string path = Write("ro.m3u", "C:\\old.mp3\r\n");
    ASSERT_TRUE(editor.LoadPlaylist(path.c_str(), false));
    AddOne(editor, "C:\\new.mp3");
    // Held open without sharing by another program.
    HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Command(editor, ID_FILE_SAVE);
    ::CloseHandle(lock);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to open the specified file");
    EXPECT_EQ(ui.boxes[0].caption, "File Open Error");
    EXPECT_EQ(ReadFileBytes(path), "C:\\old.mp3\r\n");
    EXPECT_TRUE(InState(editor, {true, "ro.m3u", true, kBase + " - ro.m3u*"}));

    // A folder that does not exist; Open's prompt then cancels the Open.
    ui.fileAnswers = {FakeUi::Choose(session.File("nowhere") + "\\x.m3u")};
    Command(editor, ID_FILE_SAVE_AS);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Unable to open the specified file");
    EXPECT_TRUE(InState(editor, {true, "ro.m3u", true, kBase + " - ro.m3u*"}));
}

TEST_F(EditorFile, SavingLeavesPlaybackAlone)
{
    const std::string track = testing_support::FixturePath("tone3s.mp3");
    ASSERT_TRUE(FileExists(track)) << "run scripts/make-fixtures.sh and set QUILLON_FIXTURES";
    ASSERT_TRUE(editor.LoadPlaylist(Write("play.m3u", track + "\r\n" + track + "\r\n").c_str(), false));
    ASSERT_TRUE(editor.m_pPlayer->m_queue.PlayListIndex(1));
    AddOne(editor, "C:\\more.mp3");
    Command(editor, ID_FILE_SAVE);
    Command(editor, ID_FILE_SAVE_AS); // cancelled
    EXPECT_TRUE(editor.m_pPlayer->Audio().isPlaying);
    EXPECT_EQ(editor.m_pPlayer->m_queue.current, 1);
    EXPECT_TRUE(QueueInStep(editor));
    EXPECT_FALSE(editor.m_bModified);
}

TEST_F(EditorFile, NewAndOpenResetThePlayer)
{
    const std::string track = testing_support::FixturePath("tone3s.mp3");
    ASSERT_TRUE(editor.LoadPlaylist(Write("p.m3u", track + "\r\n").c_str(), false));
    ASSERT_TRUE(editor.m_pPlayer->m_queue.PlayListIndex(0));
    ASSERT_TRUE(editor.m_pPlayer->Audio().isPlaying);
    Command(editor, ID_FILE_NEW);
    EXPECT_FALSE(editor.m_pPlayer->Audio().isPlaying);
    EXPECT_EQ(editor.m_pPlayer->m_queue.current, -1);
    EXPECT_EQ(editor.m_pPlayer->m_queue.Count(), 0);
}

} // namespace
