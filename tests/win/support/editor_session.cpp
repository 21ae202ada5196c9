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
    m_editor = std::make_unique<CEditorDlg>();
    if (m_editor->Create(nullptr))
        m_hwnd = m_editor->GetHwnd();
    else
        m_editor.reset();
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
    m_editor.reset();
    m_hwnd = nullptr;
}

std::vector<std::string> ListItems(const CEditorDlg& editor)
{
    std::vector<std::string> items;
    const int count = editor.List().GetCount();
    for (int i = 0; i < count; ++i)
        items.push_back(editor.List().GetText(i));
    return items;
}

bool LoadTracks(EditorSession& session, const std::vector<std::string>& tracks, const char* name)
{
    const std::string path = session.File(name);
    return WriteFileBytes(path, FormatM3u(tracks)) && session->LoadPlaylist(path.c_str(), false);
}

::testing::AssertionResult QueueInStep(const CEditorDlg& editor)
{
    const std::vector<std::string> items = ListItems(editor);
    const CPlayQueue& queue = editor.Player().Queue();
    if (static_cast<size_t>(queue.Count()) != items.size())
        return ::testing::AssertionFailure() << "queue holds " << queue.Count() << " entries, list " << items.size();
    std::vector<int> seen(items.size(), 0);
    for (int pos = 0; pos < queue.Count(); ++pos) {
        const PlayQueueEntry& entry = queue.At(pos);
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
