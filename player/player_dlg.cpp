// The player window's construction, initialisation, settings, message map
// and tooltips.
#include "player/player_dlg.h"

#include "audio/mci_audio.h"
#include "audio/mci_audio_win.h"
#include "playlist/m3u.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// The stored placement moved to the player's own size, or false when it would
// put the player where nobody can reach it. The player cannot be resized, so
// only the place is taken, never a size, which a damaged file could make absurd.
bool PlacementAtOwnSize(const WINDOWPLACEMENT& stored, const RECT& own, WINDOWPLACEMENT& out)
{
    const long long left = stored.rcNormalPosition.left;
    const long long top = stored.rcNormalPosition.top;
    const long long right = left + (own.right - own.left);
    const long long bottom = top + (own.bottom - own.top);
    if (!fw::OnVirtualScreen(left, top, right, bottom))
        return false;
    out = stored;
    out.length = sizeof(out);
    if (out.showCmd > SW_MAX)
        out.showCmd = SW_SHOWNORMAL;
    out.rcNormalPosition = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                            static_cast<LONG>(bottom)};
    return true;
}

} // namespace

const int CPlayerDlg::kButtonIds[kButtonCount] = {IDC_PREVIOUS, IDC_REWIND, IDC_PLAY_PAUSE, IDC_STOP,
                                                  IDC_FAST_FORWARD, IDC_NEXT, IDC_SHUFFLE, IDC_REPEAT};
const int CPlayerDlg::kButtonIconIds[kButtonCount] = {IDI_PREVIOUS, IDI_REWIND, IDI_PLAY, IDI_STOP,
                                                      IDI_FAST_FORWARD, IDI_NEXT, IDI_SHUFFLE, IDI_REPEAT};

const fw::MessageMap<CPlayerDlg> CPlayerDlg::messageMap = {
    fw::Command(IDC_PREVIOUS, BN_CLICKED, &CPlayerDlg::OnPrevious),
    fw::Command(IDC_REWIND, BN_CLICKED, &CPlayerDlg::OnRewind),
    fw::Command(IDC_PLAY_PAUSE, BN_CLICKED, &CPlayerDlg::OnPlayPause),
    fw::Command(IDC_STOP, BN_CLICKED, &CPlayerDlg::OnStop),
    fw::Command(IDC_FAST_FORWARD, BN_CLICKED, &CPlayerDlg::OnFastForward),
    fw::Command(IDC_NEXT, BN_CLICKED, &CPlayerDlg::OnNext),
    fw::Command(IDC_REPEAT, BN_CLICKED, &CPlayerDlg::OnRepeat),
    fw::Command(IDC_SHUFFLE, BN_CLICKED, &CPlayerDlg::OnShuffle),
    fw::Command(IDC_MUTE, BN_CLICKED, &CPlayerDlg::OnMute),
    fw::Command(IDC_LIST_TOGGLE, BN_CLICKED, &CPlayerDlg::ToggleList),
    fw::Command(IDC_CLOSE, BN_CLICKED, &CPlayerDlg::OnCloseButton),
    fw::Command(IDC_TO_TRAY, BN_CLICKED, &CPlayerDlg::OnToTray),
    fw::Command(IDC_ON_TOP, BN_CLICKED, &CPlayerDlg::OnOnTop),
    fw::Message(WM_TIMER, &CPlayerDlg::OnTimer),
    fw::Message(WM_HSCROLL, &CPlayerDlg::OnHScroll),
    fw::Message(WM_VSCROLL, &CPlayerDlg::OnVScroll),
    fw::Notify(fw::kAny, TTN_NEEDTEXTW, &CPlayerDlg::OnToolTipNeedText),
    fw::Message(WM_NCHITTEST, &CPlayerDlg::OnNcHitTest),
    fw::Message(WM_SETCURSOR, &CPlayerDlg::OnSetCursor),
    fw::Move(&CPlayerDlg::OnMove),
    fw::Message(kReapplyOnTop, &CPlayerDlg::OnReapplyOnTop),
};

CPlayerDlg::CPlayerDlg(IPlayerHost& host, std::optional<PlayerSettings> stored)
    : fw::CDialogImpl<CPlayerDlg>(IDD_PLAYER), m_host(host), m_stored(std::move(stored)), m_queue(TheAudio())
{
    // The template holds trackbars and the window a tooltip control: make
    // sure their classes exist whoever created the host.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
}

CPlayerDlg::~CPlayerDlg()
{
    // Normally the window went with the host's; the queue's destructor
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

BOOL CPlayerDlg::OnInitDialog()
{
    fw::CDialog::OnInitDialog();
    SetWindowText(L"MP3 Player");

    // Button faces. The small images: the buttons are about 20 pixels.
    for (int i = 0; i < kButtonCount; ++i) {
        m_buttonIcons[i] = fw::LoadAppIconSmall(kButtonIconIds[i]);
        if (m_buttonIcons[i])
            Button(kButtonIds[i]).SetIcon(m_buttonIcons[i]);
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
    m_titleRectListShown = {0, 0, title.right - title.left, title.bottom - title.top};
    m_titleRectListHidden = m_titleRectListShown;
    m_titleRectListHidden.left += 20;

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
    Button(IDC_REPEAT).SetCheck(m_queue.Repeat() ? BST_CHECKED : BST_UNCHECKED);

    LayoutTopRow();

    ::SetTimer(m_hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
    ::SetTimer(m_hWnd, kTitleTimer, kTitlePeriodMs, nullptr);

    PlaceBehindHost();
    if (m_stored)
        ApplyStored(*m_stored);

    Item(IDC_PLAY_PAUSE).SetFocus();
    return FALSE;
}

// Two tools per control. The control's own (its handle as id) serves while it
// takes mouse messages. The other, a rectangle of the player carrying the
// control's id, serves wherever the system sees the player under the cursor
// instead: over the title, a static that lets the mouse through, and over a
// disabled control where the system skips it.
void CPlayerDlg::CreateToolTips()
{
    m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                   fw::AppInstance(), nullptr);
    if (!m_hToolTip)
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The first, 44-byte form: understood by every version of the control.
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.uFlags = 0;
        tool.uId = static_cast<UINT_PTR>(::GetDlgCtrlID(child));
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    UpdateToolRects();
    ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
}

// The player's rectangles follow the controls; a hidden control has none, so
// that the title under the hidden to-tray button keeps its own tip.
void CPlayerDlg::UpdateToolRects()
{
    if (!m_hToolTip)
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.hwnd = m_hWnd;
        tool.uId = static_cast<UINT_PTR>(::GetDlgCtrlID(child));
        if (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) {
            tool.rect = fw::CWindow(child).GetWindowRect();
            ScreenToClient(tool.rect);
        }
        ::SendMessageW(m_hToolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// The player is dragged by its surface, so it answers the mouse as a caption
// and gets no client mouse messages; the title lets the mouse through to it,
// and a disabled control gets none at all. The cursor is set for each of
// them all the same: the tooltip is told of the move from here, for the
// window the system sees under the cursor.
fw::Reply CPlayerDlg::OnSetCursor(WPARAM, LPARAM lParam)
{
    const UINT mouse = HIWORD(lParam);
    if (m_hToolTip && mouse >= WM_MOUSEFIRST && mouse <= WM_MOUSELAST) {
        MSG msg{};
        ::GetCursorPos(&msg.pt);
        msg.hwnd = ::WindowFromPoint(msg.pt);
        if (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd)) {
            POINT client = msg.pt;
            ::ScreenToClient(msg.hwnd, &client);
            msg.message = mouse;
            msg.lParam = MAKELPARAM(client.x, client.y);
            msg.time = ::GetMessageTime();
            ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
    }
    return fw::kDeclined;
}

PlayerSettings CPlayerDlg::Settings() const
{
    PlayerSettings settings;
    settings.shuffle = IsChecked(IDC_SHUFFLE);
    settings.onTop = IsChecked(IDC_ON_TOP);
    settings.mute = IsChecked(IDC_MUTE);
    // Repeat as its check box shows it, not as the queue holds it.
    settings.repeat = IsChecked(IDC_REPEAT);
    settings.volume = m_volumeLevel;
    settings.detached = m_detached;
    settings.shown = m_slideState == SlideState::Shown;
    settings.listHidden = m_listHidden;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (::GetWindowPlacement(m_hWnd, &wp))
        settings.placement = wp;
    return settings;
}

void CPlayerDlg::Apply(const PlayerSettings& settings)
{
    ApplyStored(settings);
    if (settings.listHidden != m_listHidden)
        ToggleList();
}

void CPlayerDlg::ApplyStored(const PlayerSettings& settings)
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

    m_queue.SetRepeat(settings.repeat);
    Button(IDC_REPEAT).SetCheck(m_queue.Repeat() ? BST_CHECKED : BST_UNCHECKED);

    WINDOWPLACEMENT placement{};
    const bool usable = settings.placement && PlacementAtOwnSize(*settings.placement, GetWindowRect(), placement);
    if (usable)
        ::SetWindowPlacement(m_hWnd, &placement);
    ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);

    if (!settings.shown) {
        m_slideState = SlideState::Hidden;
        ShowWindow(SW_HIDE);
    } else {
        m_slideState = SlideState::Shown;
        // Without a stored place the window still stands behind the host.
        if (!usable)
            Reposition();
    }
}

fw::Reply CPlayerDlg::OnToolTipNeedText(NMHDR& header)
{
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(&header);
    const int id = (info->uFlags & TTF_IDISHWND) ? ::GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom))
                                                 : static_cast<int>(info->hdr.idFrom);

    auto fromResource = [info](int stringId) {
        info->hinst = fw::AppInstance();
        info->lpszText = MAKEINTRESOURCEW(stringId);
        return TRUE;
    };
    auto fromText = [this, info](const std::wstring& text) {
        m_tipText = text;
        info->hinst = nullptr;
        info->lpszText = const_cast<wchar_t*>(m_tipText.c_str());
        return TRUE;
    };
    // A neighbour's name, or the button's own when it has none.
    auto trackAt = [&](int pos, int stringId) {
        const std::wstring name = TrackName(m_queue.At(pos).path);
        return name.empty() ? fromResource(stringId) : fromText(name);
    };

    CMciAudio& audio = Audio();
    const int count = m_queue.Count();
    const int current = m_queue.Current();
    wchar_t buffer[64];
    switch (id) {
    case IDC_PREVIOUS:
        if (!m_queue.HasValidCurrent() || current == 0)
            return fromResource(IDS_PREVIOUS);
        return trackAt(current - 1, IDS_PREVIOUS);
    case IDC_NEXT: {
        const int next = (current < -1 ? -1 : current) + 1;
        if (count == 0 || next >= count)
            return fromResource(IDS_NEXT);
        return trackAt(next, IDS_NEXT);
    }
    case IDC_REWIND:
        return fromResource(IDS_REWIND);
    case IDC_PLAY_PAUSE:
        return fromText(audio.isPlaying && !audio.isPaused ? L"Pause" : L"Play");
    case IDC_STOP:
        return fromResource(IDS_STOP);
    case IDC_FAST_FORWARD:
        return fromResource(IDS_FAST_FORWARD);
    case IDC_REPEAT:
        return fromResource(IDS_REPEAT_MODE);
    case IDC_POSITION:
        std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%.0f%% complete", audio.GetPercent());
        return fromText(buffer);
    case IDC_SHUFFLE:
        return fromResource(IDS_SHUFFLE_MODE);
    case IDC_MUTE:
        return fromText(IsChecked(IDC_MUTE) ? L"Unmute" : L"Mute");
    case IDC_TITLE:
        if (!m_queue.HasValidCurrent())
            return FALSE;
        return fromText(m_queue.CurrentEntry()->path.Str());
    case IDC_VOLUME: {
        const double volume = IsChecked(IDC_MUTE) ? 0.0 : m_volumeLevel * 0.001 * 100;
        std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"Volume: %.1f", volume);
        return fromText(buffer);
    }
    case IDC_LIST_TOGGLE:
        return fromText(m_listHidden ? L"Show play list" : L"Hide play list");
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

fw::Reply CPlayerDlg::OnTimer(WPARAM wParam, LPARAM)
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

fw::Reply CPlayerDlg::OnReapplyOnTop(WPARAM, LPARAM)
{
    OnOnTop();
    return 0;
}

fw::Reply CPlayerDlg::OnHScroll(WPARAM, LPARAM lParam)
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

fw::Reply CPlayerDlg::OnVScroll(WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_volume.GetHwnd())
        return 0;
    const int v = kMaxVolume - m_volume.GetPos();
    Audio().SetVolume(v);
    m_volume.SetPos(kMaxVolume - v);
    m_volumeLevel = v;
    return 0;
}

// The file name of a track: unlike a playlist's name in the title, a path
// that ends in a backslash names no file, and shows no name.
std::wstring CPlayerDlg::TrackName(const SharedText& path)
{
    return !path.empty() && path[path.size() - 1] == L'\\' ? std::wstring() : DisplayName(path.Str());
}

void CPlayerDlg::ShowPausedInTray(bool paused)
{
    m_trayShowsPaused = paused;
    m_host.SetTrayIcon(paused ? m_hPausedTrayIcon
                              : reinterpret_cast<HICON>(Host().SendMessage(WM_GETICON, ICON_SMALL, 0)));
}
