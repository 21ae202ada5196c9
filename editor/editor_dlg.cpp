// The editor window's frame: start-up, layout, title, the close path and the
// routing of its messages. Its commands live in editor_commands.cpp.
#include "editor/editor_dlg.h"

#include "framework/app.h"
#include "persist/file_io.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "tray/tray_icon.h"

#include <cstdio>

const fw::MessageMapEntry<CEditorDlg> CEditorDlg::messageMap[] = {
    fw::Message(WM_GETMINMAXINFO, &CEditorDlg::OnGetMinMaxInfo),
    fw::Message(WM_SIZE, &CEditorDlg::OnSizeMessage),
    fw::Message(WM_MOVE, &CEditorDlg::OnMoveMessage),
    fw::Message(WM_PAINT, &CEditorDlg::OnPaintMessage),
    fw::Message(WM_QUERYDRAGICON, &CEditorDlg::OnQueryDragIcon),
    fw::Message(WM_CLOSE, &CEditorDlg::OnCloseMessage),
    fw::Message(WM_DROPFILES, &CEditorDlg::OnDropFilesMessage),

    fw::Command(IDOK, &CEditorDlg::OnOK),
    fw::Command(IDCANCEL, &CEditorDlg::OnCancel),
    fw::Command(ID_FILE_EXIT, &CEditorDlg::OnFileExit),
    fw::Command(ID_TRAY_EXIT, &CEditorDlg::OnFileExit),
    fw::Command(ID_HELP_ABOUT, &CEditorDlg::OnHelpAbout),

    fw::Command(ID_FILE_NEW, &CEditorDlg::OnFileNew),
    fw::Command(ID_FILE_OPEN, &CEditorDlg::OnFileOpen),
    fw::Command(ID_FILE_SAVE, &CEditorDlg::OnFileSave),
    fw::Command(ID_FILE_SAVE_AS, &CEditorDlg::OnFileSaveAsCommand),
    fw::Command(ID_FILE_PRINT, &CEditorDlg::OnFilePrint),

    fw::Command(IDC_ADD_TRACKS, BN_CLICKED, &CEditorDlg::OnAddTracks),
    fw::Command(IDC_REMOVE, BN_CLICKED, &CEditorDlg::OnRemove),
    fw::Command(IDC_CLEAR_DUPES, BN_CLICKED, &CEditorDlg::OnClearDupes),
    fw::Command(IDC_MOVE_UP, BN_CLICKED, &CEditorDlg::OnMoveUp),
    fw::Command(IDC_MOVE_DOWN, BN_CLICKED, &CEditorDlg::OnMoveDown),
    fw::Command(IDC_TRACK_LIST, LBN_SELCHANGE, &CEditorDlg::UpdateSelStatus),
    fw::Command(IDC_TRACK_LIST, LBN_DBLCLK, &CEditorDlg::OnDblClkTrackList),
    fw::Command(IDC_PLAYER_BUTTON, BN_CLICKED, &CEditorDlg::OnPlayerButton),

    fw::Command(ID_TRAY_PLAY_PAUSE, &CEditorDlg::OnTrayPlayPause),
    fw::Command(ID_TRAY_PREVIOUS, &CEditorDlg::OnTrayPrevious),
    fw::Command(ID_TRAY_NEXT, &CEditorDlg::OnTrayNext),
    fw::Command(ID_TRAY_SHOW_PLAYER, &CEditorDlg::OnTrayShowPlayer),
};

CEditorDlg::CEditorDlg(HWND parent) : fw::CDialog(IDD_EDITOR)
{
    m_hIcon = fw::LoadAppIcon(IDI_APP);
    Create(parent);
}

CEditorDlg::~CEditorDlg()
{
    // The player goes first: its queue stops and closes the audio device
    // while the tray icon it reports to still exists.
    if (m_pPlayer) {
        m_pPlayer->DestroyWindow();
        delete m_pPlayer;
        m_pPlayer = nullptr;
    }
    delete m_pTrayIcon;
    m_pTrayIcon = nullptr;
}

void CEditorDlg::PostNcDestroy() { delete this; }

void CEditorDlg::DoDataExchange() { BindControl(IDC_TRACK_LIST, m_list); }

bool CEditorDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    m_bPassOn = false;
    if (!fw::DispatchMessageMap(*this, messageMap, message, wParam, lParam, result))
        return false;
    // Only these handlers may ask for the default processing too; any other
    // may have closed the window, and this object with it.
    switch (message) {
    case WM_GETMINMAXINFO:
    case WM_SIZE:
    case WM_MOVE:
    case WM_PAINT:
        return !m_bPassOn;
    default:
        return true;
    }
}

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
    DWORD n = ::GetCurrentDirectoryA(sizeof m_szStartDir, m_szStartDir);
    if (n == 0 || n >= sizeof m_szStartDir)
        m_szStartDir[0] = '\0';

    m_layout.Attach(m_hWnd);
    m_layout.AddControl(IDC_TRACK_LIST, kAnchorFixed, kAnchorFollow, kAnchorFixed, kAnchorFollow);
    m_layout.AddControl(IDC_ADD_TRACKS, kAnchorFixed, kAnchorFixed, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_REMOVE, kAnchorFixed, kAnchorFixed, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_CLEAR_DUPES, kAnchorFixed, kAnchorFixed, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_PLAYER_BUTTON, kAnchorFixed, kAnchorFixed, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_SEL_STATUS, kAnchorFixed, kAnchorFixed, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_MOVE_UP, kAnchorFollow, kAnchorFollow, kAnchorFollow, kAnchorFollow);
    m_layout.AddControl(IDC_MOVE_DOWN, kAnchorFollow, kAnchorFollow, kAnchorFollow, kAnchorFollow);

    m_bSettingsLoaded = LoadSettings();
    if (!m_bSettingsLoaded) {
        CenterOnScreen();
        ShowWindow(SW_SHOW);
        fw::CButton(GetDlgItem(IDC_PLAYER_BUTTON)).SetIcon(m_hIconPlayerHidden);
    }

    m_pPlayer = new CPlayerDlg(this);
    ::DragAcceptFiles(m_hWnd, TRUE);

    m_strBaseTitle = GetWindowText();
    SetModified(false, true);

    if (m_settings.listHidden && m_pPlayer->IsWindow())
        m_pPlayer->OnListToggle();

    m_pTrayIcon = new CTrayIcon(m_hWnd, m_pPlayer, m_hIcon, m_strBaseTitle.c_str(), IDR_TRAYMENU);

    int current = -1;
    int count = 0;
    std::vector<int> order;
    const bool resumed = LoadResume(current, count, order);
    bool loaded = false;
    const std::string last = PathFieldText(m_settings.lastPlaylist);
    if (m_bSettingsLoaded && !last.empty())
        loaded = LoadPlaylist(last.c_str(), resumed);
    if (resumed && loaded)
        ResumePlayQueue(current, count, order);

    return TRUE; // the dialog manager puts the focus on the list
}

// The template sits at 0, 0; a first start without a stored placement shows
// the window in the middle of the work area instead.
void CEditorDlg::CenterOnScreen()
{
    RECT work{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
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
    std::string title = m_strBaseTitle;
    if (modified)
        title += " - " + m_strFileName + "*";
    else if (!m_strFileName.empty())
        title += " - " + m_strFileName;
    SetWindowText(title);
}

void CEditorDlg::UpdateSelStatus()
{
    char text[64];
    std::snprintf(text, sizeof text, "Sel: %d/%d", m_list.GetCurSel() + 1, m_list.GetCount());
    ::SetDlgItemTextA(m_hWnd, IDC_SEL_STATUS, text);
}

void CEditorDlg::ShowList(bool show)
{
    if (show) {
        ShowWindow(SW_RESTORE);
        ::SetForegroundWindow(m_hWnd);
    } else {
        ShowWindow(SW_HIDE);
    }
}

std::string CEditorDlg::DataFilePath(const char* name) const { return JoinPath(m_szStartDir, name); }

LRESULT CEditorDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    if ((m_ptMinTrackSize.x == 0 && m_ptMinTrackSize.y == 0) || lParam == 0) {
        m_bPassOn = true;
        return 0;
    }
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = m_ptMinTrackSize;
    return 0;
}

// Only the user's own drag of the player tears it away from its docking
// place: a maximise or any other jump of the editor by more than the docking
// distance must not leave a docked player behind. The editor's moves still
// dock a detached player that it has come back to.
void CEditorDlg::PlayerFollows()
{
    if (!m_pPlayer || !m_pPlayer->IsWindow())
        return;
    if (m_pPlayer->detached)
        m_pPlayer->UpdateDocking();
    if (!m_pPlayer->detached)
        m_pPlayer->Reposition();
}

LRESULT CEditorDlg::OnSizeMessage(WPARAM, LPARAM lParam)
{
    m_bPassOn = true;
    m_layout.OnSize(LOWORD(lParam), HIWORD(lParam));
    PlayerFollows();
    return 0;
}

LRESULT CEditorDlg::OnMoveMessage(WPARAM, LPARAM)
{
    m_bPassOn = true;
    PlayerFollows();
    return 0;
}

LRESULT CEditorDlg::OnPaintMessage(WPARAM, LPARAM)
{
    if (!IsIconic()) {
        m_bPassOn = true;
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CEditorDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CEditorDlg::OnCloseMessage(WPARAM, LPARAM)
{
    OnCancel(); // may delete this
    return 0;
}

LRESULT CEditorDlg::OnDropFilesMessage(WPARAM wParam, LPARAM)
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

// The one close path: the close box, Esc, File > Exit and the tray's Exit.
void CEditorDlg::OnCancel()
{
    if (!PromptSaveChanges())
        return;
    SaveSettings();
    SaveResume();
    DestroyWindow(); // PostNcDestroy deletes this: touch nothing afterwards
}

void CEditorDlg::OnFileExit() { OnCancel(); }

void CEditorDlg::OnHelpAbout()
{
    CAboutDlg about;
    about.DoModal(m_hWnd);
}

void CEditorDlg::OnPlayerButton()
{
    if (!m_pPlayer || !m_pPlayer->IsWindow())
        return;
    fw::CButton button(GetDlgItem(IDC_PLAYER_BUTTON));
    if (m_pPlayer->slideState == 0) {
        m_pPlayer->ShowSlide(false);
        button.SetIcon(m_hIconPlayerHidden);
    } else if (m_pPlayer->slideState == 1) {
        m_pPlayer->ShowSlide(true);
        button.SetIcon(m_hIconPlayerShown);
        ::SetForegroundWindow(m_hWnd);
    }
}

void CEditorDlg::OnTrayPlayPause()
{
    if (m_pPlayer && m_pPlayer->IsWindow())
        m_pPlayer->OnPlayPause();
}

void CEditorDlg::OnTrayPrevious()
{
    if (m_pPlayer && m_pPlayer->IsWindow())
        m_pPlayer->OnPrevious();
}

void CEditorDlg::OnTrayNext()
{
    if (m_pPlayer && m_pPlayer->IsWindow())
        m_pPlayer->OnNext();
}

void CEditorDlg::OnTrayShowPlayer()
{
    if (IsWindowVisible()) {
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    if (!m_pPlayer || !m_pPlayer->IsWindow())
        return;
    // Undoes the player's minimise-and-hide into the tray.
    if (!m_pPlayer->IsWindowVisible()) {
        m_pPlayer->ShowWindow(SW_SHOW);
        m_pPlayer->ShowWindow(SW_RESTORE);
    }
    ::SetForegroundWindow(m_pPlayer->GetHwnd());
}

CAboutDlg::CAboutDlg() : fw::CDialog(IDD_ABOUTBOX) {}
