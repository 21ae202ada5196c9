#pragma once
// One editor window for one test: a fresh start-up directory made current,
// the editor created there, and everything closed and removed again at the
// end. Install a FakeUi before constructing one; this installs nothing else.
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CEditorDlg;

namespace testing_support {

class EditorSession {
public:
    explicit EditorSession(const char* tag = "ed");
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // The editor object: it lives until Destroy, also after its window went.
    CEditorDlg* Editor() const { return m_editor.get(); }
    CEditorDlg* operator->() const { return m_editor.get(); }
    HWND Hwnd() const { return m_hwnd; }
    // The window still exists.
    bool Alive() const { return m_hwnd && ::IsWindow(m_hwnd); }

    // The start-up directory and files in it.
    const ScratchDir& Dir() const { return m_dir; }
    std::string File(const char* name) const { return m_dir.File(name); }

    // Destroys the window without the close path's questions, and the
    // object (idempotent).
    void Destroy();

private:
    ScratchDir m_dir;
    std::string m_previousDir;
    std::unique_ptr<CEditorDlg> m_editor;
    HWND m_hwnd = nullptr;
};

// The list box's items, in order.
std::vector<std::string> ListItems(const CEditorDlg& editor);

// Loads these tracks through a playlist file written in the start-up
// directory (File > Open's load: the player is reset, the queue filled).
bool LoadTracks(EditorSession& session, const std::vector<std::string>& tracks, const char* name = "list.m3u");

// The play queue holds every list index 0..count-1 exactly once and each
// entry's path is the text of the list item with its index.
::testing::AssertionResult QueueInStep(const CEditorDlg& editor);

} // namespace testing_support
