// The track commands through the real editor window: Add Tracks, dropping
// files, Remove, Clear Dupes, Move Up/Down, the status line and the
// double-click, with the play queue checked against the list after each.
#include "editor/editor_dlg.h"
#include "audio/mci_audio.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <cderr.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::ListItems;
using testing_support::LoadTracks;
using testing_support::QueueInStep;

namespace {

using Items = std::vector<std::string>;

using testing_support::MakeDrop;

std::string SelStatus(const CEditorDlg& editor) { return fw::CWindow(editor.GetDlgItem(IDC_SEL_STATUS)).GetWindowText(); }

// What the status line must say now: the focus item (the list control
// decides where it is) and the count.
std::string ExpectedStatus(const CEditorDlg& editor)
{
    return "Sel: " + std::to_string(editor.m_list.GetCurSel() + 1) + "/" + std::to_string(editor.m_list.GetCount());
}

void Select(CEditorDlg& editor, const std::vector<int>& items)
{
    // Item by item without moving the caret (LB_SETSEL would scroll to each).
    editor.m_list.SendMessage(LB_SETSEL, FALSE, -1);
    for (int i : items)
        editor.m_list.SendMessage(LB_SELITEMRANGEEX, i, i);
}

Items Numbered(int count, const char* prefix = "C:\\music\\track")
{
    Items items;
    for (int i = 0; i < count; ++i)
        items.push_back(prefix + std::to_string(i) + ".mp3");
    return items;
}

void Click(CEditorDlg& editor, UINT id) { editor.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)); }

class EditorTracks : public ::testing::Test {
protected:
    FakeUi ui;
    EditorSession session{"trk"};
    CEditorDlg& editor = *session.Editor();
};

// ---------------------------------------------------------------------------
// Add Tracks

TEST_F(EditorTracks, AddTracksTakesMp3NamesOnly)
{
    ::SetDlgItemTextA(editor.GetHwnd(), IDC_SEL_STATUS, "untouched");
    ui.fileAnswers.push_back(FakeUi::ChooseMany("D:\\x", {"Song.MP3", "song.wav", "remix_mp3", "b.mp3"}));
    Click(editor, IDC_ADD_TRACKS);

    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const testing_support::ShownFileDialog& shown = ui.fileDialogs[0];
    EXPECT_TRUE(shown.open);
    EXPECT_EQ(shown.bufferChars, 52000u);
    EXPECT_EQ(shown.defaultExtension, "mp3");
    EXPECT_EQ(shown.filter, "MP3 Audio Files (*.mp3)|*.mp3|All Files (*.*)|*.*||");
    EXPECT_EQ(shown.flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES));
    EXPECT_EQ(shown.initialDir, session.Dir().Path());

    EXPECT_EQ(ListItems(editor), (Items{"D:\\x\\Song.MP3", "D:\\x\\remix_mp3", "D:\\x\\b.mp3"}));
    EXPECT_TRUE(QueueInStep(editor));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Warning: The extension of this file is not \"mp3\"\r\n   D:\\x\\song.wav");
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(editor.m_bModified);
    EXPECT_EQ(editor.GetWindowText(), "Zoravel's M3U Editor - *");
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), "D:\\x");
    EXPECT_EQ(SelStatus(editor), ExpectedStatus(editor));

    // The next dialog opens in that folder; a file already listed goes in again.
    ui.fileAnswers.push_back(FakeUi::Choose("E:\\other\\b.mp3"));
    Click(editor, IDC_ADD_TRACKS);
    EXPECT_EQ(ui.fileDialogs[1].initialDir, "D:\\x");
    EXPECT_EQ(editor.m_list.GetCount(), 4);
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), "E:\\other");
    EXPECT_TRUE(QueueInStep(editor));
}

TEST_F(EditorTracks, AddTracksFolderComesFromTheFirstFileEvenIfRefused)
{
    ui.fileAnswers.push_back(FakeUi::ChooseMany("F:\\odd", {"a.wav"}));
    Click(editor, IDC_ADD_TRACKS);
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_FALSE(editor.m_bModified);
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), "F:\\odd");
    EXPECT_EQ(SelStatus(editor), "Sel: 0/0");
}

TEST_F(EditorTracks, AddTracksCancelledOrTooManyAddsNothing)
{
    SetPathField(editor.m_settings.trackFolder, "G:\\keep");
    Click(editor, IDC_ADD_TRACKS); // cancelled
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), "G:\\keep");

    // A selection that does not fit the names buffer is not dropped in silence.
    ui.extendedError = FNERR_BUFFERTOOSMALL;
    ui.fileAnswers.push_back(FakeUi::Cancel());
    Click(editor, IDC_ADD_TRACKS);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Add Tracks");
    EXPECT_NE(ui.boxes[0].text.find("Too many files"), std::string::npos);
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_FALSE(editor.m_bModified);
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), "G:\\keep");
}

TEST_F(EditorTracks, AddTracksTrimsBlanks)
{
    ui.fileAnswers.push_back([](OPENFILENAMEA& ofn) {
        const char block[] = "D:\\y\0 lead.mp3\0trail.mp3 \0\0";
        std::memcpy(ofn.lpstrFile, block, sizeof block);
        ofn.nFileOffset = 5;
        return true;
    });
    Click(editor, IDC_ADD_TRACKS);
    // The folder and the name are joined first, so only the ends are trimmed.
    EXPECT_EQ(ListItems(editor), (Items{"D:\\y\\ lead.mp3", "D:\\y\\trail.mp3"}));
}

// ---------------------------------------------------------------------------
// Dropping files

TEST_F(EditorTracks, DroppedFilesAreAllAddedWithAWarningForOthers)
{
    const std::string folder = session.File("a folder");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const Items dropped = {"D:\\x\\a.mp3", "D:\\x\\a.txt", folder, "D:\\x\\a.mp3"};
    ::SetDlgItemTextA(editor.GetHwnd(), IDC_SEL_STATUS, "untouched");
    editor.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)));

    EXPECT_EQ(ListItems(editor), dropped);
    EXPECT_TRUE(QueueInStep(editor));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Warning: The extension of this file is not \"mp3\"\r\n    D:\\x\\a.txt");
    EXPECT_EQ(ui.boxes[0].caption, "Warning!");
    EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(ui.boxes[1].text, "Warning: The extension of this file is not \"mp3\"\r\n    " + folder);
    EXPECT_TRUE(editor.m_bModified);
    EXPECT_EQ(SelStatus(editor), ExpectedStatus(editor));
    EXPECT_EQ(PathFieldText(editor.m_settings.trackFolder), ""); // drop leaves it alone
}

TEST_F(EditorTracks, DroppingNothingChangesNothing)
{
    editor.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})));
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_FALSE(editor.m_bModified);
}

// ---------------------------------------------------------------------------
// Remove and Clear Dupes

TEST_F(EditorTracks, RemoveAsksAndDeletesTheSelection)
{
    const Items items = Numbered(8);
    ASSERT_TRUE(LoadTracks(session, items));

    Click(editor, IDC_REMOVE); // nothing selected: no question
    EXPECT_TRUE(ui.boxes.empty());

    Select(editor, {2, 5});
    ui.answers = {IDNO};
    Click(editor, IDC_REMOVE);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Do you want to permanently delete the selected items?");
    EXPECT_EQ(ui.boxes[0].caption, "Delete?");
    EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(ListItems(editor), items);
    EXPECT_FALSE(editor.m_bModified);

    ui.answers = {IDYES};
    Click(editor, IDC_REMOVE);
    EXPECT_EQ(ListItems(editor), (Items{items[0], items[1], items[3], items[4], items[6], items[7]}));
    EXPECT_TRUE(QueueInStep(editor));
    EXPECT_TRUE(editor.m_bModified);
    EXPECT_EQ(editor.m_list.GetSelCount(), 0);
    EXPECT_NE(SelStatus(editor).find("/6"), std::string::npos);

    editor.m_list.SendMessage(LB_SETSEL, TRUE, -1);
    ui.answers = {IDYES};
    Click(editor, IDC_REMOVE);
    EXPECT_EQ(editor.m_list.GetCount(), 0);
    EXPECT_EQ(SelStatus(editor), "Sel: 0/0");
    EXPECT_TRUE(QueueInStep(editor));
}

TEST_F(EditorTracks, ClearDupesKeepsTheFirstOfEachKey)
{
    struct Row {
        const char* name;
        Items before;
        Items after;
    };
    const Row rows[] = {
        {"case and blanks", {"D:\\A.mp3", "e:\\b.mp3", "d:\\a.MP3 ", "  D:\\a.mp3"}, {"D:\\A.mp3", "e:\\b.mp3"}},
        {"no normalising", {"D:\\a.mp3", "D:\\.\\a.mp3", "D:/a.mp3"}, {"D:\\a.mp3", "D:\\.\\a.mp3", "D:/a.mp3"}},
        {"order kept", {"b", "a", "B", "c", "A", "b", "d"}, {"b", "a", "c", "d"}},
        {"all the same", {"x.mp3", "X.MP3", "x.mp3\t"}, {"x.mp3"}},
        {"accents lower too", {"C:\\\xC9t\xE9.mp3", "c:\\\xE9t\xE9.mp3"}, {"C:\\\xC9t\xE9.mp3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ui.answers = {IDNO};
        editor.OnFileNew();
        ASSERT_TRUE(LoadTracks(session, row.before));
        ui.boxes.clear();
        ui.answers = {IDYES};
        Click(editor, IDC_CLEAR_DUPES);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "All duplicate occurrences of files will be deleted. Do you want to continue?");
        EXPECT_EQ(ui.boxes[0].caption, "Delete Duplicates?");
        EXPECT_EQ(ui.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(ListItems(editor), row.after);
        EXPECT_TRUE(QueueInStep(editor));
        EXPECT_EQ(editor.m_bModified, row.after.size() != row.before.size());
        EXPECT_EQ(SelStatus(editor).substr(SelStatus(editor).find('/')), "/" + std::to_string(row.after.size()));
    }
}

TEST_F(EditorTracks, ClearDupesAsksNothingBelowTwoItems)
{
    ASSERT_TRUE(LoadTracks(session, {"C:\\only.mp3"}));
    Click(editor, IDC_CLEAR_DUPES);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_TRUE(LoadTracks(session, {"C:\\a.mp3", "c:\\A.MP3"}));
    ui.answers = {IDNO};
    Click(editor, IDC_CLEAR_DUPES);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(editor.m_list.GetCount(), 2);
}

// ---------------------------------------------------------------------------
// Move Up and Move Down

// The walk item by item: each selected item trades places with its
// neighbour, ascending for up, descending for down.
Items ModelMove(Items items, const std::vector<int>& selected, bool up)
{
    if (up) {
        for (int s : selected)
            std::swap(items[static_cast<size_t>(s)], items[static_cast<size_t>(s) - 1]);
    } else {
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            std::swap(items[static_cast<size_t>(*it)], items[static_cast<size_t>(*it) + 1]);
    }
    return items;
}

TEST_F(EditorTracks, MoveUpAndDownCarryTheSelection)
{
    struct Row {
        const char* name;
        bool up;
        std::vector<int> selected;
        bool refused;
    };
    const Row rows[] = {
        {"scattered up", true, {2, 5}, false},
        {"block up", true, {3, 4}, false},
        {"blocks and singles up", true, {1, 2, 4, 6, 7}, false},
        {"top refuses", true, {0, 3}, true},
        {"scattered down", false, {2, 5}, false},
        {"block down", false, {3, 4}, false},
        {"blocks and singles down", false, {0, 1, 3, 5, 6}, false},
        {"bottom refuses", false, {2, 9}, true},
        {"whole list up", true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, true},
    };
    const Items items = Numbered(10);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(LoadTracks(session, items));
        Select(editor, row.selected);
        editor.SetModified(false, true);
        ::SetDlgItemTextA(editor.GetHwnd(), IDC_SEL_STATUS, "untouched");
        Click(editor, row.up ? IDC_MOVE_UP : IDC_MOVE_DOWN);

        std::vector<int> expectedSelection = row.selected;
        if (row.refused) {
            EXPECT_EQ(ListItems(editor), items);
            EXPECT_FALSE(editor.m_bModified);
            EXPECT_EQ(SelStatus(editor), "untouched");
        } else {
            EXPECT_EQ(ListItems(editor), ModelMove(items, row.selected, row.up));
            EXPECT_TRUE(editor.m_bModified);
            EXPECT_NE(SelStatus(editor), "untouched");
            for (int& s : expectedSelection)
                s += row.up ? -1 : 1;
        }
        EXPECT_EQ(editor.m_list.GetSelItems(), expectedSelection);
        EXPECT_TRUE(QueueInStep(editor));
    }
    // Nothing selected: nothing happens.
    ASSERT_TRUE(LoadTracks(session, items));
    Click(editor, IDC_MOVE_DOWN);
    EXPECT_EQ(ListItems(editor), items);
    EXPECT_FALSE(editor.m_bModified);
}

TEST_F(EditorTracks, BlockOfThreeMovesAsOne)
{
    ASSERT_TRUE(LoadTracks(session, {"a", "b", "c", "d", "e"}));
    Select(editor, {1, 2, 3});
    Click(editor, IDC_MOVE_UP);
    EXPECT_EQ(ListItems(editor), (Items{"b", "c", "d", "a", "e"}));
    Click(editor, IDC_MOVE_DOWN);
    Click(editor, IDC_MOVE_DOWN);
    EXPECT_EQ(ListItems(editor), (Items{"a", "e", "b", "c", "d"}));
    EXPECT_EQ(editor.m_list.GetSelItems(), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(QueueInStep(editor));
}

// ---------------------------------------------------------------------------
// The queue after every command: unshuffled and shuffled, playing and not.

struct Mode {
    const char* name;
    bool shuffled;
    bool playing;
    int listSize; // large enough to take the one-pass paths
};

class EditorQueueInStep : public ::testing::TestWithParam<Mode> {
protected:
    FakeUi ui;
    EditorSession session{"inv"};
    CEditorDlg& editor = *session.Editor();
    std::string fixture = testing_support::FixturePath("tone8s.mp3");

    // Item 3 and every 7th item are a real track, so that playing survives.
    Items Build(int count) const
    {
        Items items = Numbered(count);
        for (int i = 3; i < count; i += 7)
            items[static_cast<size_t>(i)] = fixture;
        for (int i = 0; i < count; i += 5)
            items[static_cast<size_t>(i)] = "C:\\music\\dupe.mp3";
        return items;
    }

    void Prepare()
    {
        const Mode& mode = GetParam();
        ASSERT_TRUE(LoadTracks(session, Build(mode.listSize)));
        CPlayQueue& queue = editor.m_pPlayer->m_queue;
        if (mode.shuffled) {
            unsigned seed = 12345;
            queue.random = [&seed] {
                seed = seed * 1103515245u + 12345u;
                return static_cast<int>((seed >> 16) & 0x7FFF);
            };
            queue.Shuffle();
            queue.random = [] { return 1; };
        }
        if (mode.playing) {
            ASSERT_TRUE(testing_support::FileExists(fixture));
            ASSERT_TRUE(queue.PlayListIndex(3));
            editor.m_pPlayer->UpdateDisplay();
            ASSERT_TRUE(editor.m_pPlayer->Audio().isPlaying);
        }
        ui.answers.clear();
        ui.defaultAnswer = IDYES;
    }

    // The playing entry: its path and whether it still plays.
    std::string CurrentPath() const
    {
        const CPlayQueue& queue = editor.m_pPlayer->m_queue;
        return queue.HasValidCurrent() ? queue.entries[static_cast<size_t>(queue.current)].path : "";
    }
};

TEST_P(EditorQueueInStep, AfterEveryCommand)
{
    const Mode& mode = GetParam();
    ASSERT_NO_FATAL_FAILURE(Prepare());
    const CPlayQueue& queue = editor.m_pPlayer->m_queue;
    const int n = mode.listSize;

    struct Step {
        const char* name;
        std::vector<int> selection;
        UINT command;
        bool selectPlaying; // select whatever item the playing entry carries now
    };
    std::vector<int> many, scattered, block, blockLow;
    for (int i = 10; i < n; i += 3)
        many.push_back(i);
    for (int i = 1; i < n; i += 9)
        scattered.push_back(i);
    for (int i = n / 4; i < n / 4 + n / 5; ++i)
        block.push_back(i);
    for (int i = 2; i < 2 + n / 5; ++i)
        blockLow.push_back(i); // holds the playing item
    const Step steps[] = {
        {"move up scattered", scattered, IDC_MOVE_UP, false},
        {"move down scattered", scattered, IDC_MOVE_DOWN, false},
        {"move up block", block, IDC_MOVE_UP, false},
        {"move down block with the playing item", blockLow, IDC_MOVE_DOWN, false},
        {"move up block with the playing item", blockLow, IDC_MOVE_UP, false},
        {"clear dupes", {}, IDC_CLEAR_DUPES, false},
        {"remove many", many, IDC_REMOVE, false},
        {"remove a few", {0, 1}, IDC_REMOVE, false},
        {"remove the playing one", {}, IDC_REMOVE, true},
    };
    auto key = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const int playingItem = queue.HasValidCurrent() ? queue.entries[static_cast<size_t>(queue.current)].listIndex : -1;
        std::vector<int> selection = step.selection;
        if (step.selectPlaying) {
            if (playingItem < 0)
                continue;
            selection = {playingItem};
        }
        const int count = editor.m_list.GetCount();
        selection.erase(std::remove_if(selection.begin(), selection.end(), [count](int i) { return i >= count; }),
                        selection.end());
        Select(editor, selection);
        const std::string playing = CurrentPath();
        const Items before = ListItems(editor);
        // Does the command take the playing item away?
        bool removed = false;
        if (playingItem >= 0 && step.command == IDC_REMOVE)
            removed = std::find(selection.begin(), selection.end(), playingItem) != selection.end();
        if (playingItem >= 0 && step.command == IDC_CLEAR_DUPES) {
            for (int j = 0; j < playingItem; ++j)
                removed = removed || key(before[static_cast<size_t>(j)]) == key(before[static_cast<size_t>(playingItem)]);
        }

        Click(editor, step.command);
        ASSERT_TRUE(QueueInStep(editor));
        if (step.command == IDC_MOVE_UP || step.command == IDC_MOVE_DOWN) {
            EXPECT_EQ(ListItems(editor), ModelMove(before, selection, step.command == IDC_MOVE_UP));
        }
        if (mode.playing && !removed) {
            // The same track stays current and playing.
            EXPECT_EQ(CurrentPath(), playing);
            EXPECT_TRUE(editor.m_pPlayer->Audio().isPlaying);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorQueueInStep,
                         ::testing::Values(Mode{"Plain", false, false, 60}, Mode{"Shuffled", true, false, 60},
                                           Mode{"PlainPlaying", false, true, 60},
                                           Mode{"ShuffledPlaying", true, true, 60},
                                           Mode{"BigPlain", false, false, 3000}, Mode{"BigShuffled", true, false, 3000},
                                           Mode{"BigPlainPlaying", false, true, 3000},
                                           Mode{"BigShuffledPlaying", true, true, 3000}),
                         [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

// The one-pass paths for many items end exactly where the walk item by item
// ends: same list, same survivors' selection, same queue.
TEST_F(EditorTracks, BulkPathsMatchTheItemByItemWalk)
{
    const int n = 2500;
    Items items;
    for (int i = 0; i < n; ++i)
        items.push_back("C:\\m\\" + std::to_string(i % 1700) + (i % 3 == 0 ? ".MP3" : ".mp3"));
    ASSERT_TRUE(LoadTracks(session, items));
    ui.defaultAnswer = IDYES;

    // Clear Dupes with a selection that partly survives.
    std::vector<int> selected;
    for (int i = 0; i < n; i += 11)
        selected.push_back(i);
    Select(editor, selected);
    Click(editor, IDC_CLEAR_DUPES);
    Items expected;
    std::vector<int> expectedSelection;
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) {
        std::string key = items[static_cast<size_t>(i)];
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            continue;
        keys.push_back(key);
        if (i % 11 == 0)
            expectedSelection.push_back(static_cast<int>(expected.size()));
        expected.push_back(items[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(ListItems(editor), expected);
    EXPECT_EQ(editor.m_list.GetSelItems(), expectedSelection);
    EXPECT_TRUE(QueueInStep(editor));
    EXPECT_EQ(SelStatus(editor).substr(SelStatus(editor).find('/')), "/" + std::to_string(expected.size()));

    // Remove of many.
    Click(editor, IDC_REMOVE);
    Items left;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (std::find(expectedSelection.begin(), expectedSelection.end(), static_cast<int>(i)) == expectedSelection.end())
            left.push_back(expected[i]);
    }
    EXPECT_EQ(ListItems(editor), left);
    EXPECT_EQ(editor.m_list.GetSelCount(), 0);
    EXPECT_TRUE(QueueInStep(editor));
}

// ---------------------------------------------------------------------------
// Status line and double-click

TEST_F(EditorTracks, StatusLineShowsTheFocusItemAndTheCount)
{
    ASSERT_TRUE(LoadTracks(session, Numbered(12)));
    editor.m_list.SetCaretIndex(2);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TRACK_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(editor.m_list.GetHwnd()));
    EXPECT_EQ(SelStatus(editor), "Sel: 3/12");
}

TEST_F(EditorTracks, DoubleClickPlaysTheItem)
{
    const std::string track = testing_support::FixturePath("tone3s.mp3");
    ASSERT_TRUE(testing_support::FileExists(track));
    ASSERT_TRUE(LoadTracks(session, {"C:\\none.mp3", track, "C:\\none2.mp3"}));
    Select(editor, {1});
    editor.m_list.SetCaretIndex(1);
    editor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TRACK_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(editor.m_list.GetHwnd()));
    const CPlayQueue& queue = editor.m_pPlayer->m_queue;
    EXPECT_EQ(queue.current, 1);
    EXPECT_TRUE(editor.m_pPlayer->Audio().isPlaying);
    EXPECT_EQ(editor.m_list.GetSelItems(), std::vector<int>{1});
    EXPECT_EQ(SelStatus(editor), "Sel: 2/3");
}

} // namespace
