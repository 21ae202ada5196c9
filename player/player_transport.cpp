// The player's transport buttons, switches, timers, status texts and the
// operations through which the editor keeps the play queue in step with its
// track list.
#include "player/player_dlg.h"

#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "framework/ui_seam.h"
#include "persist/settings_record.h"
#include "res/resource.h"

#include <cstdio>

namespace {

constexpr int kStepMs = 5000;

} // namespace

std::string FormatTime(int milliseconds)
{
    // A failed reading (-1) shows as zero rather than as "-1:-1".
    const int t = milliseconds < 0 ? 0 : milliseconds;
    const int s = t / 1000;
    const int m = s / 60;
    const int h = m / 60;
    char text[32];
    if (h == 0)
        std::snprintf(text, sizeof text, "%.2d:%.2d", m % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%d:%.2d:%.2d", h, m % 60, s % 60);
    return text;
}

bool CPlayerDlg::HasValidEntry() const
{
    return m_queue.HasValidCurrent() && m_queue.entries[static_cast<size_t>(m_queue.current)].listIndex >= 0;
}

// The list is known from the end of OnInitDialog on; before that, the editor's.
const fw::CListBox* CPlayerDlg::TrackList() const
{
    return m_pTrackList ? m_pTrackList : (m_pEditor ? &m_pEditor->m_list : nullptr);
}

void CPlayerDlg::StoppedLook()
{
    m_position.SetPos(0);
    m_position.EnableWindow(false);
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
    Item(IDC_STOP).EnableWindow(false);
}

void CPlayerDlg::RefreshCounter()
{
    const int current = m_queue.current;
    const int count = m_queue.Count();
    if (current >= 0) {
        char text[48];
        std::snprintf(text, sizeof text, "%d of %d", current + 1, count);
        Item(IDC_TRACK_COUNTER).SetWindowText(text);
    }
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
        EditorIconToTray();
    } else {
        audio.Pause();
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
        SetTrayIcon(m_hPausedTrayIcon);
    }
}

void CPlayerDlg::OnStop()
{
    m_position.SetPos(0);
    Audio().Stop(); // the device stays open on the track
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
    EditorIconToTray();
    Item(IDC_STOP).EnableWindow(false);
}

// Previous and Next refuse at the ends of the play order, the same rule that
// enables the two buttons: in a shuffled queue the list's first and last
// tracks can stand anywhere in it.
void CPlayerDlg::OnPrevious()
{
    if (m_queue.HasValidCurrent() && m_queue.current == 0) {
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
    if (m_queue.Count() == 0 || m_queue.current >= m_queue.Count() - 1) {
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

void CPlayerDlg::OnRewind()
{
    if (Audio().Rewind(kStepMs))
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
}

void CPlayerDlg::OnFastForward()
{
    if (Audio().Forward(kStepMs))
        Button(IDC_PLAY_PAUSE).SetIcon(m_hPauseIcon);
}

void CPlayerDlg::OnRepeat()
{
    m_queue.repeat = !m_queue.repeat;
    Button(IDC_REPEAT).SetCheck(m_queue.repeat ? BST_CHECKED : BST_UNCHECKED);
}

void CPlayerDlg::OnShuffle()
{
    if (m_queue.Count() == 0) {
        ui::Ui().MessageBeep(0);
        return;
    }
    if (Button(IDC_SHUFFLE).GetCheck() == BST_CHECKED) {
        m_queue.Shuffle();
    } else {
        // Back to list order, with the track that was current current again.
        const fw::CListBox* list = TrackList();
        const int k = m_queue.HasValidCurrent() ? m_queue.entries[static_cast<size_t>(m_queue.current)].listIndex : -1;
        const int n = list ? list->GetCount() : 0;
        std::string text;
        for (int i = 0; i < n; ++i) {
            if (i == k)
                m_queue.current = i;
            list->GetText(i, text);
            m_queue.SetEntry(i, i, text.c_str());
        }
    }
    if (m_queue.current >= 0) {
        char counter[48];
        std::snprintf(counter, sizeof counter, "%d of %d", m_queue.current + 1, m_queue.Count());
        Item(IDC_TRACK_COUNTER).SetWindowText(counter);
    }
}

void CPlayerDlg::OnMute()
{
    CMciAudio& audio = Audio();
    if (Button(IDC_MUTE).GetCheck() == BST_CHECKED) {
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
        return;
    }
    // Paused: the title and the tray icon blink.
    if (!pauseBlink) {
        pauseBlink = true;
        DrawTitle(false);
        SetTrayIcon(m_hPausedTrayIcon);
    } else {
        pauseBlink = false;
        DrawTitle(true);
        EditorIconToTray();
    }
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
    Item(IDC_CURRENT_TIME).SetWindowText("Current: " + FormatTime(m_position.GetPos()));
}

void CPlayerDlg::UpdateDisplay()
{
    CMciAudio& audio = Audio();
    const bool valid = HasValidEntry();
    const PlayQueueEntry* entry = valid ? &m_queue.entries[static_cast<size_t>(m_queue.current)] : nullptr;

    DrawTitle(true);

    const fw::CListBox* list = TrackList();
    if (list) {
        for (int index : list->GetSelItems())
            list->SetSel(index, false);
    }
    SetTrayTip(entry ? FileNameOf(entry->path) : "");
    // Without a current entry nothing is selected: index -1 would select all.
    if (list && entry) {
        list->SetSel(entry->listIndex, true);
        list->SetCaretIndex(entry->listIndex);
    }
    if (m_pEditor)
        m_pEditor->UpdateSelStatus();

    Button(IDC_PLAY_PAUSE).SetIcon(audio.isPlaying && !audio.isPaused ? m_hPauseIcon : m_hPlayIcon);

    if (entry) {
        // Opened here only to read the length.
        const bool opened = !audio.isOpen && audio.Open(entry->path.c_str());
        const int length = audio.GetLength();
        m_position.SetPos(0);
        m_position.SetRange(1, length);
        m_position.SetTicFreq(length / 50);
        m_position.SetPageSize(length / 25);
        m_position.EnableWindow(true);

        Item(IDC_CURRENT_TIME).SetWindowText("Current: 00:00");
        char counter[48];
        std::snprintf(counter, sizeof counter, "%d of %d", m_queue.current + 1, m_queue.Count());
        Item(IDC_TRACK_COUNTER).SetWindowText(counter);
        Item(IDC_TOTAL_TIME).SetWindowText("Total: " + FormatTime(length >= 1 ? length : 0));
        if (opened)
            audio.Close();
    } else {
        // No open attempt (it would only beep): the stopped look, no counter.
        StoppedLook();
        Item(IDC_TRACK_COUNTER).SetWindowText("");
    }

    Item(IDC_PREVIOUS).EnableWindow(m_queue.current > 0);
    Item(IDC_NEXT).EnableWindow(m_queue.current < m_queue.Count() - 1);
    Item(IDC_STOP).EnableWindow(audio.isPlaying);
    EditorIconToTray();
}

void CPlayerDlg::AddTrack(int listIndex, const char* path)
{
    m_queue.Add(listIndex, path);
    RefreshCounter();
}

void CPlayerDlg::RemoveTrack(int listIndex)
{
    // The current position from before the removal: the queue keeps current
    // on its track, so afterwards it no longer equals the removed position.
    const bool wasPlaying = Audio().isPlaying;
    const int removedAt = m_queue.PositionOf(listIndex);
    const int currentBefore = m_queue.current;
    m_queue.Remove(listIndex);
    if (!wasPlaying || removedAt < 0 || removedAt != currentBefore) {
        // An entry before the current one went: the counter follows its track.
        if (m_queue.current != currentBefore)
            RefreshCounter();
        return;
    }

    // The playing track went.
    if (m_queue.HasValidCurrent()) {
        // The next one has moved into its place.
        m_queue.PlayCurrent(0);
        SelectCurrentItem();
        UpdateDisplay();
    } else if (m_queue.Count() > 0) {
        // It was the last one: the one before it plays.
        OnPrevious();
        UpdateDisplay();
    }
}

void CPlayerDlg::SelectCurrentItem()
{
    const fw::CListBox* list = TrackList();
    if (!list || !m_queue.HasValidCurrent())
        return;
    const int index = m_queue.entries[static_cast<size_t>(m_queue.current)].listIndex;
    list->SetSel(index, true);
    list->SetCaretIndex(index);
}

void CPlayerDlg::RemoveTracks(const std::vector<int>& ascendingListIndexes)
{
    const std::vector<int>& ks = ascendingListIndexes;
    if (ks.empty())
        return;
    const int n = m_queue.Count();

    // The one-pass reasoning needs ascending, unique, in-range indexes over a
    // queue that carries each list index once; anything else goes one by one.
    bool wellFormed = true;
    for (size_t i = 0; i < ks.size() && wellFormed; ++i)
        wellFormed = ks[i] >= 0 && ks[i] < n && (i == 0 || ks[i] > ks[i - 1]);
    std::vector<char> carried(static_cast<size_t>(n), 0);
    for (const PlayQueueEntry& entry : m_queue.entries) {
        if (!wellFormed)
            break;
        wellFormed = entry.listIndex >= 0 && entry.listIndex < n && !carried[static_cast<size_t>(entry.listIndex)];
        if (wellFormed)
            carried[static_cast<size_t>(entry.listIndex)] = 1;
    }
    if (!wellFormed) {
        for (auto it = ks.rbegin(); it != ks.rend(); ++it)
            RemoveTrack(*it);
        return;
    }

    std::vector<char> removed(static_cast<size_t>(n), 0);
    for (int k : ks)
        removed[static_cast<size_t>(k)] = 1;
    auto listIndexAt = [this](int pos) { return m_queue.entries[static_cast<size_t>(pos)].listIndex; };

    if (!Audio().isPlaying || !m_queue.HasValidCurrent() || !removed[static_cast<size_t>(listIndexAt(m_queue.current))]) {
        // The playing track stays (or nothing plays): only the queue changes.
        const int currentBefore = m_queue.current;
        m_queue.RemoveListIndexes(ks);
        if (m_queue.current != currentBefore)
            RefreshCounter();
        return;
    }

    // The playing track goes. One by one, each removal of the playing track
    // would start the track that moved into its place, or, with none behind
    // it, the last one left (Previous); that track may go at a later step in
    // turn. An entry is still there at the step of list index L when it is
    // kept or its own index is below L (indexes go from the highest down).
    // Walk that chain without playing the tracks that go anyway.
    int pos = m_queue.current;
    int step = listIndexAt(pos);
    int target = -1;
    auto presentAt = [&](int p, int l) {
        const int own = listIndexAt(p);
        return !removed[static_cast<size_t>(own)] || own < l;
    };
    int scan = pos + 1;
    while (scan < n) {
        if (!presentAt(scan, step)) {
            ++scan;
            continue;
        }
        if (!removed[static_cast<size_t>(listIndexAt(scan))]) {
            target = scan;
            break;
        }
        pos = scan;
        step = listIndexAt(scan);
        ++scan;
    }
    if (target < 0) {
        // Nothing behind: the last one still there plays, which is then the
        // last of the queue, so the walk goes on backwards only.
        scan = pos - 1;
        while (scan >= 0) {
            if (!presentAt(scan, step)) {
                --scan;
                continue;
            }
            if (!removed[static_cast<size_t>(listIndexAt(scan))]) {
                target = scan;
                break;
            }
            step = listIndexAt(scan);
            --scan;
        }
    }

    int removedBefore = 0;
    for (int p = 0; p < target; ++p)
        removedBefore += removed[static_cast<size_t>(listIndexAt(p))] ? 1 : 0;
    m_queue.RemoveListIndexes(ks);
    if (target < 0)
        return; // every track went: as one by one, the queue is empty
    m_queue.current = target - removedBefore;

    // A track that cannot be opened beeps and leaves what UpdateDisplay shows,
    // as the last RemoveTrack of the chain would.
    m_queue.PlayCurrent(0);
    UpdateDisplay();
}

void CPlayerDlg::MoveTrackUp(int listIndex)
{
    if (m_queue.MoveUp(listIndex))
        RefreshCounter();
}

void CPlayerDlg::MoveTrackDown(int listIndex)
{
    if (m_queue.MoveDown(listIndex))
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
    Item(IDC_CURRENT_TIME).SetWindowText("");
    Item(IDC_TOTAL_TIME).SetWindowText("");
    Item(IDC_TRACK_COUNTER).SetWindowText("");
    Button(IDC_PLAY_PAUSE).SetIcon(m_hPlayIcon);
}
