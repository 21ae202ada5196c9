#pragma once
// The editor window, the program's main window: the playlist as a list box,
// its buttons and menu, the title with the modified marker. It owns the
// player window and the tray icon and writes the data files when it closes.
#include "editor/anchor_layout.h"
#include "framework/dialog.h"
#include "persist/settings_record.h"

#include <shellapi.h>

#include <string>
#include <vector>

class CPlayerDlg;
class CTrayIcon;

class CEditorDlg : public fw::CDialog {
public:
    // Creates the modeless window (hidden until start-up shows it).
    explicit CEditorDlg(HWND parent = nullptr);
    ~CEditorDlg() override;

    bool m_bSettingsLoaded = false;
    SettingsRecord m_settings{};
    CPlayerDlg* m_pPlayer = nullptr;   // owned
    CTrayIcon* m_pTrayIcon = nullptr;  // owned
    HICON m_hIconPlayerShown = nullptr;
    HICON m_hIconPlayerHidden = nullptr;
    CAnchorLayout m_layout;
    POINT m_ptMinTrackSize{0, 0};
    bool m_bModified = false;
    bool m_bHasFile = false;
    std::string m_strBaseTitle;
    std::string m_strFileName;
    std::string m_strFilePath;
    char m_szStartDir[260] = "";
    fw::CListBox m_list;
    HICON m_hIcon = nullptr;

    // Title and state.
    void SetModified(bool modified, bool force);
    void UpdateSelStatus();
    void ShowList(bool show);
    // "%s\%s" of the start-up directory and a data file's name.
    std::string DataFilePath(const char* name) const;

    // The playlist file (loading, the save-changes prompt).
    bool LoadPlaylist(const char* path, bool keepQueue);
    bool PromptSaveChanges();

    // settings.dat and continue.dat (editor_persist.cpp).
    bool LoadSettings();
    void SaveSettings();
    bool LoadResume(int& current, int& count, std::vector<int>& order);
    void SaveResume();
    // Start-up: rebuilds the play queue from the stored order after the reload.
    void ResumePlayQueue(int current, int count, const std::vector<int>& order);

    // Commands. Public: the tray menu and the player reach them too, and so do tests.
    void OnOK() override;     // Enter: nothing
    void OnCancel() override; // Esc, the close box, File > Exit: the one close path
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    bool OnFileSaveAs();
    void OnFilePrint(); // print/print_command.cpp
    void OnFileExit();
    void OnHelpAbout();
    void OnAddTracks();
    void OnRemove();
    void OnClearDupes();
    void OnMoveUp();
    void OnMoveDown();
    void OnDblClkTrackList();
    void OnPlayerButton();
    void OnTrayPlayPause();
    void OnTrayPrevious();
    void OnTrayNext();
    void OnTrayShowPlayer();
    // Appends the dropped files (WM_DROPFILES); the caller keeps the handle.
    void DropFiles(HDROP drop);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void PostNcDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void PlayerFollows();
    LRESULT OnDropFilesMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseMessage(WPARAM wParam, LPARAM lParam);
    void OnFileSaveAsCommand() { OnFileSaveAs(); }

    void CenterOnScreen();
    // Save's write of the list to m_strFilePath: true when the file now holds it.
    bool WritePlaylist();
    // Save as: the dialog, then the write. True when a file was chosen and written.
    bool SaveAs(bool& chosen);
    std::vector<std::string> ListTexts() const;
    // Deletes list items (ascending, unique) and their queue entries;
    // listTexts, when given, are the list's texts as they stand.
    void DeleteItems(const std::vector<int>& ascending, const std::vector<std::string>* listTexts = nullptr);
    // Move Up (up) and Move Down of the selected items.
    void MoveSelected(bool up);
    void MoveQueueEntries(const std::vector<int>& selected, bool up);
    // Selects each run of consecutive items (ascending) shifted by offset,
    // one message per run and without moving the caret.
    void SelectRuns(const std::vector<int>& ascending, int offset);

    // Set by a layout or paint handler that leaves the message to the
    // default processing as well.
    bool m_bPassOn = false;

    static const fw::MessageMapEntry<CEditorDlg> messageMap[];
};

// The About box.
class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();
};
