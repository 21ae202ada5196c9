#include "playlist/edit_history.h"

CEditHistory::CEditHistory(size_t byteBudget, size_t maxSteps)
    : m_byteBudget(byteBudget), m_maxSteps(maxSteps > 0 ? maxSteps : 1)
{
}

EditOutcome CEditHistory::AddTracks(ITrackList& list, CPlayQueue& queue, const std::vector<TrackText>& texts)
{
    EditOutcome outcome;
    CListEdit edit = CListEdit::Add(list, queue, texts, outcome);
    return Push(std::move(edit), outcome);
}

EditOutcome CEditHistory::RemoveTracks(ITrackList& list, CPlayQueue& queue, const std::vector<int>& indexes)
{
    EditOutcome outcome;
    CListEdit edit = CListEdit::Remove(list, queue, indexes, outcome);
    return Push(std::move(edit), outcome);
}

EditOutcome CEditHistory::MoveSelection(ITrackList& list, CPlayQueue& queue, bool up)
{
    EditOutcome outcome;
    CListEdit edit = CListEdit::Move(list, queue, up, outcome);
    return Push(std::move(edit), outcome);
}

EditOutcome CEditHistory::Push(CListEdit&& edit, const EditOutcome& outcome)
{
    if (!outcome.done || edit.Empty())
        return outcome;
    // A new edit ends the steps that could be redone, and the saved state
    // with them when it lay among them.
    if (m_savedAt > m_applied)
        m_savedReachable = false;
    while (m_steps.size() > m_applied) {
        m_bytes -= m_steps.back().Bytes();
        m_steps.pop_back();
    }
    m_bytes += edit.Bytes();
    m_steps.push_back(std::move(edit));
    ++m_applied;
    while (m_steps.size() > 1 && (m_steps.size() > m_maxSteps || m_bytes > m_byteBudget)) {
        m_bytes -= m_steps.front().Bytes();
        m_steps.pop_front();
        --m_applied;
        if (m_savedAt == 0)
            m_savedReachable = false;
        else
            --m_savedAt;
    }
    return outcome;
}

EditOutcome CEditHistory::Undo(ITrackList& list, CPlayQueue& queue, QueueOrder order)
{
    if (!CanUndo())
        return EditOutcome{};
    const EditOutcome outcome = m_steps[m_applied - 1].Undo(list, queue, order);
    if (outcome.done)
        --m_applied;
    return outcome;
}

EditOutcome CEditHistory::Redo(ITrackList& list, CPlayQueue& queue, QueueOrder order)
{
    if (!CanRedo())
        return EditOutcome{};
    const EditOutcome outcome = m_steps[m_applied].Redo(list, queue, order);
    if (outcome.done)
        ++m_applied;
    return outcome;
}

void CEditHistory::Reset()
{
    m_steps.clear();
    m_applied = 0;
    m_bytes = 0;
    m_savedAt = 0;
    m_savedReachable = true;
}

void CEditHistory::MarkSaved()
{
    m_savedAt = m_applied;
    m_savedReachable = true;
}
