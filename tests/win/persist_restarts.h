#pragma once
// For the settings.dat and continue.dat tests: editors started one after the
// other in the same start-up directory, each closed through the real close
// path, so that what one run writes is what the next run reads.
#include "editor/editor_dlg.h"
#include "persist/resume_file.h"
#include "persist/settings_record.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "support/fake_ui.h"
#include "support/settings_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace persist_tests {

using testing_support::FakeUi;
using testing_support::ReadFileBytes;
using testing_support::ScratchDir;
using testing_support::WriteFileBytes;

inline std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline std::string Bytes(const SettingsRecord& record)
{
    const auto image = SerializeSettings(record);
    return std::string(image.begin(), image.end());
}

using testing_support::Int32s;

using testing_support::Placement;

// The program's five two-second fixture tracks.
inline std::vector<std::string> FiveTracks()
{
    std::vector<std::string> tracks;
    for (int i = 1; i <= 5; ++i)
        tracks.push_back(testing_support::FixturePath(("track" + std::to_string(i) + ".mp3").c_str()));
    return tracks;
}

class Restarts : public ::testing::Test {
protected:
    FakeUi ui;
    ScratchDir dir{"persist"};
    CEditorDlg* editor = nullptr;

    void SetUp() override
    {
        char previous[MAX_PATH] = "";
        const DWORD n = ::GetCurrentDirectoryA(sizeof previous, previous);
        if (n > 0 && n < sizeof previous)
            m_previousDir = previous;
    }

    void TearDown() override
    {
        if (m_hwnd && ::IsWindow(m_hwnd))
            ::DestroyWindow(m_hwnd); // the object deletes itself
        editor = nullptr;
        // The scratch folder cannot go while it is the current one.
        if (!m_previousDir.empty())
            ::SetCurrentDirectoryA(m_previousDir.c_str());
    }

    // One run of the program: the editor created with the scratch folder as
    // the current directory, as the application object does.
    CEditorDlg& Start()
    {
        ::SetCurrentDirectoryA(dir.Path().c_str());
        editor = new CEditorDlg(nullptr);
        m_hwnd = editor->GetHwnd();
        if (!m_hwnd) {
            delete editor;
            editor = nullptr;
        }
        Drain();
        return *editor;
    }

    // Esc, the close box and File > Exit: the save-changes prompt is
    // answered No, the data files are written and the window goes.
    void Close()
    {
        ASSERT_NE(editor, nullptr);
        ui.defaultAnswer = IDNO;
        editor->OnCancel();
        EXPECT_FALSE(::IsWindow(m_hwnd)) << "the close path left the window";
        editor = nullptr;
        m_hwnd = nullptr;
    }

    CPlayerDlg& Player() const { return *editor->m_pPlayer; }
    HWND Hwnd() const { return m_hwnd; }
    std::string File(const char* name) const { return dir.File(name); }

    SettingsRecord StoredSettings() const
    {
        const std::string bytes = ReadFileBytes(File(kSettingsFileName));
        SettingsRecord record{};
        EXPECT_EQ(bytes.size(), kSettingsFileSize);
        EXPECT_TRUE(ParseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record));
        return record;
    }

    // A settings record as a run of the program leaves it, naming a playlist.
    SettingsRecord Written(const std::string& lastPlaylist) const
    {
        return testing_support::SettingsAsWritten(lastPlaylist);
    }

    std::string WritePlaylist(const std::vector<std::string>& tracks, const char* name = "list.m3u") const
    {
        const std::string path = File(name);
        EXPECT_TRUE(WriteFileBytes(path, FormatM3u(tracks)));
        return path;
    }

    bool Button(int id) const { return fw::CButton(Player().GetDlgItem(id)).GetCheck() == BST_CHECKED; }

    // The player's check boxes as a user clicks them: the state first, then
    // the notification the click sends.
    void Click(int id) const
    {
        Player().SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Player().GetDlgItem(id)));
    }
    void ClickCheck(int id, bool checked) const
    {
        fw::CButton(Player().GetDlgItem(id)).SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
        Click(id);
    }
    // The volume bar dragged to the level (the bar shows 1000 minus it).
    void DragVolume(int level) const
    {
        Player().m_volume.SetPos(kMaxVolume - level);
        Player().SendMessage(WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, kMaxVolume - level),
                             reinterpret_cast<LPARAM>(Player().m_volume.GetHwnd()));
    }

    static void Drain() { fw::PumpUntil([] { return true; }, 0); }

private:
    std::string m_previousDir;
    HWND m_hwnd = nullptr;
};

// Every list index once, each entry's path the text of its list item.
inline ::testing::AssertionResult QueueInStep(const CEditorDlg& editor)
{
    const std::vector<PlayQueueEntry>& entries = editor.m_pPlayer->m_queue.entries;
    const int n = editor.m_list.GetCount();
    if (static_cast<int>(entries.size()) != n)
        return ::testing::AssertionFailure() << "queue holds " << entries.size() << " entries, list " << n;
    std::vector<bool> seen(static_cast<size_t>(n), false);
    for (const PlayQueueEntry& e : entries) {
        if (e.listIndex < 0 || e.listIndex >= n || seen[static_cast<size_t>(e.listIndex)])
            return ::testing::AssertionFailure() << "list index " << e.listIndex << " out of range or repeated";
        seen[static_cast<size_t>(e.listIndex)] = true;
        if (e.path != editor.m_list.GetText(e.listIndex))
            return ::testing::AssertionFailure() << "entry of list index " << e.listIndex << " is " << e.path;
    }
    return ::testing::AssertionSuccess();
}

inline std::vector<int> QueueOrder(const CEditorDlg& editor)
{
    std::vector<int> order;
    for (const PlayQueueEntry& e : editor.m_pPlayer->m_queue.entries)
        order.push_back(e.listIndex);
    return order;
}

inline std::vector<int> SelectedItems(const CEditorDlg& editor) { return editor.m_list.GetSelItems(); }

} // namespace persist_tests
