#pragma once
// The player window: a captionless popup docked under its host window (the
// editor) that plays the host's list through the one play queue and the one
// audio device, with its transport buttons, trackbars, status texts,
// tooltips, title marquee, sliding, docking and the list toggle.
#include "framework/dialog.h"
#include "persist/settings_record.h"
#include "player/marquee.h"
#include "player/player_host.h"
#include "playlist/list_edit.h"
#include "playlist/play_queue.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CMciAudio;

// Where the player stands: out under the host, tucked away behind it, or on
// its way out or in. Files that need a number store 0..3 in this order.
enum class SlideState { Shown = 0, Hidden = 1, SlidingOut = 2, SlidingIn = 3 };

// The player's switches and place as a value: what a run leaves for the next.
struct PlayerSettings {
    bool shuffle = false;
    bool repeat = true;
    bool mute = false;
    bool onTop = false;
    int volume = kMaxVolume; // 0..kMaxVolume: the level, also while muted
    bool detached = false;   // dragged away from its docking place
    bool shown = false;      // out under the host (caught sliding counts as hidden)
    bool listHidden = false; // the host's list hidden through the list toggle
    // The window's placement; none when it could not be read, or when a
    // stored one is unusable.
    std::optional<WINDOWPLACEMENT> placement;
};

class CPlayerDlg : public fw::CDialogImpl<CPlayerDlg> {
public:
    // stored: the settings of an earlier run, applied while the window is
    // initialised (the list toggle excepted: the host restores its list
    // itself once its own window is ready). Create with the host's window.
    CPlayerDlg(IPlayerHost& host, std::optional<PlayerSettings> stored);
    ~CPlayerDlg() override;

    PlayerSettings Settings() const;
    // Switches, volume, place and shown state, and the list toggle when the
    // list's state differs. The place is taken but never the detached flag:
    // the host's next move brings the player back under it.
    void Apply(const PlayerSettings& settings);

    const CPlayQueue& Queue() const { return m_queue; }
    SlideState GetSlideState() const { return m_slideState; }
    bool IsDetached() const { return m_detached; }
    bool IsListHidden() const { return m_listHidden; }
    CMciAudio& Audio() const;

    // The host keeps the queue in step with its list through these: list
    // index k and the queue's entry carrying k name the same track.
    // A new list loaded into the list box: its first count tracks, list
    // indexes 0..count-1, join the (reset) queue.
    void QueueLoadedTracks(const std::vector<SharedText>& tracks, size_t count);
    // An edit of the host's list that changes the queue with it (the host's
    // edit history does both), told whether the queue follows the list or is
    // shuffled. The player starts the track the edit says and shows where
    // it left the queue.
    using QueueEdit = std::function<EditOutcome(CPlayQueue& queue, QueueOrder order)>;
    EditOutcome EditQueue(const QueueEdit& edit);
    // The playlist file's folder, which entries that depend on one play from.
    void SetTrackFolder(const std::wstring& folder) { m_queue.SetTrackFolder(folder); }
    // The host rewrote its items' texts in place: each entry takes its item's.
    void RetextTracks();
    // A double-click on the list.
    void PlayListIndex(int listIndex);
    // The play order of an earlier run, over the reloaded list.
    void RestorePlayOrder(const std::vector<int>& order, int currentPos);
    // After a new list: shuffled at once when shuffle is on.
    void ShuffleIfOn();
    void ResetPlayer();
    void UpdateDisplay();
    // "n of m" and the Previous/Next enabling.
    void RefreshCounter();

    // The host window moved or was resized: a docked player goes along.
    void HostMoved();
    // The host's player button: slides out (show) or in.
    void ShowSlide(bool show);
    // The list toggle.
    void ToggleList();

    // Transport, also from the tray.
    void OnPlayPause();
    void OnPrevious();
    void OnNext();

    // Timer bodies, callable by tests without waiting for a tick.
    void OnPositionTimer(); // timer 0
    void OnTitleTimer();    // timer 1
    void SlideStep();       // the slide timer

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void OnCancel() override; // Esc does not close the player
    void OnOK() override;

private:
    friend class fw::CDialogImpl<CPlayerDlg>;
    static const fw::MessageMap<CPlayerDlg> messageMap;

    static constexpr UINT_PTR kPositionTimer = 0;
    static constexpr UINT_PTR kTitleTimer = 1;
    static constexpr UINT_PTR kSlideTimer = 2;
    static constexpr UINT kPositionPeriodMs = 750;
    static constexpr UINT kTitlePeriodMs = 700;
    static constexpr UINT kSlidePeriodMs = 50;
    static constexpr int kSlideStepPx = 10;
    // Rewind and Fast Forward.
    static constexpr int kStepMs = 5000;
    static constexpr UINT kBehindFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    static constexpr UINT kReapplyOnTop = WM_APP + 1;
    static constexpr int kButtonCount = 8;
    static const int kButtonIds[kButtonCount];
    static const int kButtonIconIds[kButtonCount];
    // How far the user may drag the player from its docking place before it
    // counts as detached, in pixels either way.
    static constexpr int kDockDistance = 60;

    // Buttons and switches.
    void OnStop();
    void OnRewind();
    void OnFastForward();
    void OnRepeat();
    void OnShuffle();
    void OnMute();
    void OnCloseButton();
    void OnToTray();
    void OnOnTop();
    fw::Reply OnTimer(WPARAM wParam, LPARAM lParam);
    fw::Reply OnHScroll(WPARAM wParam, LPARAM lParam);
    fw::Reply OnVScroll(WPARAM wParam, LPARAM lParam);
    fw::Reply OnToolTipNeedText(NMHDR& header);
    fw::Reply OnNcHitTest(WPARAM wParam, LPARAM lParam);
    fw::Reply OnSetCursor(WPARAM wParam, LPARAM lParam);
    fw::Reply OnMove(int x, int y);
    fw::Reply OnReapplyOnTop(WPARAM wParam, LPARAM lParam);

    void CreateToolTips();
    void UpdateToolRects();
    // Everything of the stored settings but the list toggle.
    void ApplyStored(const PlayerSettings& settings);

    // Frame: docking, sliding, the title, the top row.
    void PlaceBehindHost();
    void Reposition();
    void UpdateDocking();
    void DrawTitle(bool blank);
    void LayoutTopRow();

    // Status.
    void UpdatePosition();
    void UpdateCurrentTime();
    void ShowCounterText();
    // Position bar at 0 and disabled, the play face, Stop disabled.
    void StoppedLook();
    // current is a valid position whose entry carries a list index.
    bool HasValidEntry() const;
    // The tray shows the paused image, or the host's own icon.
    void ShowPausedInTray(bool paused);

    // The name a track shows in the tray tip and the tooltips.
    static std::wstring TrackName(const SharedText& path);
    fw::CButton Button(int id) const { return fw::CButton(GetDlgItem(id)); }
    bool IsChecked(int id) const { return Button(id).GetCheck() == BST_CHECKED; }
    fw::CWindow Host() const { return fw::CWindow(m_host.HostWindow()); }

    IPlayerHost& m_host;
    std::optional<PlayerSettings> m_stored;
    CPlayQueue m_queue;

    int m_volumeLevel = kMaxVolume;
    SlideState m_slideState = SlideState::Hidden;
    int m_slideTop = 0;
    bool m_listHidden = false;
    bool m_detached = false;
    // The blinking while paused: the title and tray icon are shown.
    bool m_pauseBlink = true;
    bool m_trayShowsPaused = false;
    MarqueeState m_marquee;
    RECT m_titleRectListHidden{};
    RECT m_titleRectListShown{};

    fw::CTrackbar m_volume;
    fw::CTrackbar m_position;
    HICON m_buttonIcons[kButtonCount] = {};
    HICON m_hListShownIcon = nullptr;
    HICON m_hListHiddenIcon = nullptr;
    HICON m_hCloseIcon = nullptr;
    HICON m_hPauseIcon = nullptr;
    HICON m_hPlayIcon = nullptr;
    HICON m_hMutedIcon = nullptr;
    HICON m_hUnmutedIcon = nullptr;
    HICON m_hPausedTrayIcon = nullptr;

    std::wstring m_tipText; // keeps a built tooltip text alive until the tooltip copied it
    HWND m_hToolTip = nullptr;
};

// "%.2d:%.2d" below an hour, "%d:%.2d:%.2d" from one hour on.
std::wstring FormatTime(int milliseconds);
