// The editor's Edit menu and its keys: Undo and Redo through the edit
// history, Remove Missing Files, Select All and Find, the greying of the
// menu, and the accelerators of the editor, the player and the Find box.
#include "editor/editor_dlg.h"

#include "editor/find_dlg.h"
#include "editor/missing_files.h"
#include "framework/ui_seam.h"
#include "player/player_dlg.h"
#include "playlist/track_find.h"
#include "res/resource.h"

namespace {

// A table from the resources is loaded once and is the system's to free.
HACCEL Keys(int id) { return ::LoadAcceleratorsW(fw::AppInstance(), MAKEINTRESOURCEW(id)); }

} // namespace

bool CEditorDlg::TranslateKeys(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd || !m_hWnd)
        return false;
    static const HACCEL editorKeys = Keys(IDR_EDITOR_KEYS);
    static const HACCEL listKeys = Keys(IDR_LIST_KEYS);
    static const HACCEL findKeys = Keys(IDR_FIND_KEYS);
    const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    bool translated = false;
    if (root == m_hWnd || (m_player && root == m_player->GetHwnd())) {
        translated = (msg.hwnd == m_list.GetHwnd() && ::TranslateAcceleratorW(m_hWnd, listKeys, &msg))
                     || ::TranslateAcceleratorW(m_hWnd, editorKeys, &msg);
    } else if (m_find && root == m_find->GetHwnd()) {
        translated = ::TranslateAcceleratorW(m_hWnd, findKeys, &msg) != 0;
    }
    // Wine tells Alt pressed alone from Alt with a key by what its default
    // procedure saw: without it, letting go of Alt after Alt+Up would give
    // the keyboard to the menu bar.
    if (translated && msg.message == WM_SYSKEYDOWN)
        ::DefWindowProcW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    return translated;
}

// Greyed is what would do nothing now. The keys go by the same states: the
// system sends no command for a greyed item.
fw::Reply CEditorDlg::OnInitMenuPopup(WPARAM, LPARAM lParam)
{
    if (HIWORD(lParam))
        return fw::kDeclined; // the window menu
    const HMENU menu = ::GetMenu(m_hWnd);
    const int count = m_tracks.Count();
    const bool selected = m_list.GetSelCount() > 0;
    const struct {
        UINT id;
        bool enabled;
    } items[] = {
        {ID_EDIT_UNDO, m_history.CanUndo()},
        {ID_EDIT_REDO, m_history.CanRedo()},
        {ID_EDIT_REMOVE, selected},
        {ID_EDIT_CLEAR_DUPES, count >= 2},
        {ID_EDIT_MOVE_UP, selected && !m_list.GetSel(0)},
        {ID_EDIT_MOVE_DOWN, selected && !m_list.GetSel(count - 1)},
        {ID_EDIT_REMOVE_MISSING, count > 0},
        {ID_EDIT_SELECT_ALL, count > 0},
        {ID_EDIT_FIND_NEXT, count > 0},
    };
    for (const auto& item : items)
        ::EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    return 0;
}

void CEditorDlg::OnUndo()
{
    RunEdit([&](CPlayQueue& queue, QueueOrder order) { return m_history.Undo(m_tracks, queue, order); });
}

void CEditorDlg::OnRedo()
{
    RunEdit([&](CPlayQueue& queue, QueueOrder order) { return m_history.Redo(m_tracks, queue, order); });
}

void CEditorDlg::OnSelectAll()
{
    m_list.SendMessage(LB_SETSEL, TRUE, -1);
    UpdateSelStatus();
}

// The check reads a copy of the entries and removes nothing itself; the
// question and the removal come once it is done, as one step for Undo.
void CEditorDlg::OnRemoveMissing()
{
    if (m_tracks.Count() == 0)
        return;
    const CEntrySnapshot entries(m_tracks.Texts());
    CMissingTracks check(entries, PlaylistFolder());
    {
        CFileProbe probe;
        if (entries.Count() <= kQuietCheck) {
            check.Check(entries, probe, entries.Count());
        } else {
            CMissingCheckDlg progress(check, entries, probe, [this] { return m_closeDeferred; });
            if (Modal([&] { return progress.DoModal(m_hWnd); }) != IDOK)
                return;
        }
    }
    const wchar_t* caption = L"Remove Missing Files";
    if (check.Missing().empty()) {
        std::wstring text = L"No track of the playlist is missing.";
        if (!check.KeptText().empty())
            text += L"\r\n\r\n" + check.KeptText();
        Ask(text.c_str(), caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (Ask(check.Question().c_str(), caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // Edits wait while the check and the question are up; should the list
    // differ all the same, the answer no longer names its entries.
    if (m_tracks.Texts() != entries.Texts()) {
        ui::Ui().MessageBeep(MB_OK);
        return;
    }
    RunEdit([&](CPlayQueue& queue, QueueOrder) { return m_history.RemoveTracks(m_tracks, queue, check.Missing()); });
}

void CEditorDlg::OnFind()
{
    if (!m_find)
        m_find = std::make_unique<CFindDlg>([this](const std::wstring& text, bool next) { FindInList(text, next); });
    m_find->Open(m_hWnd);
}

void CEditorDlg::OnFindNext()
{
    const std::wstring text = m_find ? m_find->Text() : std::wstring();
    if (text.empty())
        OnFind();
    else
        FindInList(text, true);
}

void CEditorDlg::FindInList(const std::wstring& text, bool next)
{
    if (text.empty())
        return;
    const int focus = m_list.GetCaretIndex();
    const int found = FindTrack(m_tracks, text, next ? focus + 1 : focus, m_folding);
    // Going round to the focused item itself finds nothing new.
    if (found == kTrackNotFound || (next && found == focus)) {
        ui::Ui().MessageBeep(MB_OK);
        return;
    }
    SelectListItem(found);
    UpdateSelStatus();
}
