// The player's transport buttons, switches, timers, status texts and the
// operations through which the host keeps the play queue in step with its
// track list.
#include "player/player_dlg.h"

#include "audio/mci_audio.h"
#include "framework/ui_seam.h"
#include "res/resource.h"

#include <cstdio>

std::wstring FormatTime(int milliseconds)
{
    // A failed reading (-1) shows as zero rather than as "-1:-1".
    const int t = milliseconds < 0 ? 0 : milliseconds;
    const int s = t / 1000;
    const int m = s / 60;
    const int h = m / 60;
    wchar_t text[32];
    if (h == 0)
        std::swprintf(text, sizeof text / sizeof text[0], L"%.2d:%.2d", m % 60, s % 60);
    else
        std::swprintf(text, sizeof text / sizeof text[0], L"%d:%.2d:%.2d", h, m % 60, s % 60);
    return text;
}

bool CPlayerDlg::HasValidEntry() const
{
    const PlayQueueEntry* entry = m_queue.CurrentEntry();
    return entry && entry->listIndex >= 0;
}

void CPlayerDlg::StoppedLook()
{
    m_position.SetPos(0);
    m_position.EnableWindow(false);
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
    Item(IDC_STOP).EnableWindow(false);
}

void CPlayerDlg::ShowCounterText()
{
    wchar_t text[48];
    std::swprintf(text, sizeof text / sizeof text[0], L"%d of %d", m_queue.Current() + 1, m_queue.Count());
    Item(IDC_TRACK_COUNTER).SetWindowText(text);
}

void CPlayerDlg::RefreshCounter()
{
    const int current = m_queue.Current();
    const int count = m_queue.Count();
    if (current >= 0)
        ShowCounterText();
    Item(IDC_PREVIOUS).EnableWindow(current > 0);
    Item(IDC_NEXT).EnableWindow(current < count - 1);
}

void CPlayerDlg::OnPlayPause()
{
    if (m_queue.Count() == 0)
        return;
    CMciAudio& audio = Audio();
    Item(IDC_STOP).EnableWindow(true);
    if (!audio.isOpen) {
        if (HasValidEntry()) {
            if (m_queue.PlayCurrent(m_position.GetPos())) {
                Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
                UpdateDisplay();
            } else {
                Item(IDC_STOP).EnableWindow(false);
            }
        } else {
            m_queue.Next(); // from no current entry: the first of the play order
            UpdateDisplay();
        }
    } else if (!audio.isPlaying) {
        m_queue.PlayCurrent(m_position.GetPos());
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
    } else if (audio.isPaused) {
        audio.Resume();
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
        ShowPausedInTray(false);
    } else {
        audio.Pause();
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
        ShowPausedInTray(true);
    }
}

void CPlayerDlg::OnStop()
{
    m_position.SetPos(0);
    Audio().Stop(); // the device stays open on the track
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
    ShowPausedInTray(false);
    Item(IDC_STOP).EnableWindow(false);
}

// Previous and Next refuse at the ends of the play order, the same rule that
// enables the two buttons: in a shuffled queue the list's first and last
// tracks can stand anywhere in it.
void CPlayerDlg::OnPrevious()
{
    if (m_queue.HasValidCurrent() && m_queue.Current() == 0) {
        ui::Ui().MessageBeep(1);
        return;
    }
    if (!Audio().isPlaying) {
        m_queue.Back();
        UpdateDisplay();
        return;
    }
    const bool played = m_queue.Previous();
    UpdateDisplay();
    if (!played)
        StoppedLook();
}

void CPlayerDlg::OnNext()
{
    if (m_queue.Count() == 0 || m_queue.Current() >= m_queue.Count() - 1) {
        ui::Ui().MessageBeep(1);
        return;
    }
    if (!Audio().isPlaying) {
        m_queue.Advance();
        UpdateDisplay();
        return;
    }
    const bool played = m_queue.Next();
    UpdateDisplay();
    if (!played)
        StoppedLook();
}

// Both play on from the new place, so a paused track plays again.
void CPlayerDlg::OnRewind()
{
    if (Audio().Rewind(kStepMs)) {
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
        ShowPausedInTray(false);
    }
}

void CPlayerDlg::OnFastForward()
{
    if (Audio().Forward(kStepMs)) {
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
        ShowPausedInTray(false);
    }
}

void CPlayerDlg::OnRepeat()
{
    m_queue.SetRepeat(!m_queue.Repeat());
    Button(IDC_REPEAT).SetCheck(m_queue.Repeat() ? BST_CHECKED : BST_UNCHECKED);
}

void CPlayerDlg::OnShuffle()
{
    if (m_queue.Count() == 0) {
        ui::Ui().MessageBeep(0);
        return;
    }
    if (IsChecked(IDC_SHUFFLE))
        m_queue.Shuffle();
    else
        m_queue.RestoreListOrder(m_host.ListCount(), [this](int i) { return m_host.ListText(i); });
    if (m_queue.Current() >= 0)
        ShowCounterText();
}

void CPlayerDlg::ShuffleIfOn()
{
    if (IsChecked(IDC_SHUFFLE) && m_queue.Count() >= 1)
        OnShuffle();
}

void CPlayerDlg::OnMute()
{
    CMciAudio& audio = Audio();
    if (IsChecked(IDC_MUTE)) {
        m_volume.EnableWindow(false);
        Button(IDC_MUTE).SetIcon(m_hMutedIcon);
        const int p = m_volume.GetPos();
        audio.SetVolume(0);
        m_volume.SetPos(kMaxVolume);
        m_volumeLevel = kMaxVolume - p;
    } else {
        audio.SetVolume(m_volumeLevel);
        m_volume.SetPos(kMaxVolume - m_volumeLevel);
        m_volume.EnableWindow(true);
        Button(IDC_MUTE).SetIcon(m_hUnmutedIcon);
    }
}

void CPlayerDlg::OnPositionTimer()
{
    if (Audio().StopIfAtEnd()) {
        // At the end of the queue without repeat Next beeps and the player
        // stays on the last track.
        m_queue.Next();
        UpdateDisplay();
    } else {
        UpdatePosition();
    }
}

void CPlayerDlg::OnTitleTimer()
{
    if (!Audio().isPaused) {
        DrawTitle(false);
        // Whatever ended the pause, the paused image does not outlive it.
        if (m_trayShowsPaused)
            ShowPausedInTray(false);
        return;
    }
    // Paused: the title and the tray icon blink.
    m_pauseBlink = !m_pauseBlink;
    DrawTitle(!m_pauseBlink);
    ShowPausedInTray(m_pauseBlink);
}

void CPlayerDlg::UpdatePosition()
{
    CMciAudio& audio = Audio();
    if (audio.isPlaying && !audio.isPaused)
        m_position.SetPos(audio.GetPosition());
    UpdateCurrentTime();
}

void CPlayerDlg::UpdateCurrentTime()
{
    if (!HasValidEntry())
        return;
    Item(IDC_CURRENT_TIME).SetWindowText(L"Current: " + FormatTime(m_position.GetPos()));
}

void CPlayerDlg::UpdateDisplay()
{
    CMciAudio& audio = Audio();
    const PlayQueueEntry* entry = HasValidEntry() ? m_queue.CurrentEntry() : nullptr;

    DrawTitle(true);

    // Without a current entry nothing is selected: index -1 would select all.
    m_host.SelectListItem(entry ? entry->listIndex : -1);
    m_host.SetTrayTip(entry ? TrackName(entry->path).c_str() : L"");
    m_host.RefreshSelectionStatus();

    Button(IDC_PLAY_PAUSE).SetIcon(audio.isPlaying && !audio.isPaused ? m_hPauseIcon : m_hPlayIcon);

    if (entry) {
        // Opened here only to read the length.
        const bool opened = !audio.isOpen && audio.Open(m_queue.PathToOpen(m_queue.Current()).c_str());
        const int length = audio.GetLength();
        m_position.SetPos(0);
        m_position.SetRange(1, length);
        m_position.SetTicFreq(length / 50);
        m_position.SetPageSize(length / 25);
        m_position.EnableWindow(true);

        Item(IDC_CURRENT_TIME).SetWindowText(L"Current: 00:00");
        ShowCounterText();
        Item(IDC_TOTAL_TIME).SetWindowText(L"Total: " + FormatTime(length >= 1 ? length : 0));
        if (opened)
            audio.Close();
    } else {
        // No open attempt (it would only beep): the stopped look, no counter.
        StoppedLook();
        Item(IDC_TRACK_COUNTER).SetWindowText(L"");
    }

    Item(IDC_PREVIOUS).EnableWindow(m_queue.Current() > 0);
    Item(IDC_NEXT).EnableWindow(m_queue.Current() < m_queue.Count() - 1);
    Item(IDC_STOP).EnableWindow(audio.isPlaying);
    ShowPausedInTray(false);
}

void CPlayerDlg::QueueLoadedTracks(const std::vector<SharedText>& tracks, size_t count)
{
    m_queue.Reserve(static_cast<size_t>(m_queue.Count()) + std::min(count, tracks.size()));
    for (size_t i = 0; i < count && i < tracks.size(); ++i)
        m_queue.Add(static_cast<int>(i), tracks[i]);
    // The counter depends only on the final queue: refreshed once.
    if (count > 0)
        RefreshCounter();
}

EditOutcome CPlayerDlg::EditQueue(const QueueEdit& edit)
{
    const int currentBefore = m_queue.Current();
    const int countBefore = m_queue.Count();
    const EditOutcome outcome = edit(m_queue, IsChecked(IDC_SHUFFLE) ? QueueOrder::Shuffled : QueueOrder::ListOrder);
    if (!outcome.done || outcome.start == CPlayQueue::kEveryTrackWent)
        return outcome; // with every track gone there is nothing left to show
    if (outcome.start == CPlayQueue::kNothingToStart) {
        // The counter follows its track and the tracks added; a removal that
        // leaves the current track where it was leaves the counter alone.
        if (m_queue.Current() != currentBefore || m_queue.Count() > countBefore)
            RefreshCounter();
        return outcome;
    }
    // A track that cannot be opened beeps and leaves what UpdateDisplay shows.
    m_queue.PlayCurrent(0);
    UpdateDisplay();
    return outcome;
}

void CPlayerDlg::RetextTracks()
{
    for (int pos = 0; pos < m_queue.Count(); ++pos) {
        const int listIndex = m_queue.At(pos).listIndex;
        m_queue.SetEntry(pos, listIndex, m_host.ListText(listIndex));
    }
}

void CPlayerDlg::PlayListIndex(int listIndex)
{
    m_queue.PlayListIndex(listIndex);
    UpdateDisplay();
}

void CPlayerDlg::RestorePlayOrder(const std::vector<int>& order, int currentPos)
{
    m_queue.Refill(order, currentPos, [this](int i) { return m_host.ListText(i); });
    // Without a current track the display would select every item and beep
    // on a failed open: only the counter is brought up to date then.
    if (m_queue.HasValidCurrent())
        UpdateDisplay();
    else
        RefreshCounter();
}

void CPlayerDlg::ResetPlayer()
{
    m_position.SetPos(0);
    m_position.SetRange(0, 0);
    m_position.EnableWindow(false);
    m_queue.Clear(); // stops and closes the device
    DrawTitle(true);
    Item(IDC_STOP).EnableWindow(false);
    Item(IDC_CURRENT_TIME).SetWindowText(L"");
    Item(IDC_TOTAL_TIME).SetWindowText(L"");
    Item(IDC_TRACK_COUNTER).SetWindowText(L"");
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
    ShowPausedInTray(false);
}
