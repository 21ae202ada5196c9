// settings.dat and continue.dat on the editor window's side: reading them at
// start-up, writing them when the window closes. The byte formats live in
// persist/; here they meet the windows, the list and the play queue.
#include "editor/editor_dlg.h"

#include "persist/file_io.h"
#include "persist/resume_file.h"
#include "persist/settings_record.h"
#include "player/player_dlg.h"
#include "res/resource.h"

#include <algorithm>

namespace {

// A stored placement as Windows takes it; none when its normal rectangle is
// empty, which would put the window at zero size.
std::optional<WINDOWPLACEMENT> ToWindowPlacement(const WindowPlacementImage& image)
{
    if (!PlacementUsable(image))
        return std::nullopt;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp; // whatever the file held
    wp.flags = image.flags;
    wp.showCmd = image.showCmd;
    wp.ptMinPosition = {image.ptMinPosition.x, image.ptMinPosition.y};
    wp.ptMaxPosition = {image.ptMaxPosition.x, image.ptMaxPosition.y};
    wp.rcNormalPosition = {image.rcNormalPosition.left, image.rcNormalPosition.top,
                           image.rcNormalPosition.right, image.rcNormalPosition.bottom};
    return wp;
}

WindowPlacementImage ToImage(const WINDOWPLACEMENT& wp)
{
    WindowPlacementImage image{};
    image.length = kWindowPlacementLength;
    image.flags = wp.flags;
    image.showCmd = wp.showCmd;
    image.ptMinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    image.ptMaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    image.rcNormalPosition = {wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
                              wp.rcNormalPosition.bottom};
    return image;
}

bool OnScreen(const RECT& r) { return fw::OnVirtualScreen(r.left, r.top, r.right, r.bottom); }

// A window's placement into the record; a failed reading keeps what it held.
void ReadPlacement(HWND hwnd, WindowPlacementImage& image)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (::GetWindowPlacement(hwnd, &wp))
        image = ToImage(wp);
}

} // namespace

bool CEditorDlg::LoadSettings()
{
    m_settings = SettingsRecord{};
    // A short or unreadable file leaves the record all zero and counts as
    // missing: a half-written file must not start with both windows hidden.
    const std::wstring path = DataFilePath(kSettingsFileName);
    if (path.empty() || !LoadSettingsFile(path.c_str(), m_settings))
        return false;

    // The list is hidden from the player, so a hidden list with a hidden
    // player is no state the program leaves behind: only a damaged file
    // would start with both windows out of sight.
    if (m_settings.listHidden && !m_settings.playerShown)
        m_settings.listHidden = 0;

    WindowPlacementImage& placement = m_settings.editorPlacement;
    if (m_settings.listHidden)
        placement.showCmd = SW_HIDE;
    else if (placement.showCmd == SW_HIDE || placement.showCmd > SW_MAX)
        placement.showCmd = SW_SHOWNORMAL; // nothing would ever show the list again

    const std::optional<WINDOWPLACEMENT> wp = ToWindowPlacement(placement);
    if (wp && OnScreen(wp->rcNormalPosition)) {
        ::SetWindowPlacement(m_hWnd, &*wp);
    } else {
        // Shown where a first start puts it; the list toggle hides it again
        // later when the list was hidden.
        CenterOnScreen();
        ShowWindow(SW_SHOW);
    }

    fw::CButton(GetDlgItem(IDC_PLAYER_BUTTON))
        .SetIcon(m_settings.playerShown ? m_hIconPlayerShown : m_hIconPlayerHidden);
    return true;
}

std::optional<PlayerSettings> CEditorDlg::StoredPlayerSettings() const
{
    if (!m_bSettingsLoaded)
        return std::nullopt;
    PlayerSettings player;
    player.shuffle = m_settings.shuffle != 0;
    player.repeat = m_settings.repeat != 0;
    player.mute = m_settings.mute != 0;
    player.onTop = m_settings.onTop != 0;
    player.volume = m_settings.volume;
    player.detached = m_settings.detached != 0;
    player.shown = m_settings.playerShown != 0;
    player.listHidden = m_settings.listHidden != 0;
    player.placement = ToWindowPlacement(m_settings.playerPlacement);
    return player;
}

void CEditorDlg::SaveSettings()
{
    const PlayerSettings player = m_player->Settings();
    m_settings.shuffle = player.shuffle ? 1 : 0;
    m_settings.onTop = player.onTop ? 1 : 0;
    m_settings.mute = player.mute ? 1 : 0;
    m_settings.repeat = player.repeat ? 1 : 0;
    m_settings.volume = player.volume;
    m_settings.detached = player.detached ? 1 : 0;
    // A player caught sliding counts as hidden.
    m_settings.playerShown = player.shown ? 1 : 0;
    m_settings.listHidden = player.listHidden ? 1 : 0;
    if (player.placement)
        m_settings.playerPlacement = ToImage(*player.placement);
    ReadPlacement(m_hWnd, m_settings.editorPlacement);
    // Written through a temporary file, so a failed write keeps the old one.
    const std::wstring path = DataFilePath(kSettingsFileName);
    if (!path.empty())
        SaveSettingsFile(path.c_str(), m_settings);
}

bool CEditorDlg::LoadResume(int& current, int& count, std::vector<int>& order)
{
    ResumeData stored;
    const std::wstring path = DataFilePath(kResumeFileName);
    const bool read = !path.empty() && LoadResumeFile(path.c_str(), stored);
    current = stored.current;
    count = stored.count;
    order = std::move(stored.order);
    return read;
}

void CEditorDlg::SaveResume()
{
    const std::wstring path = DataFilePath(kResumeFileName);
    if (path.empty())
        return;
    const CPlayQueue& queue = m_player->Queue();
    SaveResumeFile(path.c_str(), SerializeResume(m_list.GetCount(), queue.Current(), queue.PlayOrder()));
}

void CEditorDlg::ResumePlayQueue(int current, int count, const std::vector<int>& order)
{
    ResumeData stored;
    stored.current = current;
    stored.order.assign(order.begin(), order.begin() + std::min<size_t>(order.size(), count < 0 ? 0 : count));
    stored.count = static_cast<int>(stored.order.size());
    // Never trusted: every list index of the reloaded list comes back once,
    // whatever the file held and however the playlist changed since.
    const ResumePlan plan = RebuildPlayOrder(stored, m_list.GetCount());
    m_player->RestorePlayOrder(plan.order, plan.current);
}

namespace {

// GetShortPathNameW's name for a path that exists; empty when it gives none.
std::wstring ShortPathOf(const std::wstring& path)
{
    const DWORD size = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring name(size, L'\0');
    const DWORD length = ::GetShortPathNameW(path.c_str(), &name[0], size);
    if (length == 0 || length >= size)
        return std::wstring();
    name.resize(length);
    return name;
}

} // namespace

void CEditorDlg::StorePath(char (&field)[kPathFieldSize], const std::wstring& path, bool folderOnly)
{
    SetPathField(field, path, SystemAnsiCodePage(), ShortPathOf);
    if (folderOnly)
        CutAtLastBackslash(field);
}

std::wstring CEditorDlg::StoredPath(const char (&field)[kPathFieldSize])
{
    return PathFieldPath(field, SystemAnsiCodePage());
}
