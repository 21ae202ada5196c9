#include "support/editor_session.h"

#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"

namespace testing_support {

EditorSession::EditorSession(const char* tag) : m_dir(tag)
{
    char previous[MAX_PATH] = "";
    DWORD n = ::GetCurrentDirectoryA(sizeof previous, previous);
    if (n > 0 && n < sizeof previous)
        m_previousDir = previous;
    ::SetCurrentDirectoryA(m_dir.Path().c_str());
    m_editor = new CEditorDlg(nullptr);
    m_hwnd = m_editor->GetHwnd();
    if (!m_hwnd) {
        // The window failed: nothing will delete the object for us.
        delete m_editor;
        m_editor = nullptr;
    }
}

EditorSession::~EditorSession()
{
    Destroy();
    // The scratch folder cannot be removed while it is the current one.
    if (!m_previousDir.empty())
        ::SetCurrentDirectoryA(m_previousDir.c_str());
}

void EditorSession::Destroy()
{
    if (Alive())
        ::DestroyWindow(m_hwnd); // the object deletes itself after its last message
    m_editor = nullptr;
    m_hwnd = nullptr;
}

std::vector<std::string> ListItems(const CEditorDlg& editor)
{
    std::vector<std::string> items;
    const int count = editor.m_list.GetCount();
    for (int i = 0; i < count; ++i)
        items.push_back(editor.m_list.GetText(i));
    return items;
}

bool LoadTracks(EditorSession& session, const std::vector<std::string>& tracks, const char* name)
{
    const std::string path = session.File(name);
    return WriteFileBytes(path, FormatM3u(tracks)) && session->LoadPlaylist(path.c_str(), false);
}

::testing::AssertionResult QueueInStep(const CEditorDlg& editor)
{
    if (!editor.m_pPlayer)
        return ::testing::AssertionFailure() << "no player";
    const std::vector<std::string> items = ListItems(editor);
    const std::vector<PlayQueueEntry>& entries = editor.m_pPlayer->m_queue.entries;
    if (entries.size() != items.size())
        return ::testing::AssertionFailure() << "queue holds " << entries.size() << " entries, list " << items.size();
    std::vector<int> seen(items.size(), 0);
    for (size_t pos = 0; pos < entries.size(); ++pos) {
        const PlayQueueEntry& entry = entries[pos];
        if (entry.listIndex < 0 || static_cast<size_t>(entry.listIndex) >= items.size())
            return ::testing::AssertionFailure() << "entry " << pos << " has list index " << entry.listIndex;
        if (seen[static_cast<size_t>(entry.listIndex)]++)
            return ::testing::AssertionFailure() << "list index " << entry.listIndex << " twice";
        if (entry.path != items[static_cast<size_t>(entry.listIndex)])
            return ::testing::AssertionFailure() << "entry " << pos << " (list index " << entry.listIndex << ") is \""
                                                 << entry.path << "\", item is \"" << items[static_cast<size_t>(entry.listIndex)]
                                                 << "\"";
    }
    return ::testing::AssertionSuccess();
}

} // namespace testing_support
