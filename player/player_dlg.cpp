// The player window's construction, initialisation, message map and tooltips.
#include "player/player_dlg.h"

#include "audio/mci_audio.h"
#include "audio/mci_audio_win.h"
#include "editor/editor_dlg.h"
#include "persist/settings_record.h"
#include "res/resource.h"
#include "tray/tray_icon.h"

#include <commctrl.h>

#include <cstdio>

bool pauseBlink = true;
int dockDistance = 60;
MarqueeState marquee;

namespace {

constexpr UINT_PTR kPositionTimer = 0;
constexpr UINT_PTR kTitleTimer = 1;
constexpr UINT kPositionPeriodMs = 750;
constexpr UINT kTitlePeriodMs = 700;

// The stored place of the player, or false when it would put the player
// where nobody can reach it: an empty rectangle, or one off every monitor.
// The player cannot be resized, so only the place is taken from the file,
// never a size, which a damaged file could make absurd.
bool StoredPlacement(const WindowPlacementImage& image, const RECT& own, WINDOWPLACEMENT& out)
{
    if (!PlacementUsable(image))
        return false;
    const long long left = image.rcNormalPosition.left;
    const long long top = image.rcNormalPosition.top;
    const long long right = left + (own.right - own.left);
    const long long bottom = top + (own.bottom - own.top);
    const long long screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long long screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const long long screenRight = screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const long long screenBottom = screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (!(left < screenRight && right > screenLeft && top < screenBottom && bottom > screenTop))
        return false;

    out = WINDOWPLACEMENT{};
    out.length = sizeof(out);
    out.flags = image.flags;
    out.showCmd = image.showCmd <= SW_MAX ? image.showCmd : SW_SHOWNORMAL;
    out.ptMinPosition = {image.ptMinPosition.x, image.ptMinPosition.y};
    out.ptMaxPosition = {image.ptMaxPosition.x, image.ptMaxPosition.y};
    out.rcNormalPosition = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                            static_cast<LONG>(bottom)};
    return true;
}

} // namespace

const fw::MessageMapEntry<CPlayerDlg> CPlayerDlg::messageMap[] = {
    fw::Command(IDC_PREVIOUS, BN_CLICKED, &CPlayerDlg::OnPrevious),
    fw::Command(IDC_REWIND, BN_CLICKED, &CPlayerDlg::OnRewind),
    fw::Command(IDC_PLAY_PAUSE, BN_CLICKED, &CPlayerDlg::OnPlayPause),
    fw::Command(IDC_STOP, BN_CLICKED, &CPlayerDlg::OnStop),
    fw::Command(IDC_FAST_FORWARD, BN_CLICKED, &CPlayerDlg::OnFastForward),
    fw::Command(IDC_NEXT, BN_CLICKED, &CPlayerDlg::OnNext),
    fw::Command(IDC_REPEAT, BN_CLICKED, &CPlayerDlg::OnRepeat),
    fw::Command(IDC_SHUFFLE, BN_CLICKED, &CPlayerDlg::OnShuffle),
    fw::Command(IDC_MUTE, BN_CLICKED, &CPlayerDlg::OnMute),
    fw::Command(IDC_LIST_TOGGLE, BN_CLICKED, &CPlayerDlg::OnListToggle),
    fw::Command(IDC_CLOSE, BN_CLICKED, &CPlayerDlg::OnCloseButton),
    fw::Command(IDC_TO_TRAY, BN_CLICKED, &CPlayerDlg::OnToTray),
    fw::Command(IDC_ON_TOP, BN_CLICKED, &CPlayerDlg::OnOnTop),
    fw::Message(WM_TIMER, &CPlayerDlg::OnTimer),
    fw::Message(WM_HSCROLL, &CPlayerDlg::OnHScroll),
    fw::Message(WM_VSCROLL, &CPlayerDlg::OnVScroll),
    fw::Notify(fw::kAny, TTN_NEEDTEXTA, &CPlayerDlg::OnToolTipNeedText),
    fw::Message(WM_NCHITTEST, &CPlayerDlg::OnNcHitTest),
    fw::Message(WM_MOVE, &CPlayerDlg::OnMoveMessage),
    fw::Message(kReapplyOnTop, &CPlayerDlg::OnReapplyOnTop),
};

CPlayerDlg::CPlayerDlg(CEditorDlg* editor)
    : fw::CDialog(IDD_PLAYER),
      m_queue(TheAudio()),
      m_pEditor(editor),
      m_buttonIds{IDC_PREVIOUS, IDC_REWIND, IDC_PLAY_PAUSE, IDC_STOP,
                  IDC_FAST_FORWARD, IDC_NEXT, IDC_SHUFFLE, IDC_REPEAT},
      m_buttonIconIds{IDI_PREVIOUS, IDI_REWIND, IDI_PLAY, IDI_STOP,
                      IDI_FAST_FORWARD, IDI_NEXT, IDI_SHUFFLE, IDI_REPEAT}
{
    // The template holds trackbars and the window a tooltip control: make
    // sure their classes exist whoever created the editor.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    Create(m_pEditor ? m_pEditor->GetHwnd() : nullptr);
}

CPlayerDlg::~CPlayerDlg()
{
    // Normally the window went with the editor's; the queue's destructor
    // stops and closes the device.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::KillTimer(m_hWnd, kPositionTimer);
        ::KillTimer(m_hWnd, kTitleTimer);
        ::KillTimer(m_hWnd, kSlideTimer);
    }
}

CMciAudio& CPlayerDlg::Audio() const { return TheAudio(); }

void CPlayerDlg::DoDataExchange()
{
    BindControl(IDC_VOLUME, m_volume);
    BindControl(IDC_POSITION, m_position);
}

void CPlayerDlg::OnCancel() {}

// Enter on the player must not end or hide anything either.
void CPlayerDlg::OnOK() {}

bool CPlayerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return fw::DispatchMessageMap(*this, messageMap, message, wParam, lParam, result);
}

BOOL CPlayerDlg::OnInitDialog()
{
    fw::CDialog::OnInitDialog();
    SetWindowText("MP3 Player");

    // Button faces. The small images: the buttons are about 20 pixels.
    for (int i = 0; i < 8; ++i) {
        m_buttonIcons[i] = fw::LoadAppIconSmall(m_buttonIconIds[i]);
        if (m_buttonIcons[i])
            Button(m_buttonIds[i]).SetIcon(m_buttonIcons[i]);
    }

    m_hListShownIcon = fw::LoadAppIconSmall(IDI_LIST_SHOWN);
    m_hListHiddenIcon = fw::LoadAppIconSmall(IDI_LIST_HIDDEN);
    m_hCloseIcon = fw::LoadAppIconSmall(IDI_CLOSE);
    m_hPauseIcon = fw::LoadAppIconSmall(IDI_PAUSE);
    m_hPlayIcon = fw::LoadAppIconSmall(IDI_PLAY);
    m_hMutedIcon = fw::LoadAppIconSmall(IDI_MUTED);
    m_hUnmutedIcon = fw::LoadAppIconSmall(IDI_UNMUTED);
    m_hPausedTrayIcon = fw::LoadAppIconSmall(IDI_PAUSED_TRAY);
    Button(IDC_LIST_TOGGLE).SetIcon(m_hListShownIcon);
    Button(IDC_TO_TRAY).SetIcon(m_hListShownIcon);
    Button(IDC_CLOSE).SetIcon(m_hCloseIcon);
    // The mute switch has no fixed face of its own; without saved settings
    // it would stay blank until the first click.
    Button(IDC_MUTE).SetIcon(m_hUnmutedIcon);

    RECT title = Item(IDC_TITLE).GetClientRect();
    titleRectListShown = {0, 0, title.right - title.left, title.bottom - title.top};
    titleRectListHidden = titleRectListShown;
    titleRectListHidden.left += 20;

    CreateToolTips();

    m_position.SetRange(0, 0);
    m_position.SetLineSize(0);
    m_position.EnableWindow(false);

    m_volume.SetRange(0, kMaxVolume);
    Audio().SetVolume(kMaxVolume);
    m_volume.SetPos(0);
    m_volumeLevel = kMaxVolume;

    Item(IDC_STOP).EnableWindow(false);
    // The queue starts out repeating; the box must say so from the start.
    Button(IDC_REPEAT).SetCheck(m_queue.repeat ? BST_CHECKED : BST_UNCHECKED);

    LayoutTopRow();

    ::SetTimer(m_hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
    ::SetTimer(m_hWnd, kTitleTimer, kTitlePeriodMs, nullptr);

    PlaceBehindEditor();
    if (m_pEditor && m_pEditor->m_bSettingsLoaded)
        ApplySettings(m_pEditor->m_settings);

    m_pTrackList = m_pEditor ? &m_pEditor->m_list : nullptr;
    Item(IDC_PLAY_PAUSE).SetFocus();
    return FALSE;
}

void CPlayerDlg::CreateToolTips()
{
    m_hToolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                   fw::AppInstance(), nullptr);
    if (!m_hToolTip)
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The first, 44-byte form: understood by every version of the control.
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
}

void CPlayerDlg::PlaceBehindEditor()
{
    if (!m_pEditor || !m_pEditor->GetHwnd())
        return;
    RECT a = m_pEditor->GetWindowRect();
    RECT b = GetWindowRect();
    SetWindowPos(m_pEditor->GetHwnd(), a.left, a.bottom - (b.bottom - b.top), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CPlayerDlg::ApplySettings(const SettingsRecord& settings)
{
    int level = settings.volume;
    if (level < 0)
        level = 0;
    if (level > kMaxVolume)
        level = kMaxVolume;
    Audio().SetVolume(level);
    m_volume.SetPos(kMaxVolume - level);
    m_volumeLevel = level;

    Button(IDC_MUTE).SetCheck(settings.mute ? BST_CHECKED : BST_UNCHECKED);
    if (settings.mute) {
        OnMute();
        Button(IDC_MUTE).SetIcon(m_hMutedIcon);
    } else {
        Button(IDC_MUTE).SetIcon(m_hUnmutedIcon);
    }

    Button(IDC_SHUFFLE).SetCheck(settings.shuffle ? BST_CHECKED : BST_UNCHECKED);

    Button(IDC_ON_TOP).SetCheck(settings.onTop ? BST_CHECKED : BST_UNCHECKED);
    if (settings.onTop) {
        OnOnTop();
        // Wine leaves a dialog's z-order band alone while the dialog is
        // being initialised: apply it again once the message loop runs.
        PostMessage(kReapplyOnTop);
    }

    m_queue.repeat = settings.repeat != 0;
    Button(IDC_REPEAT).SetCheck(m_queue.repeat ? BST_CHECKED : BST_UNCHECKED);

    WINDOWPLACEMENT placement{};
    const bool usable = StoredPlacement(settings.playerPlacement, GetWindowRect(), placement);
    if (usable)
        ::SetWindowPlacement(m_hWnd, &placement);
    ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);

    if (!settings.playerShown) {
        slideState = 1;
        ShowWindow(SW_HIDE);
    } else {
        slideState = 0;
        // Without a stored place the window still stands behind the editor.
        if (!usable)
            Reposition();
    }
}

LRESULT CPlayerDlg::OnToolTipNeedText(WPARAM, LPARAM lParam)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    if (!info || !(info->uFlags & TTF_IDISHWND))
        return FALSE;
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom));

    auto fromResource = [info](int stringId) {
        info->hinst = fw::AppInstance();
        info->lpszText = MAKEINTRESOURCEA(stringId);
        return TRUE;
    };
    auto fromText = [this, info](const std::string& text) {
        m_tipText = text;
        info->hinst = nullptr;
        info->lpszText = const_cast<char*>(m_tipText.c_str());
        return TRUE;
    };

    CMciAudio& audio = Audio();
    const int count = m_queue.Count();
    const int current = m_queue.current;
    char buffer[64];
    switch (id) {
    case IDC_PREVIOUS: {
        if (!m_queue.HasValidCurrent() || current == 0)
            return fromResource(IDS_PREVIOUS);
        const char* name = FileNameOf(m_queue.entries[static_cast<size_t>(current - 1)].path);
        return *name ? fromText(name) : fromResource(IDS_PREVIOUS);
    }
    case IDC_NEXT: {
        const int next = (current < -1 ? -1 : current) + 1;
        if (count == 0 || next >= count)
            return fromResource(IDS_NEXT);
        const char* name = FileNameOf(m_queue.entries[static_cast<size_t>(next)].path);
        return *name ? fromText(name) : fromResource(IDS_NEXT);
    }
    case IDC_REWIND:
        return fromResource(IDS_REWIND);
    case IDC_PLAY_PAUSE:
        return fromText(audio.isPlaying && !audio.isPaused ? "Pause" : "Play");
    case IDC_STOP:
        return fromResource(IDS_STOP);
    case IDC_FAST_FORWARD:
        return fromResource(IDS_FAST_FORWARD);
    case IDC_REPEAT:
        return fromResource(IDS_REPEAT_MODE);
    case IDC_POSITION:
        std::snprintf(buffer, sizeof buffer, "%.0f%% complete", audio.GetPercent());
        return fromText(buffer);
    case IDC_SHUFFLE:
        return fromResource(IDS_SHUFFLE_MODE);
    case IDC_MUTE:
        return fromText(Button(IDC_MUTE).GetCheck() == BST_CHECKED ? "Unmute" : "Mute");
    case IDC_TITLE:
        if (!m_queue.HasValidCurrent())
            return FALSE;
        return fromText(m_queue.entries[static_cast<size_t>(current)].path);
    case IDC_VOLUME: {
        const double volume = Button(IDC_MUTE).GetCheck() == BST_CHECKED ? 0.0 : m_volumeLevel * 0.001 * 100;
        std::snprintf(buffer, sizeof buffer, "Volume: %.1f", volume);
        return fromText(buffer);
    }
    case IDC_LIST_TOGGLE:
        return fromText(listHidden ? "Show play list" : "Hide play list");
    case IDC_CLOSE:
        return fromResource(IDS_CLOSE);
    case IDC_TO_TRAY:
        return fromResource(IDS_TO_TRAY);
    case IDC_ON_TOP:
        return fromResource(IDS_ON_TOP);
    default:
        return FALSE;
    }
}

LRESULT CPlayerDlg::OnTimer(WPARAM wParam, LPARAM)
{
    switch (wParam) {
    case kPositionTimer:
        OnPositionTimer();
        break;
    case kTitleTimer:
        OnTitleTimer();
        break;
    case kSlideTimer:
        SlideStep();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CPlayerDlg::OnReapplyOnTop(WPARAM, LPARAM)
{
    OnOnTop();
    return 0;
}

LRESULT CPlayerDlg::OnHScroll(WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_position.GetHwnd())
        return 0;
    CMciAudio& audio = Audio();
    if (audio.isPlaying) {
        const int t = m_position.GetPos();
        if (audio.isPaused)
            audio.Seek(t);
        else
            audio.Play(t);
    }
    UpdateCurrentTime();
    return 0;
}

LRESULT CPlayerDlg::OnVScroll(WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_volume.GetHwnd())
        return 0;
    const int v = kMaxVolume - m_volume.GetPos();
    Audio().SetVolume(v);
    m_volume.SetPos(kMaxVolume - v);
    m_volumeLevel = v;
    return 0;
}

// Tray helpers: the tray icon is created after the player, and tests may run
// without one.
void CPlayerDlg::SetTrayTip(const char* text)
{
    if (m_pEditor && m_pEditor->m_pTrayIcon)
        m_pEditor->m_pTrayIcon->SetTrayTip(text);
}

void CPlayerDlg::SetTrayIcon(HICON icon)
{
    if (m_pEditor && m_pEditor->m_pTrayIcon)
        m_pEditor->m_pTrayIcon->SetTrayIcon(icon);
}

void CPlayerDlg::EditorIconToTray()
{
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        parent = ::GetWindow(m_hWnd, GW_OWNER);
    HICON icon = parent ? reinterpret_cast<HICON>(::SendMessageA(parent, WM_GETICON, ICON_SMALL, 0)) : nullptr;
    SetTrayIcon(icon);
}

const char* CPlayerDlg::FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}
