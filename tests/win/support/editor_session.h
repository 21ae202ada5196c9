#pragma once
// One editor window for one test: a fresh start-up directory made current,
// the editor created there, and everything closed and removed again at the
// end. Install a FakeUi before constructing one.
#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

class EditorSession {
public:
    // start false: the directory only, for data files put there first.
    explicit EditorSession(const wchar_t* tag = L"ed", bool start = true) : m_dir(tag)
    {
        wchar_t previous[MAX_PATH] = L"";
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previousDir = previous;
        if (start)
            Start();
    }
    ~EditorSession()
    {
        Destroy();
        ::SetCurrentDirectoryW(m_previousDir.c_str()); // a folder in use cannot be removed
    }
    // The program's start-up in this directory (again).
    bool Start()
    {
        Destroy();
        ::SetCurrentDirectoryW(m_dir.Path().c_str());
        m_editor = std::make_unique<CEditorDlg>();
        m_hwnd = m_editor->Create(nullptr) ? m_editor->GetHwnd() : nullptr;
        return m_hwnd != nullptr;
    }
    // The close box, the one close path; true when the window went.
    bool Close()
    {
        ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
        return !Alive() && (Destroy(), true);
    }
    void Destroy() { m_editor.reset(), m_hwnd = nullptr; } // no questions asked
    CEditorDlg* Editor() const { return m_editor.get(); }
    CEditorDlg* operator->() const { return m_editor.get(); }
    HWND Hwnd() const { return m_hwnd; }
    bool Alive() const { return m_hwnd && ::IsWindow(m_hwnd); }
    const ScratchDir& Dir() const { return m_dir; }
    std::wstring File(const wchar_t* name) const { return m_dir.File(name); }

private:
    ScratchDir m_dir;
    std::wstring m_previousDir;
    std::unique_ptr<CEditorDlg> m_editor;
    HWND m_hwnd = nullptr;
};

inline std::vector<std::wstring> ListItems(const CEditorDlg& editor)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < editor.List().GetCount(); ++i)
        items.push_back(editor.List().GetText(i));
    return items;
}

// Loads these tracks as File > Open does, from a file in the start-up directory.
inline bool LoadTracks(EditorSession& session, const std::vector<std::wstring>& tracks, const wchar_t* name = L"list.m3u")
{
    return WriteFileBytes(session.File(name), M3uBytes(tracks, IsM3u8Path(name))) && session->LoadPlaylist(session.File(name).c_str(), false);
}

// Exactly these items selected, the caret on one of them (the last unless told).
inline void Select(const fw::CListBox& list, const std::vector<int>& items, int caret = -1)
{
    list.SetSel(-1, false);
    for (int i : items)
        list.SetSel(i, true);
    list.SetCaretIndex(caret >= 0 ? caret : items.back());
}

// The play queue holds every list index 0..count-1 once, each entry with the
// text of the list item of its index.
inline ::testing::AssertionResult QueueInStep(const CEditorDlg& editor)
{
    const std::vector<std::wstring> items = ListItems(editor);
    const CPlayQueue& queue = editor.Player().Queue();
    std::vector<int> seen(items.size(), 0);
    for (int pos = 0; pos < queue.Count(); ++pos) {
        const PlayQueueEntry& e = queue.At(pos);
        const size_t k = static_cast<size_t>(e.listIndex);
        if (e.listIndex < 0 || k >= items.size() || seen[k]++ || e.path != items[k])
            return ::testing::AssertionFailure() << "entry " << pos << " is (" << e.listIndex << ", " << e.path.Str() << ")";
    }
    if (static_cast<size_t>(queue.Count()) == items.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "queue holds " << queue.Count() << " entries, list " << items.size();
}

// A control's text, read as the program reads texts.
inline std::wstring Text(HWND dialog, int id) { return fw::CWindow(::GetDlgItem(dialog, id)).GetWindowText(); }

// A command as the menu, a button or the tray sends it.
inline void Command(HWND window, int id, int code = 0)
{
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

} // namespace testing_support
