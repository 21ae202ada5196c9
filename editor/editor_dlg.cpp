// The editor window's frame: start-up, layout, title, the close path and the
// routing of its messages. Its commands live in editor_commands.cpp and
// editor_edit.cpp.
#include "editor/editor_dlg.h"

#include "editor/find_dlg.h"
#include "framework/dc.h"
#include "framework/ui_seam.h"
#include "persist/file_io.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "tray/tray_icon.h"

#include <cstdio>

const fw::MessageMap<CEditorDlg> CEditorDlg::messageMap = {
    fw::Message(WM_GETMINMAXINFO, &CEditorDlg::OnGetMinMaxInfo),
    fw::Size(&CEditorDlg::OnSize),
    fw::Move(&CEditorDlg::OnMove),
    fw::Message(WM_PAINT, &CEditorDlg::OnPaint),
    fw::Message(WM_QUERYDRAGICON, &CEditorDlg::OnQueryDragIcon),
    fw::Message(WM_CLOSE, &CEditorDlg::OnClose),
    fw::Message(WM_QUERYENDSESSION, &CEditorDlg::OnQueryEndSession),
    fw::Message(WM_ENDSESSION, &CEditorDlg::OnEndSession),
    fw::Message(WM_DROPFILES, &CEditorDlg::OnDropFiles),
    fw::Message(WM_INITMENUPOPUP, &CEditorDlg::OnInitMenuPopup),

    fw::Command(IDOK, &CEditorDlg::OnOK),
    fw::Command(IDCANCEL, &CEditorDlg::OnCancel),
    fw::Command(ID_FILE_EXIT, &CEditorDlg::OnFileExit),
    fw::Command(ID_TRAY_EXIT, &CEditorDlg::OnFileExit),
    fw::Command(ID_HELP_ABOUT, &CEditorDlg::OnHelpAbout),

    fw::Command(ID_FILE_NEW, &CEditorDlg::OnFileNew),
    fw::Command(ID_FILE_OPEN, &CEditorDlg::OnFileOpen),
    fw::Command(ID_FILE_SAVE, &CEditorDlg::OnFileSave),
    fw::Command(ID_FILE_SAVE_AS, &CEditorDlg::OnFileSaveAs),
    fw::Command(ID_FILE_PRINT, &CEditorDlg::OnFilePrint),

    fw::Command(IDC_ADD_TRACKS, BN_CLICKED, &CEditorDlg::OnAddTracks),
    fw::Command(IDC_REMOVE, BN_CLICKED, &CEditorDlg::OnRemove),
    fw::Command(IDC_CLEAR_DUPES, BN_CLICKED, &CEditorDlg::OnClearDupes),
    fw::Command(IDC_MOVE_UP, BN_CLICKED, &CEditorDlg::OnMoveUp),
    fw::Command(IDC_MOVE_DOWN, BN_CLICKED, &CEditorDlg::OnMoveDown),
    fw::Command(IDC_TRACK_LIST, LBN_SELCHANGE, &CEditorDlg::UpdateSelStatus),
    fw::Command(IDC_TRACK_LIST, LBN_DBLCLK, &CEditorDlg::OnDblClkTrackList),
    fw::Command(IDC_PLAYER_BUTTON, BN_CLICKED, &CEditorDlg::OnPlayerButton),

    fw::Command(ID_EDIT_UNDO, &CEditorDlg::OnUndo),
    fw::Command(ID_EDIT_REDO, &CEditorDlg::OnRedo),
    fw::Command(ID_EDIT_REMOVE, &CEditorDlg::OnRemove),
    fw::Command(ID_EDIT_CLEAR_DUPES, &CEditorDlg::OnClearDupes),
    fw::Command(ID_EDIT_MOVE_UP, &CEditorDlg::OnMoveUp),
    fw::Command(ID_EDIT_MOVE_DOWN, &CEditorDlg::OnMoveDown),
    fw::Command(ID_EDIT_REMOVE_MISSING, &CEditorDlg::OnRemoveMissing),
    fw::Command(ID_EDIT_SELECT_ALL, &CEditorDlg::OnSelectAll),
    fw::Command(ID_EDIT_FIND, &CEditorDlg::OnFind),
    fw::Command(ID_EDIT_FIND_NEXT, &CEditorDlg::OnFindNext),
    fw::Command(ID_EDIT_PLAY_FOCUSED, &CEditorDlg::OnPlayFocused),

    fw::Command(ID_TRAY_PLAY_PAUSE, &CEditorDlg::OnTrayPlayPause),
    fw::Command(ID_TRAY_PREVIOUS, &CEditorDlg::OnTrayPrevious),
    fw::Command(ID_TRAY_NEXT, &CEditorDlg::OnTrayNext),
    fw::Command(ID_TRAY_SHOW_PLAYER, &CEditorDlg::OnTrayShowPlayer),
};

// The list grows with the window; the buttons and the status line keep to
// the bottom edge, Move Up and Move Down to the bottom right corner.
const fw::AnchorRow CEditorDlg::kLayout[] = {
    {IDC_TRACK_LIST, fw::kSizeX | fw::kSizeY},
    {IDC_ADD_TRACKS, fw::kMoveY},
    {IDC_REMOVE, fw::kMoveY},
    {IDC_CLEAR_DUPES, fw::kMoveY},
    {IDC_PLAYER_BUTTON, fw::kMoveY},
    {IDC_SEL_STATUS, fw::kMoveY},
    {IDC_MOVE_UP, fw::kMoveX | fw::kMoveY},
    {IDC_MOVE_DOWN, fw::kMoveX | fw::kMoveY},
};

namespace {

// Letters beyond ASCII lower-case as the system maps them: the whole
// table in one call.
void SystemLower(CCaseFolding::Unit* units, size_t count)
{
    ::CharLowerBuffW(units, static_cast<DWORD>(count));
}

} // namespace

CEditorDlg::CEditorDlg() : fw::CDialogImpl<CEditorDlg>(IDD_EDITOR), m_folding(SystemLower)
{
    m_hIcon = fw::LoadAppIcon(IDI_APP);
}

CEditorDlg::~CEditorDlg()
{
    // The window goes first, as by the close path; then the player, whose
    // queue stops and closes the audio device while the tray icon it
    // reports to still exists.
    DestroyWindow();
    m_player.reset();
    m_tray.reset();
}

void CEditorDlg::DoDataExchange() { BindControl(IDC_TRACK_LIST, m_list); }

BOOL CEditorDlg::OnInitDialog()
{
    // The smallest size the user may drag to is the size the window was
    // created with, before any stored placement changes it.
    RECT created = GetWindowRect();
    m_ptMinTrackSize = {created.right - created.left, created.bottom - created.top};

    fw::CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_hIconPlayerShown = fw::LoadAppIcon(IDI_PLAYER_SHOWN);
    m_hIconPlayerHidden = fw::LoadAppIcon(IDI_PLAYER_HIDDEN);

    // Both data files are named from here for the whole run, even after a
    // file dialog has moved the current directory.
    wchar_t startDir[MAX_PATH];
    const DWORD n = ::GetCurrentDirectoryW(MAX_PATH, startDir);
    if (n > 0 && n < MAX_PATH)
        m_startDir = startDir;

    m_layout.Attach(m_hWnd, kLayout);

    m_bSettingsLoaded = LoadSettings();
    if (!m_bSettingsLoaded) {
        CenterOnScreen();
        ShowWindow(SW_SHOW);
        fw::CButton(GetDlgItem(IDC_PLAYER_BUTTON)).SetIcon(m_hIconPlayerHidden);
    }

    IPlayerHost& host = *this;
    m_player = std::make_unique<CPlayerDlg>(host, StoredPlayerSettings());
    if (!m_player->Create(m_hWnd))
        return FailStartUp();
    ::DragAcceptFiles(m_hWnd, TRUE);

    m_strBaseTitle = GetWindowText();
    SetModified(false, true);

    if (m_settings.listHidden)
        m_player->ToggleList();

    m_tray = CTrayIcon::Create(m_hWnd, m_hIcon, m_strBaseTitle.c_str(), IDR_TRAYMENU);
    if (!m_tray)
        return FailStartUp();

    int current = -1;
    int count = 0;
    std::vector<int> order;
    const bool resumed = LoadResume(current, count, order);
    bool loaded = false;
    // A name the code page cannot hold was stored as its short name: the
    // playlist is opened by its long name, which the title shows.
    std::wstring last = StoredPath(m_settings.lastPlaylist);
    if (!last.empty()) {
        wchar_t longName[MAX_PATH];
        const DWORD length = ::GetLongPathNameW(last.c_str(), longName, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            last = longName;
    }
    if (m_bSettingsLoaded && !last.empty())
        loaded = LoadPlaylist(last.c_str(), resumed);
    if (resumed && loaded)
        ResumePlayQueue(current, count, order);

    return TRUE; // the dialog manager puts the focus on the list
}

// Without its player or tray icon the program does not start: the window
// goes again, and Create reports the failure.
BOOL CEditorDlg::FailStartUp()
{
    DestroyWindow();
    return FALSE;
}

// The template sits at 0, 0; a first start without a stored placement shows
// the window in the middle of the work area instead.
void CEditorDlg::CenterOnScreen()
{
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT r = GetWindowRect();
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    int x = work.left + ((work.right - work.left) - w) / 2;
    int y = work.top + ((work.bottom - work.top) - h) / 2;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditorDlg::SetModified(bool modified, bool force)
{
    if (!force && modified == m_bModified)
        return;
    m_bModified = modified;
    std::wstring title = m_strBaseTitle;
    if (modified)
        title += L" - " + m_strFileName + L"*";
    else if (!m_strFileName.empty())
        title += L" - " + m_strFileName;
    SetWindowText(title);
}

void CEditorDlg::UpdateSelStatus()
{
    wchar_t text[64];
    std::swprintf(text, sizeof text / sizeof text[0], L"Sel: %d/%d", m_list.GetCurSel() + 1, m_list.GetCount());
    ::SetDlgItemTextW(m_hWnd, IDC_SEL_STATUS, text);
}

void CEditorDlg::SelectListItem(int listIndex)
{
    if (listIndex >= 0)
        m_tracks.Select(SelectionOf({listIndex}, listIndex));
    else
        m_list.SendMessage(LB_SETSEL, FALSE, -1);
}

void CEditorDlg::SetTrayTip(const wchar_t* text) { m_tray->SetTip(text); }

void CEditorDlg::SetTrayIcon(HICON icon) { m_tray->SetIcon(icon); }

// The player asks from inside its own handler; the close path destroys it.
void CEditorDlg::RequestClose() { PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

void CEditorDlg::ShowList(bool show)
{
    if (show) {
        ShowWindow(SW_RESTORE);
        ::SetForegroundWindow(m_hWnd);
    } else {
        ShowWindow(SW_HIDE);
    }
}

// A directory whose name does not fit has no usable name here at all: its
// data files are never put anywhere else instead, least of all at the root
// of the drive that an empty folder name would give.
std::wstring CEditorDlg::DataFilePath(const wchar_t* name) const
{
    if (m_startDir.empty())
        return std::wstring();
    const std::wstring path = JoinPath(m_startDir.c_str(), name);
    return path.size() < MAX_PATH ? path : std::wstring();
}

fw::Reply CEditorDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    if ((m_ptMinTrackSize.x == 0 && m_ptMinTrackSize.y == 0) || lParam == 0)
        return fw::kDeclined;
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = m_ptMinTrackSize;
    return 0;
}

// Both decline, so that the default processing runs too. The player comes
// after the editor's own placement at start-up: until then, nothing follows.
fw::Reply CEditorDlg::OnSize(UINT, int cx, int cy)
{
    m_layout.OnSize(cx, cy);
    if (m_player)
        m_player->HostMoved();
    return fw::kDeclined;
}

fw::Reply CEditorDlg::OnMove(int, int)
{
    if (m_player)
        m_player->HostMoved();
    return fw::kDeclined;
}

fw::Reply CEditorDlg::OnPaint(WPARAM, LPARAM)
{
    if (!IsIconic())
        return fw::kDeclined;
    fw::CDC dc;
    dc.BeginPaint(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
    return 0;
}

fw::Reply CEditorDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

fw::Reply CEditorDlg::OnClose(WPARAM, LPARAM)
{
    OnCancel();
    return 0;
}

fw::Reply CEditorDlg::OnDropFiles(WPARAM wParam, LPARAM)
{
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    if (drop) {
        DropFiles(drop);
        ::DragFinish(drop);
    }
    return 0;
}

// Enter while no push button has the focus: the main window must not vanish.
void CEditorDlg::OnOK() {}

// The one close path: the close box, Esc, File > Exit, the tray's Exit and
// the player's close button.
void CEditorDlg::OnCancel()
{
    // Asked again while the close path asks: it is the same close.
    if (m_closing)
        return;
    // Destroying the windows now would pull them from under the handler that
    // waits for the box or dialog: the close comes once it has returned.
    if (m_modalDepth > 0) {
        m_closeDeferred = true;
        return;
    }
    m_closing = true;
    const bool goOn = PromptSaveChanges();
    m_closing = false;
    if (!goOn)
        return;
    SaveSettings();
    SaveResume();
    // The application lets go of this object once the handler has returned.
    DestroyWindow();
}

void CEditorDlg::LeaveModal()
{
    if (--m_modalDepth > 0 || !m_closeDeferred)
        return;
    m_closeDeferred = false;
    PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

int CEditorDlg::Ask(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return Modal([&] { return ui::Ui().MessageBox(m_hWnd, text, caption, type); });
}

namespace {

// What changes the list, or shows a box or dialog of its own.
bool ChangesListOrAsks(UINT message, WPARAM wParam)
{
    if (message == WM_DROPFILES)
        return true;
    if (message != WM_COMMAND)
        return false;
    switch (LOWORD(wParam)) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_FILE_PRINT:
    case ID_HELP_ABOUT:
    case IDC_ADD_TRACKS:
    case IDC_REMOVE:
    case IDC_CLEAR_DUPES:
    case IDC_MOVE_UP:
    case IDC_MOVE_DOWN:
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
    case ID_EDIT_REMOVE:
    case ID_EDIT_CLEAR_DUPES:
    case ID_EDIT_MOVE_UP:
    case ID_EDIT_MOVE_DOWN:
    case ID_EDIT_REMOVE_MISSING:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_FIND:
    case ID_EDIT_FIND_NEXT:
        return true;
    default:
        return false;
    }
}

} // namespace

// The editor's own controls are disabled under its boxes and dialogs, but
// posted commands and drops still arrive: while a question is open, what it
// asked about stays as it is, and no second one is started.
fw::Reply CEditorDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_modalDepth > 0 && ChangesListOrAsks(message, wParam)) {
        if (message == WM_DROPFILES && wParam)
            ::DragFinish(reinterpret_cast<HDROP>(wParam));
        ui::Ui().MessageBeep(MB_OK);
        return 0;
    }
    return fw::CDialogImpl<CEditorDlg>::ProcessMessage(message, wParam, lParam);
}

// The session ends without the close path: no window is destroyed under a
// handler, and the list's changes are asked about only while nothing else
// is asked; with a question open they keep the session from ending.
fw::Reply CEditorDlg::OnQueryEndSession(WPARAM, LPARAM)
{
    if (m_modalDepth > 0)
        return m_bModified ? FALSE : TRUE;
    return PromptSaveChanges() ? TRUE : FALSE;
}

// The process may be ended as soon as this returns: the data files are
// written now, whatever is open.
fw::Reply CEditorDlg::OnEndSession(WPARAM ending, LPARAM)
{
    if (ending) {
        SaveSettings();
        SaveResume();
    }
    return 0;
}

void CEditorDlg::OnFileExit() { OnCancel(); }

void CEditorDlg::OnHelpAbout()
{
    CAboutDlg about;
    Modal([&] { return about.DoModal(m_hWnd); });
}

void CEditorDlg::OnPlayerButton()
{
    fw::CButton button(GetDlgItem(IDC_PLAYER_BUTTON));
    const SlideState state = m_player->GetSlideState();
    if (state == SlideState::Shown) {
        m_player->ShowSlide(false);
        button.SetIcon(m_hIconPlayerHidden);
    } else if (state == SlideState::Hidden) {
        m_player->ShowSlide(true);
        button.SetIcon(m_hIconPlayerShown);
        ::SetForegroundWindow(m_hWnd);
    }
}

void CEditorDlg::OnTrayPlayPause() { m_player->OnPlayPause(); }

void CEditorDlg::OnTrayPrevious() { m_player->OnPrevious(); }

void CEditorDlg::OnTrayNext() { m_player->OnNext(); }

void CEditorDlg::OnTrayShowPlayer()
{
    if (IsWindowVisible()) {
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    // Undoes the player's minimise-and-hide into the tray.
    if (!m_player->IsWindowVisible()) {
        m_player->ShowWindow(SW_SHOW);
        m_player->ShowWindow(SW_RESTORE);
    }
    ::SetForegroundWindow(m_player->GetHwnd());
}

CAboutDlg::CAboutDlg() : fw::CDialog(IDD_ABOUTBOX) {}
