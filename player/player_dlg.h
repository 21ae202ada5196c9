#pragma once
// The player window: a captionless popup docked under the editor window that
// plays the list through the one play queue and the one audio device, with
// its transport buttons, trackbars, status texts, tooltips, title marquee,
// sliding, docking and the list toggle.
#include "framework/dialog.h"
#include "playlist/play_queue.h"

#include <string>
#include <vector>

class CEditorDlg;
class CMciAudio;
struct SettingsRecord;

// The title painter's state: one for the program.
struct MarqueeState {
    int listIndex = -1;        // the track whose title scrolls
    const char* text = nullptr; // the text being painted, or none
    int offset = 0;            // leading characters skipped
    bool forward = true;       // offset grows each tick
    bool started = false;      // the first paint has happened
};

class CPlayerDlg : public fw::CDialog {
public:
    // Creates the window, owned by the editor window.
    explicit CPlayerDlg(CEditorDlg* editor);
    ~CPlayerDlg() override;

    // Transport and status.
    int m_volumeLevel = 1000;
    int slideState = 1; // 0 shown, 1 hidden, 2 sliding out, 3 sliding in
    int slideTop = 0;
    bool listHidden = false;
    bool detached = false;
    RECT titleRectListHidden{};
    RECT titleRectListShown{};
    HICON m_hListShownIcon = nullptr;
    HICON m_hListHiddenIcon = nullptr;
    HICON m_hCloseIcon = nullptr;
    CPlayQueue m_queue;
    CEditorDlg* m_pEditor;
    fw::CListBox* m_pTrackList = nullptr;
    HICON m_hPauseIcon = nullptr;
    HICON m_hPlayIcon = nullptr;
    HICON m_hMutedIcon = nullptr;
    HICON m_hUnmutedIcon = nullptr;
    HICON m_hPausedTrayIcon = nullptr;
    int m_buttonIds[8];
    int m_buttonIconIds[8];
    HICON m_buttonIcons[8] = {};
    fw::CTrackbar m_volume;
    fw::CTrackbar m_position;

    // Called by the editor window to keep the queue in step with the list.
    void UpdateDisplay();
    void AddTrack(int listIndex, const char* path);
    void RemoveTrack(int listIndex);
    // Many removals at once (Remove, Clear Dupes on big lists): the same end
    // state as RemoveTrack for each index from the highest to the lowest.
    void RemoveTracks(const std::vector<int>& ascendingListIndexes);
    void MoveTrackUp(int listIndex);
    void MoveTrackDown(int listIndex);
    void ResetPlayer();

    // Buttons (the tray menu calls the transport ones too).
    void OnPlayPause();
    void OnStop();
    void OnPrevious();
    void OnNext();
    void OnRewind();
    void OnFastForward();
    void OnRepeat();
    void OnShuffle();
    void OnMute();

    // Frame: docking, sliding, title, list toggle, on top.
    void ShowSlide(bool show);
    void Reposition();
    void UpdateDocking();
    void DrawTitle(bool blank);
    void SlideStep();
    void OnListToggle();
    void LayoutTopRow();
    void OnCloseButton();
    void OnToTray();
    void OnOnTop();

    // Timer bodies, callable by tests without waiting for a tick.
    void OnPositionTimer(); // timer 0
    void OnTitleTimer();    // timer 1

    void UpdatePosition();
    void UpdateCurrentTime();
    // "%d of %d" and the Previous/Next enabling.
    void RefreshCounter();

    CMciAudio& Audio() const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void OnCancel() override; // Esc does not close the player
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolTipNeedText(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnReapplyOnTop(WPARAM wParam, LPARAM lParam);

    std::string m_tipText; // keeps a built tooltip text alive until the tooltip copied it
    HWND m_hToolTip = nullptr;

    static constexpr UINT_PTR kSlideTimer = 2;
    static constexpr UINT kReapplyOnTop = WM_APP + 1;

    fw::CButton Button(int id) const { return fw::CButton(GetDlgItem(id)); }
    void CreateToolTips();
    void PlaceBehindEditor();
    void ApplySettings(const SettingsRecord& settings);
    // Position bar at 0 and disabled, the play face, Stop disabled.
    void StoppedLook();
    // current is a valid position whose entry carries a list index.
    bool HasValidEntry() const;
    void SetTrayTip(const char* text);
    void SetTrayIcon(HICON icon);
    void EditorIconToTray();
    const fw::CListBox* TrackList() const;
    // Selects the current entry's list item and gives it the caret.
    void SelectCurrentItem();
    static const char* FileNameOf(const std::string& path);

    static const fw::MessageMapEntry<CPlayerDlg> messageMap[];
};

// Process-wide: the phase of the blinking while paused, the docking tolerance
// and the title painter.
extern bool pauseBlink;
extern int dockDistance;
extern MarqueeState marquee;

// "%.2d:%.2d" below an hour, "%d:%.2d:%.2d" from one hour on.
std::string FormatTime(int milliseconds);
