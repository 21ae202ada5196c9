#pragma once
// The editor window, the program's main window: the playlist as a list box,
// its buttons, menus and keys, the title with the modified marker. It owns
// the player window, the tray icon, the Find box and the history of the
// list's edits, hosts the player, and writes the data files when it closes.
#include "editor/track_list_box.h"
#include "framework/anchor_layout.h"
#include "framework/dialog.h"
#include "persist/settings_record.h"
#include "player/player_host.h"
#include "playlist/case_fold.h"
#include "playlist/edit_history.h"
#include "playlist/m3u.h"

#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFindDlg;
class CPlayerDlg;
class CTrayIcon;
struct PlayerSettings;

class CEditorDlg : public fw::CDialogImpl<CEditorDlg>, private IPlayerHost {
public:
    CEditorDlg();
    ~CEditorDlg() override;

    // The player and the tray icon exist from a successful Create on.
    CPlayerDlg& Player() const { return *m_player; }
    CTrayIcon& Tray() const { return *m_tray; }
    const fw::CListBox& List() const { return m_list; }

    bool IsModified() const { return m_bModified; }
    // The title and the modified marker; force rewrites the title anyway.
    void SetModified(bool modified, bool force);
    const std::wstring& FilePath() const { return m_strFilePath; }
    const std::wstring& FileName() const { return m_strFileName; }

    // Loads a playlist file into the list: false, with nothing changed, when
    // it cannot be read. keepQueue leaves the play queue to the caller.
    bool LoadPlaylist(const wchar_t* path, bool keepQueue);
    // Appends the dropped files (WM_DROPFILES); the caller keeps the handle.
    void DropFiles(HDROP drop);

    // The keys of the editor, the player and the Find box: the message loop
    // offers each message here first. True when it became a command.
    bool TranslateKeys(MSG& msg);
    const CEditHistory& History() const { return m_history; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void OnOK() override;     // Enter: nothing
    void OnCancel() override; // Esc, the close box, File > Exit: the one close path
    fw::Reply ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class fw::CDialogImpl<CEditorDlg>;
    static const fw::MessageMap<CEditorDlg> messageMap;
    static const fw::AnchorRow kLayout[];
    // Room of the Add Tracks dialog for the names of one selection.
    static constexpr DWORD kTrackBufferChars = 52000;
    // Remove Missing Files checks up to this many entries without showing
    // its progress: a check this short is over before a window could show.
    static constexpr int kQuietCheck = 200;

    // The player's host.
    HWND HostWindow() const override { return m_hWnd; }
    void ShowList(bool show) override;
    void SelectListItem(int listIndex) override;
    int ListCount() const override { return m_tracks.Count(); }
    SharedText ListText(int listIndex) const override;
    void RefreshSelectionStatus() override { UpdateSelStatus(); }
    void SetTrayTip(const wchar_t* text) override;
    void SetTrayIcon(HICON icon) override;
    void RequestClose() override;

    // Every box and dialog of the editor runs through Modal. While one is up
    // its loop runs the player, the tray and whatever is posted, but the
    // handler that asked is still running below it: a close asked for
    // meanwhile waits until the outermost has returned (then it is posted, so
    // it runs once that handler is done), and what would change the list or
    // open a second box or dialog is refused.
    template <class Show>
    auto Modal(Show&& show) -> decltype(show())
    {
        CModalScope scope(*this);
        return show();
    }
    int Ask(const wchar_t* text, const wchar_t* caption, UINT type);
    class CModalScope {
    public:
        explicit CModalScope(CEditorDlg& editor) : m_editor(editor) { ++m_editor.m_modalDepth; }
        ~CModalScope() { m_editor.LeaveModal(); }
        CModalScope(const CModalScope&) = delete;
        CModalScope& operator=(const CModalScope&) = delete;

    private:
        CEditorDlg& m_editor;
    };
    void LeaveModal();

    // Start-up.
    BOOL FailStartUp();
    void CenterOnScreen();

    // Title and state.
    void UpdateSelStatus();
    // "%s\%s" of the start-up directory and a data file's name; empty when
    // the directory's name did not fit, and the data files are passed over.
    std::wstring DataFilePath(const wchar_t* name) const;

    // The save-changes prompt: true when the caller may go on.
    bool PromptSaveChanges();

    // settings.dat and continue.dat (editor_persist.cpp).
    bool LoadSettings();
    // The player's part of what was loaded; none without settings.
    std::optional<PlayerSettings> StoredPlayerSettings() const;
    void SaveSettings();
    bool LoadResume(int& current, int& count, std::vector<int>& order);
    void SaveResume();
    // Start-up: rebuilds the play queue from the stored order after the reload.
    void ResumePlayQueue(int current, int count, const std::vector<int>& order);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrint();
    void OnFileExit();
    void OnHelpAbout();
    void OnAddTracks();
    void OnRemove();
    void OnClearDupes();
    void OnMoveUp();
    void OnMoveDown();
    void OnDblClkTrackList();
    void OnPlayFocused(); // Enter on the list
    // The Edit menu and its keys (editor_edit.cpp).
    void OnUndo();
    void OnRedo();
    void OnRemoveMissing();
    void OnSelectAll();
    void OnFind();
    void OnFindNext();
    fw::Reply OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    void OnPlayerButton();
    void OnTrayPlayPause();
    void OnTrayPrevious();
    void OnTrayNext();
    void OnTrayShowPlayer();

    // Messages.
    fw::Reply OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    fw::Reply OnSize(UINT type, int cx, int cy);
    fw::Reply OnMove(int x, int y);
    fw::Reply OnPaint(WPARAM wParam, LPARAM lParam);
    fw::Reply OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    fw::Reply OnClose(WPARAM wParam, LPARAM lParam);
    fw::Reply OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    fw::Reply OnEndSession(WPARAM wParam, LPARAM lParam);
    fw::Reply OnDropFiles(WPARAM wParam, LPARAM lParam);

    // The write of these lines to m_strFilePath by Save or Save as: true when
    // the file now holds them. A name that the encoding it should have cannot
    // hold makes it Unicode, and the user is told which names did.
    bool WritePlaylist(const std::vector<SharedText>& lines, bool saveAs);
    // Save as: the dialog, then the write. True when a file was chosen and written.
    bool SaveAs(bool& chosen);
    // The folder of the playlist's file; empty for an untitled list.
    std::wstring PlaylistFolder() const;
    // Edits through the history: the player runs each on its queue; then the
    // title's marker and the status line follow. True when the list changed.
    bool RunEdit(const std::function<EditOutcome(CPlayQueue&, QueueOrder)>& edit);
    bool AddToList(const std::vector<std::wstring>& paths);
    // The first item from the focused one on (next: from the one after it)
    // whose text holds text, in any case, is selected; a beep when none is.
    void FindInList(const std::wstring& text, bool next);

    // A path into an ANSI field of settings.dat (its folder only: the part
    // before its last backslash), and the path a field holds.
    void StorePath(char (&field)[kPathFieldSize], const std::wstring& path, bool folderOnly);
    static std::wstring StoredPath(const char (&field)[kPathFieldSize]);

    // How the playlist's file is written: as it was read, or as a new one.
    struct FileFormat {
        TextEncoding encoding = TextEncoding::Ansi;
        LineEnd lineEnd = LineEnd::CrLf;
        std::string trailing; // the odd last byte of a UTF-16 file
    };

    std::unique_ptr<CPlayerDlg> m_player;
    std::unique_ptr<CTrayIcon> m_tray;
    bool m_bSettingsLoaded = false;
    SettingsRecord m_settings{};
    HICON m_hIcon = nullptr;
    HICON m_hIconPlayerShown = nullptr;
    HICON m_hIconPlayerHidden = nullptr;
    fw::CAnchorLayout m_layout;
    POINT m_ptMinTrackSize{0, 0};
    bool m_bModified = false;
    bool m_bHasFile = false;
    std::wstring m_strBaseTitle;
    std::wstring m_strFileName;
    std::wstring m_strFilePath;
    FileFormat m_format;
    std::wstring m_startDir; // empty: the name did not fit
    int m_modalDepth = 0;
    bool m_closeDeferred = false;
    bool m_closing = false; // the close path's own questions are up
    fw::CListBox m_list;
    CTrackListBox m_tracks{m_list};
    CEditHistory m_history;
    CCaseFolding m_folding;
    std::unique_ptr<CFindDlg> m_find;
};

// The About box.
class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();
};
