#pragma once
// Undo and Redo of the track list's edits. The history does each edit (Add
// Tracks and drop, the removals, Move Up and Down) on the list and the play
// queue, keeps it, and knows which step the saved file matches. It holds at
// most a number of steps and a byte budget; the oldest steps go first, but
// the newest step is always kept, however large. Any change to the list
// that does not go through it (New, Open) must Reset it.

#include <cstddef>
#include <deque>
#include <vector>

#include "playlist/list_edit.h"

class CEditHistory {
public:
    static constexpr size_t kByteBudget = 64u * 1024 * 1024;
    static constexpr size_t kMaxSteps = 500;

    explicit CEditHistory(size_t byteBudget = kByteBudget, size_t maxSteps = kMaxSteps);

    // The edits, as CListEdit does them; a done one becomes the newest step
    // and what could be redone is gone.
    EditOutcome AddTracks(ITrackList& list, CPlayQueue& queue, const std::vector<TrackText>& texts);
    EditOutcome RemoveTracks(ITrackList& list, CPlayQueue& queue, const std::vector<int>& indexes);
    EditOutcome MoveSelection(ITrackList& list, CPlayQueue& queue, bool up);

    // Not done when there is nothing to undo or redo, or the list is not as
    // the step expects it (then the step stays where it is).
    EditOutcome Undo(ITrackList& list, CPlayQueue& queue, QueueOrder order);
    EditOutcome Redo(ITrackList& list, CPlayQueue& queue, QueueOrder order);
    bool CanUndo() const { return m_applied > 0; }
    bool CanRedo() const { return m_applied < m_steps.size(); }

    // A fresh history whose start is the saved state: New and Open.
    void Reset();
    // The list as it stands now is in its file.
    void MarkSaved();
    // The list is as it is in its file: false once undo, redo or a new edit
    // left that state, and for good when the step that led there was dropped
    // or could no longer be redone.
    bool AtSavedState() const { return m_savedReachable && m_savedAt == m_applied; }

    size_t Steps() const { return m_steps.size(); }
    size_t Bytes() const { return m_bytes; }

private:
    EditOutcome Push(CListEdit&& edit, const EditOutcome& outcome);

    size_t m_byteBudget;
    size_t m_maxSteps;
    std::deque<CListEdit> m_steps;
    size_t m_applied = 0; // steps done; those after them can be redone
    size_t m_bytes = 0;
    size_t m_savedAt = 0;
    bool m_savedReachable = true;
};
