// The editor's commands: the playlist file (New, Open, Save, Save as and the
// save-changes prompt) and the track list (Add Tracks, drop, Remove, Clear
// Dupes, Move Up/Down, double-click). The list box is the playlist; every
// change is mirrored into the player's queue so that list index k and queue
// entry listIndex k always name the same track.
//
// Lists run to 100,000 tracks, so bulk changes avoid per-item work that is
// linear in the list: the list box is rebuilt in one pass when many items
// go, contiguous blocks move with one delete and one insert, and the queue
// is changed in one pass. The results are those of the item-by-item walks.
#include "editor/editor_dlg.h"

#include "framework/file_dialog.h"
#include "persist/file_io.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "print/print_playlist.h"
#include "res/resource.h"

#include <cstring>
#include <new>
#include <unordered_set>

namespace {

const char kPlaylistFilter[] = "MP3 Playlist Files (*.m3u)|*.m3u|All Files (*.*)|*.*||";
const char kTrackFilter[] = "MP3 Audio Files (*.mp3)|*.mp3|All Files (*.*)|*.*||";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The extension rule of Add Tracks and drop: the last three characters,
// any case, no dot required (remix_mp3 passes).
bool EndsInMp3(const std::string& path)
{
    const char* tail = path.size() >= 3 ? path.c_str() + path.size() - 3 : path.c_str();
    return ::lstrcmpiA(tail, "mp3") == 0;
}

// Clear Dupes' comparison key: lower-cased in the current locale, blanks
// trimmed at both ends; nothing else is normalised.
std::string DupeKey(const std::string& text)
{
    std::string key = Trimmed(text);
    bool ascii = true;
    for (char& c : key) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    // Plain ASCII lower-cases the same in every code page; anything else
    // (accents, double-byte characters) goes through the system.
    if (!ascii)
        ::CharLowerBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

} // namespace

// ---------------------------------------------------------------------------
// The playlist file

bool CEditorDlg::LoadPlaylist(const char* path, bool keepQueue)
{
    if (!path)
        return false;
    // The file is read and parsed whole before anything is touched: a file
    // that cannot be read, or is too large to hold, changes nothing.
    std::vector<std::string> tracks;
    std::string filePath;
    std::string fileName;
    try {
        if (!ReadM3uFile(path, tracks))
            return false;
        filePath = path;
        fileName = DisplayName(filePath);
    } catch (const std::bad_alloc&) {
        return false;
    }

    SetPathField(m_settings.lastPlaylist, path);
    if (!keepQueue)
        m_player->ResetPlayer();
    m_strFilePath = std::move(filePath);
    m_strFileName = std::move(fileName);

    size_t bytes = 0;
    for (const std::string& track : tracks)
        bytes += track.size() + 1;
    m_list.SetRedraw(false);
    m_list.ResetContent();
    if (!tracks.empty())
        m_list.InitStorage(static_cast<int>(tracks.size()), static_cast<int>(bytes / tracks.size() + 1));
    size_t listed = 0;
    for (const std::string& track : tracks) {
        if (m_list.AddString(track.c_str()) < 0)
            break; // the list box is full: queue and list stay in step
        ++listed;
    }
    m_list.SetRedraw(true);
    m_list.Invalidate();
    if (!keepQueue)
        m_player->QueueLoadedTracks(tracks, listed);

    m_bHasFile = true;
    SetModified(false, true);
    UpdateSelStatus();

    m_player->ShuffleIfOn();
    return true;
}

bool CEditorDlg::PromptSaveChanges()
{
    if (!m_bModified)
        return true;
    const int answer = Ask("Do you want to save your changes?", "Save Changes?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO)
        return true;
    if (answer != IDYES)
        return false; // Cancel, or no answer at all
    // The caller goes on only when the list is safely in its file: a failed
    // save keeps the list and its changes.
    if (m_bHasFile)
        return WritePlaylist();
    bool chosen = false;
    return SaveAs(chosen);
}

void CEditorDlg::OnFileNew()
{
    if (!PromptSaveChanges())
        return;
    m_player->ResetPlayer();
    m_list.ResetContent();
    m_bHasFile = false;
    m_strFileName = "untitled";
    m_strFilePath.clear();
    SetModified(false, false);
    SetWindowText(m_strBaseTitle);
    UpdateSelStatus();
}

void CEditorDlg::OnFileOpen()
{
    if (!PromptSaveChanges())
        return;
    fw::CFileDialog dialog(true, "m3u", OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES, kPlaylistFilter);
    const std::string folder = PathFieldText(m_settings.playlistFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK)
        return;
    const std::string path = dialog.GetPathName();
    if (path.empty())
        return;
    SetPathField(m_settings.playlistFolder, path.c_str());
    CutAtLastBackslash(m_settings.playlistFolder);
    if (!LoadPlaylist(path.c_str(), false))
        Ask("Unable to open the specified file", "File Open Error", MB_OK | MB_ICONEXCLAMATION);
}

void CEditorDlg::OnFileSave()
{
    if (!m_bHasFile) {
        OnFileSaveAs();
        return;
    }
    WritePlaylist();
}

void CEditorDlg::OnFileSaveAs()
{
    bool chosen = false;
    SaveAs(chosen);
}

// Edits are refused while the Print dialog is up, so the list printed is the
// list as it stands when the user presses OK.
void CEditorDlg::OnFilePrint()
{
    const std::vector<std::string> lines = ListTexts();
    Modal([&] { PrintPlaylist(m_hWnd, m_strFilePath.empty() ? m_strFileName : m_strFilePath, m_strFileName, lines); });
}

bool CEditorDlg::SaveAs(bool& chosen)
{
    chosen = false;
    fw::CFileDialog dialog(false, "m3u", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_LONGNAMES,
                           kPlaylistFilter);
    const std::string folder = PathFieldText(m_settings.playlistFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK)
        return false;
    const std::string path = dialog.GetPathName();
    if (path.empty())
        return false;
    chosen = true;

    SetPathField(m_settings.playlistFolder, path.c_str());
    CutAtLastBackslash(m_settings.playlistFolder);

    // A list that did not reach the new file keeps the name it had, so that
    // the title and the next Save never point at a file without it.
    const std::string oldPath = m_strFilePath;
    const std::string oldName = m_strFileName;
    const bool oldHasFile = m_bHasFile;
    m_strFilePath = path;
    m_strFileName = DisplayName(path);
    m_bHasFile = true;
    if (WritePlaylist())
        return true;
    m_strFilePath = oldPath;
    m_strFileName = oldName;
    m_bHasFile = oldHasFile;
    return false;
}

std::vector<std::string> CEditorDlg::ListTexts() const
{
    const int count = m_list.GetCount();
    std::vector<std::string> texts(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i)
        m_list.GetText(i, texts[static_cast<size_t>(i)]);
    return texts;
}

bool CEditorDlg::WritePlaylist()
{
    const char* path = m_strFilePath.c_str();
    // A target that cannot be opened for writing (read-only, locked, no such
    // folder) is told apart from a write that fails later: probe it without
    // touching its contents.
    HANDLE probe = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        Ask("Unable to open the specified file", "File Open Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    ::CloseHandle(probe);

    // The old file is replaced only once the new bytes are safely written.
    const std::string data = FormatM3u(ListTexts());
    if (!WriteFileReplacing(path, data.data(), data.size())) {
        if (created)
            ::DeleteFileA(path); // the empty file of the probe
        Ask("Unable to write the playlist file. The file on disk was left as it was.", "File Save Error",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_bHasFile = true;
    SetModified(false, true);
    return true;
}

// ---------------------------------------------------------------------------
// The track list

void CEditorDlg::OnAddTracks()
{
    fw::CFileDialog dialog(true, "mp3", OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES,
                           kTrackFilter, kTrackBufferChars);
    const std::string folder = PathFieldText(m_settings.trackFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK) {
        // The dialog refuses a selection whose names do not fit; say so
        // rather than add nothing in silence.
        if (dialog.failedBufferTooSmall)
            Ask("Too many files were selected at once; none of them were added.\r\n"
                "Please add them in smaller groups.",
                "Add Tracks", MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    SetPathField(m_settings.trackFolder, "");
    bool added = false;
    const std::vector<std::string> selection = dialog.GetSelectedPaths();
    for (const std::string& chosen : selection) {
        const std::string path = Trimmed(chosen);
        if (path.empty())
            continue;
        // The first file of the selection names the folder of the next
        // dialog, whether or not it is added.
        if (m_settings.trackFolder[0] == '\0') {
            SetPathField(m_settings.trackFolder, path.c_str());
            CutAtLastBackslash(m_settings.trackFolder);
        }
        if (!EndsInMp3(path)) {
            std::string text = "Warning: The extension of this file is not \"mp3\"\r\n   " + path;
            Ask(text.c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        m_player->AddTrack(m_list.GetCount(), path.c_str());
        m_list.AddString(path.c_str());
        added = true;
    }
    if (added)
        SetModified(true, false);
    UpdateSelStatus();
}

void CEditorDlg::DropFiles(HDROP drop)
{
    // Every name is read before the first warning is shown.
    std::vector<std::string> paths;
    const UINT files = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < files; ++i) {
        const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
        if (::DragQueryFileA(drop, i, buffer.data(), length + 1) == 0)
            continue;
        if (buffer[0] != '\0')
            paths.emplace_back(buffer.data());
    }
    bool added = false;
    for (const std::string& path : paths) {
        // Announced, but added all the same: the user dropped it on purpose.
        if (!EndsInMp3(path)) {
            std::string text = "Warning: The extension of this file is not \"mp3\"\r\n    " + path;
            Ask(text.c_str(), "Warning!", MB_OK | MB_ICONEXCLAMATION);
        }
        m_player->AddTrack(m_list.GetCount(), path.c_str());
        m_list.AddString(path.c_str());
        added = true;
        UpdateSelStatus();
    }
    if (added)
        SetModified(true, false);
}

// The selection is taken before the question: while it is open a change of
// track selects the playing item, and the answer is about what the user saw.
void CEditorDlg::OnRemove()
{
    const std::vector<int> selected = m_list.GetSelItems();
    if (selected.empty())
        return;
    if (Ask("Do you want to permanently delete the selected items?", "Delete?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    DeleteItems(selected);
    UpdateSelStatus();
    SetModified(true, false);
}

void CEditorDlg::OnClearDupes()
{
    const int count = m_list.GetCount();
    if (count < 2)
        return;
    // The first occurrence of each key survives, later ones go: one pass
    // with a set gives the same items as comparing every pair. Found before
    // the question, so the answer acts on exactly these.
    const std::vector<std::string> texts = ListTexts();
    std::unordered_set<std::string> seen;
    seen.reserve(texts.size());
    std::vector<int> duplicates;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!seen.insert(DupeKey(texts[i])).second)
            duplicates.push_back(static_cast<int>(i));
    }
    if (Ask("All duplicate occurrences of files will be deleted. Do you want to continue?", "Delete Duplicates?",
            MB_YESNO | MB_ICONQUESTION)
        != IDYES)
        return;
    DeleteItems(duplicates, &texts);
    if (!duplicates.empty())
        SetModified(true, false);
    UpdateSelStatus();
}

void CEditorDlg::DeleteItems(const std::vector<int>& ascending, const std::vector<std::string>* listTexts)
{
    const int count = m_list.GetCount();
    std::vector<int> items;
    items.reserve(ascending.size());
    for (int k : ascending) {
        if (k >= 0 && k < count && (items.empty() || k > items.back()))
            items.push_back(k);
    }
    if (items.empty())
        return;

    if (items.size() <= kFewItems || count <= kSmallList) {
        // Highest first, so that the indexes still to come stay valid.
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            m_list.DeleteString(*it);
            m_player->RemoveTrack(*it);
        }
        return;
    }

    // Many items: deleting them one by one moves the rest of the list each
    // time. Rebuild it from the survivors and keep what the user sees: the
    // survivors' selection, the caret and the first visible item.
    std::vector<std::string> ownTexts;
    if (!listTexts || listTexts->size() != static_cast<size_t>(count)) {
        ownTexts = ListTexts();
        listTexts = &ownTexts;
    }
    const std::vector<std::string>& texts = *listTexts;
    std::vector<char> gone(static_cast<size_t>(count), 0);
    for (int k : items)
        gone[static_cast<size_t>(k)] = 1;
    // newIndex[i]: where item i ends up, or for a deleted one, where the
    // survivor after it ends up.
    std::vector<int> newIndex(static_cast<size_t>(count));
    int kept = 0;
    size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        newIndex[static_cast<size_t>(i)] = kept;
        if (!gone[static_cast<size_t>(i)]) {
            ++kept;
            bytes += texts[static_cast<size_t>(i)].size() + 1;
        }
    }
    auto place = [&](int oldIndex) {
        if (oldIndex < 0 || oldIndex >= count || kept == 0)
            return -1;
        const int at = newIndex[static_cast<size_t>(oldIndex)];
        return at < kept ? at : kept - 1;
    };
    const std::vector<int> selected = m_list.GetSelItems();
    const int caret = place(m_list.GetCaretIndex());
    const int top = place(static_cast<int>(m_list.SendMessage(LB_GETTOPINDEX)));

    m_list.SetRedraw(false);
    m_list.ResetContent();
    if (kept > 0)
        m_list.InitStorage(kept, static_cast<int>(bytes / static_cast<size_t>(kept) + 1));
    for (int i = 0; i < count; ++i) {
        if (!gone[static_cast<size_t>(i)])
            m_list.AddString(texts[static_cast<size_t>(i)].c_str());
    }
    std::vector<int> survivors;
    survivors.reserve(selected.size());
    for (int s : selected) {
        if (s >= 0 && s < count && !gone[static_cast<size_t>(s)])
            survivors.push_back(newIndex[static_cast<size_t>(s)]);
    }
    SelectRuns(survivors, 0);
    if (caret >= 0)
        m_list.SetCaretIndex(caret);
    if (top >= 0)
        m_list.SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(top));
    m_player->RemoveTracks(items);
    m_list.SetRedraw(true);
    m_list.Invalidate();
}

void CEditorDlg::SelectRuns(const std::vector<int>& ascending, int offset)
{
    size_t i = 0;
    while (i < ascending.size()) {
        size_t j = i;
        while (j + 1 < ascending.size() && ascending[j + 1] == ascending[j] + 1)
            ++j;
        m_list.SendMessage(LB_SELITEMRANGEEX, static_cast<WPARAM>(ascending[i] + offset),
                           static_cast<LPARAM>(ascending[j] + offset));
        i = j + 1;
    }
}

void CEditorDlg::OnMoveUp() { MoveSelected(true); }

void CEditorDlg::OnMoveDown() { MoveSelected(false); }

void CEditorDlg::MoveSelected(bool up)
{
    const std::vector<int> selected = m_list.GetSelItems(); // ascending
    if (selected.empty())
        return;
    const int count = m_list.GetCount();
    // A selection that touches the end it moves towards does not move at all.
    if (up ? selected.front() <= 0 : selected.back() >= count - 1)
        return;

    const bool bulk = selected.size() > kFewItems;
    if (bulk)
        m_list.SetRedraw(false);

    m_player->MoveTracks(selected, up);

    // Moving each item of a contiguous block by one place, one after the
    // other, ends the same as moving the neighbour of the block to its other
    // end: one delete and one insert per block.
    std::string text;
    size_t i = 0;
    while (i < selected.size()) {
        size_t j = i;
        while (j + 1 < selected.size() && selected[j + 1] == selected[j] + 1)
            ++j;
        const int first = selected[i];
        const int last = selected[j];
        const int from = up ? first - 1 : last + 1;
        const int to = up ? last : first;
        m_list.GetText(from, text);
        m_list.DeleteString(from);
        m_list.InsertString(to, text.c_str());
        i = j + 1;
    }
    if (bulk) {
        // Selecting item by item also moves the caret and scrolls each time;
        // whole runs are selected at once and the caret set where the walk
        // leaves it, on the last item selected again.
        SelectRuns(selected, up ? -1 : 1);
        m_list.SetCaretIndex(selected.back() + (up ? -1 : 1));
        m_list.SetRedraw(true);
        m_list.Invalidate();
    } else {
        for (int s : selected)
            m_list.SetSel(up ? s - 1 : s + 1, true);
    }
    SetModified(true, false);
    UpdateSelStatus();
}

void CEditorDlg::OnDblClkTrackList() { m_player->PlayListIndex(m_list.GetCurSel()); }
