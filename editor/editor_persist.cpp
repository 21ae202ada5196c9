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

WINDOWPLACEMENT ToWindowPlacement(const WindowPlacementImage& image)
{
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

void ReadPlacement(HWND hwnd, WindowPlacementImage& image)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!::GetWindowPlacement(hwnd, &wp))
        return; // keep what the record held
    image.length = kWindowPlacementLength;
    image.flags = wp.flags;
    image.showCmd = wp.showCmd;
    image.ptMinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    image.ptMaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    image.rcNormalPosition = {wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                              wp.rcNormalPosition.right, wp.rcNormalPosition.bottom};
}

// A rectangle left over from a monitor that is gone (or from a damaged file)
// would put the window where nobody can reach it.
bool OnVirtualScreen(const RectImage& rc)
{
    // Larger than any screen: no window of ours was ever that big.
    constexpr long long kLargest = 32767;
    if (static_cast<long long>(rc.right) - rc.left > kLargest || static_cast<long long>(rc.bottom) - rc.top > kLargest)
        return false;
    const long long left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long long top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const long long right = left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const long long bottom = top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return rc.left < right && rc.right > left && rc.top < bottom && rc.bottom > top;
}

int Checked(const CPlayerDlg& player, int id)
{
    return fw::CButton(player.GetDlgItem(id)).GetCheck() == BST_CHECKED ? 1 : 0;
}

} // namespace

bool CEditorDlg::LoadSettings()
{
    m_settings = SettingsRecord{};
    // A short or unreadable file leaves the record all zero and counts as
    // missing: a half-written file must not start with both windows hidden.
    if (!LoadSettingsFile(JoinPath(m_szStartDir, kSettingsFileName).c_str(), m_settings))
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

    if (PlacementUsable(placement) && OnVirtualScreen(placement.rcNormalPosition)) {
        const WINDOWPLACEMENT wp = ToWindowPlacement(placement);
        ::SetWindowPlacement(m_hWnd, &wp);
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

void CEditorDlg::SaveSettings()
{
    // Without a player window the player's fields keep what was loaded.
    if (m_pPlayer && m_pPlayer->IsWindow()) {
        const CPlayerDlg& player = *m_pPlayer;
        m_settings.shuffle = static_cast<uint8_t>(Checked(player, IDC_SHUFFLE));
        m_settings.onTop = static_cast<uint8_t>(Checked(player, IDC_ON_TOP));
        m_settings.mute = static_cast<uint8_t>(Checked(player, IDC_MUTE));
        // Repeat as its check box shows it, not as the queue holds it.
        m_settings.repeat = static_cast<uint8_t>(Checked(player, IDC_REPEAT));
        m_settings.volume = player.m_volumeLevel;
        m_settings.detached = player.detached ? 1 : 0;
        // A player caught sliding counts as hidden.
        m_settings.playerShown = player.slideState == 0 ? 1 : 0;
        m_settings.listHidden = player.listHidden ? 1 : 0;
        ReadPlacement(player.GetHwnd(), m_settings.playerPlacement);
    }
    ReadPlacement(m_hWnd, m_settings.editorPlacement);
    // Written through a temporary file, so a failed write keeps the old one.
    SaveSettingsFile(JoinPath(m_szStartDir, kSettingsFileName).c_str(), m_settings);
}

bool CEditorDlg::LoadResume(int& current, int& count, std::vector<int>& order)
{
    ResumeData stored;
    const bool read = LoadResumeFile(JoinPath(m_szStartDir, kResumeFileName).c_str(), stored);
    current = stored.current;
    count = stored.count;
    order = std::move(stored.order);
    return read;
}

void CEditorDlg::SaveResume()
{
    const int count = m_list.GetCount();
    int current = -1;
    std::vector<int> order;
    if (m_pPlayer) {
        current = m_pPlayer->m_queue.current;
        order.reserve(m_pPlayer->m_queue.entries.size());
        for (const PlayQueueEntry& entry : m_pPlayer->m_queue.entries)
            order.push_back(entry.listIndex);
    }
    SaveResumeFile(JoinPath(m_szStartDir, kResumeFileName).c_str(), SerializeResume(count, current, order));
}

void CEditorDlg::ResumePlayQueue(int current, int count, const std::vector<int>& order)
{
    if (!m_pPlayer)
        return;
    ResumeData stored;
    stored.current = current;
    stored.order.assign(order.begin(), order.begin() + std::min<size_t>(order.size(), count < 0 ? 0 : count));
    stored.count = static_cast<int>(stored.order.size());
    // Never trusted: every list index of the reloaded list comes back once,
    // whatever the file held and however the playlist changed since.
    const ResumePlan plan = RebuildPlayOrder(stored, m_list.GetCount());

    CPlayQueue& queue = m_pPlayer->m_queue;
    queue.Clear();
    for (int listIndex : plan.order)
        queue.Add(listIndex, m_list.GetText(listIndex).c_str());
    // Add passes over an empty path, so the track is looked up again rather
    // than trusting its planned position.
    queue.current = plan.current >= 0 ? queue.PositionOf(plan.order[static_cast<size_t>(plan.current)]) : -1;

    // Without a current track the display would select every item and beep
    // on a failed open: only the counter is brought up to date then.
    if (queue.HasValidCurrent())
        m_pPlayer->UpdateDisplay();
    else
        m_pPlayer->RefreshCounter();
}
