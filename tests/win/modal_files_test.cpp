// The editor's files where the file system gets in the way: a start-up
// directory too long to name, a folder too deep for a temporary file, a
// user's own file beside the playlist, a DOS end-of-file byte and a playlist
// too large to hold.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "persist/settings_record.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"
#include "support/settings_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace testing_support;

namespace {

// The editor started with dir as the current directory, which stays so.
std::unique_ptr<CEditorDlg> StartIn(const std::wstring& dir)
{
    auto editor = std::make_unique<CEditorDlg>();
    if (!::SetCurrentDirectoryW(dir.c_str()) || !editor->Create(nullptr))
        return nullptr;
    return editor;
}

void Command(CEditorDlg& editor, int id) { editor.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)); }

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search, &found)) {
        if (found.cFileName[0] != '.')
            names.push_back(found.cFileName);
    }
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Where an empty folder name would put the data files: they hold a stored
// list and shuffle, which must neither be read nor written.
TEST(ModalFiles, AStartUpDirectoryTooLongToNamePassesTheDataFilesOver)
{
    FakeUi ui;
    ScratchDir scratch("long");
    std::wstring deep(scratch.Path().begin(), scratch.Path().end());
    while (deep.size() <= MAX_PATH + 40) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    }
    const std::string listFile = scratch.File("stored.m3u");
    ASSERT_TRUE(WriteFileBytes(listFile, FormatM3u({"C:\\stored.mp3"})));
    SettingsRecord stored = SettingsAsWritten(listFile);
    stored.shuffle = 1;
    ASSERT_TRUE(SaveSettingsFile("C:\\settings.dat", stored));
    const std::string settings = ReadFileBytes("C:\\settings.dat"), resume = Int32s({1, 0, 0});
    ASSERT_TRUE(WriteFileBytes("C:\\continue.dat", resume));
    char previous[MAX_PATH] = "";
    ::GetCurrentDirectoryA(sizeof previous, previous);
    {
        std::unique_ptr<CEditorDlg> editor = StartIn(deep);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(ListItems(*editor).empty());
        EXPECT_FALSE(editor->Player().Settings().shuffle);
        ASSERT_TRUE(editor->LoadPlaylist(listFile.c_str(), false));
        EXPECT_EQ(ListItems(*editor), std::vector<std::string>{"C:\\stored.mp3"});
        Command(*editor, IDCANCEL);
        EXPECT_FALSE(editor->IsWindow());
    }
    ::SetCurrentDirectoryA(previous);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadFileBytes("C:\\settings.dat"), settings);
    EXPECT_EQ(ReadFileBytes("C:\\continue.dat"), resume);
    EXPECT_EQ(::GetFileAttributesW((deep + L"\\settings.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA("C:\\settings.dat");
    ::DeleteFileA("C:\\continue.dat");
    for (; deep.size() > scratch.Path().size(); deep.resize(deep.rfind(L'\\')))
        ::RemoveDirectoryW(deep.c_str());
}

// The start-up directory is too deep for a temporary name beside the data
// files (GetTempFileName takes at most MAX_PATH - 14 characters), so they and
// a playlist kept there are rewritten in place.
TEST(ModalFiles, SavesAndOpensKeepWhatTheyDidNotMake)
{
    FakeUi ui;
    ScratchDir scratch("saves");
    const std::string dir = scratch.Path() + "\\" + std::string(245 - scratch.Path().size(), 'f');
    ASSERT_EQ(dir.size(), 246u);
    ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir + "\\settings.dat", "old") && WriteFileBytes(dir + "\\continue.dat", "old"));
    const std::string kept = dir + "\\kept.m3u", t1 = FixturePath("tone8s.mp3"), t2 = FixturePath("track2.mp3");
    ASSERT_TRUE(WriteFileBytes(kept, t1 + "\r\n" + t2 + "\r\n\x1a\r\n")); // ended as old DOS tools did
    char previous[MAX_PATH] = "";
    ::GetCurrentDirectoryA(sizeof previous, previous);
    std::unique_ptr<CEditorDlg> editor = StartIn(std::wstring(dir.begin(), dir.end()));
    ::SetCurrentDirectoryA(previous);
    ASSERT_NE(editor, nullptr);

    // The Ctrl-Z is no part of the last track; Save rewrites the file in place.
    ui.fileAnswers = {FakeUi::Choose(kept)};
    Command(*editor, ID_FILE_OPEN);
    EXPECT_EQ(ListItems(*editor), (std::vector<std::string>{t1, t2}));
    ::SendMessageA(editor->List().GetHwnd(), LB_SETSEL, TRUE, 1);
    Command(*editor, IDC_MOVE_UP);
    Command(*editor, ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(kept), t2 + "\r\n" + t1 + "\r\n");

    // A user's own "rock.m3u.tmp" outlives a Save as of rock.m3u.
    ASSERT_TRUE(WriteFileBytes(scratch.File("rock.m3u.tmp"), "the user's own"));
    ui.fileAnswers = {FakeUi::Choose(scratch.File("rock.m3u"))};
    Command(*editor, ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(scratch.File("rock.m3u")), t2 + "\r\n" + t1 + "\r\n");
    EXPECT_EQ(ReadFileBytes(scratch.File("rock.m3u.tmp")), "the user's own");
    EXPECT_EQ(Entries(scratch.Path()), (std::vector<std::string>{dir.substr(scratch.Path().size() + 1), "rock.m3u",
                                                                 "rock.m3u.tmp"}));

    // A playlist too large to hold: the message, and list and player as they were.
    const std::string huge = scratch.File("huge.m3u");
    const HANDLE file = ::CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 300LL * 1024 * 1024;
    ASSERT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);
    editor->Player().OnPlayPause();
    const std::vector<int> order = editor->Player().Queue().PlayOrder();
    const int current = editor->Player().Queue().Current();
    ui.fileAnswers = {FakeUi::Choose(huge)};
    Command(*editor, ID_FILE_OPEN);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text + "|" + ui.boxes[0].caption, "Unable to open the specified file|File Open Error");
    EXPECT_EQ(ListItems(*editor), (std::vector<std::string>{t2, t1}));
    EXPECT_EQ(editor->Player().Queue().PlayOrder(), order);
    EXPECT_EQ(editor->Player().Queue().Current(), current);
    EXPECT_TRUE(editor->Player().Audio().isPlaying);

    // The close rewrites both data files in place, and the next start does
    // not open the playlist that is too large, and says nothing.
    Command(*editor, IDCANCEL);
    EXPECT_EQ(ReadFileBytes(dir + "\\continue.dat").substr(0, 4), Int32s({2}));
    SettingsRecord record{};
    ASSERT_TRUE(LoadSettingsFile((dir + "\\settings.dat").c_str(), record));
    EXPECT_EQ(PathFieldText(record.lastPlaylist), kept);
    SetPathField(record.lastPlaylist, huge.c_str());
    ASSERT_TRUE(SaveSettingsFile((dir + "\\settings.dat").c_str(), record));
    editor.reset();
    editor = StartIn(std::wstring(dir.begin(), dir.end()));
    ::SetCurrentDirectoryA(previous);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(ListItems(*editor).empty());
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"continue.dat", "kept.m3u", "settings.dat"}));
}

} // namespace
