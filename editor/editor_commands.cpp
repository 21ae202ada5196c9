// The editor's commands: the playlist file (New, Open, Save, Save as and the
// save-changes prompt) and the track list (Add Tracks, drop, Remove, Clear
// Dupes, Move Up/Down, double-click). The list box is the playlist; every
// change goes through the edit history, which keeps the player's queue in
// step so that list index k and queue entry listIndex k name the same track.
//
// Lists run to 100,000 tracks, so bulk changes avoid per-item work that is
// linear in the list: the list box is rebuilt in one pass when many items
// change, contiguous blocks move with one delete and one insert, and the
// queue is changed in one pass. The results are those of the item-by-item
// walks.
#include "editor/editor_dlg.h"

#include "framework/file_dialog.h"
#include "persist/file_io.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "playlist/track_paths.h"
#include "print/print_playlist.h"
#include "res/resource.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

const wchar_t kPlaylistFilter[] = L"MP3 Playlist Files (*.m3u)|*.m3u|All Files (*.*)|*.*||";
const wchar_t kTrackFilter[] = L"MP3 Audio Files (*.mp3)|*.mp3|All Files (*.*)|*.*||";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

std::wstring Trimmed(const std::wstring& text)
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
bool EndsInMp3(const std::wstring& path)
{
    const wchar_t* tail = path.size() >= 3 ? path.c_str() + path.size() - 3 : path.c_str();
    return ::lstrcmpiW(tail, L"mp3") == 0;
}

// The names of a drop as the system hands them out, one at a time.
std::vector<std::wstring> DroppedNamesOneByOne(HDROP drop)
{
    std::vector<std::wstring> names;
    const UINT files = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < files; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
        if (length > 0 && ::DragQueryFileW(drop, i, buffer.data(), length + 1) > 0 && buffer[0] != L'\0')
            names.emplace_back(buffer.data());
    }
    return names;
}

// The names a drop carries, read in one pass over its block: the system
// walks the names from the first for each one it hands out, seconds for a
// drop of thousands. The block's size bounds every read; a name the block
// cuts short is no name. A block of unknown size is asked one by one.
std::vector<std::wstring> DroppedNames(HDROP drop)
{
    const SIZE_T size = ::GlobalSize(drop);
    if (size == 0)
        return DroppedNamesOneByOne(drop);
    std::vector<std::wstring> names;
    const auto* block = static_cast<const unsigned char*>(::GlobalLock(drop));
    if (!block)
        return names;
    DROPFILES header{};
    if (size >= sizeof header)
        std::memcpy(&header, block, sizeof header);
    const SIZE_T unit = header.fWide ? sizeof(wchar_t) : 1;
    std::wstring wide;
    for (SIZE_T at = size >= sizeof header ? header.pFiles : size; at + unit <= size;) {
        SIZE_T end = at;
        auto nul = [&](SIZE_T i) { return block[i] == 0 && (unit == 1 || block[i + 1] == 0); };
        while (end + unit <= size && !nul(end))
            end += unit;
        if (end == at || end + unit > size)
            break; // the empty name that ends the list, or the block's end
        if (unit == 1) {
            // An ANSI block, from an old program.
            names.push_back(SystemAnsiCodePage().Decode(reinterpret_cast<const char*>(block + at), end - at));
        } else {
            wide.resize((end - at) / unit);
            std::memcpy(&wide[0], block + at, end - at);
            names.push_back(wide);
        }
        at = end + unit;
    }
    ::GlobalUnlock(drop);
    return names;
}

// Clear Dupes' comparison key: the text lower-cased in the current locale,
// blanks trimmed at both ends; nothing else is normalised. A key of plain
// ASCII, which lower-cases the same everywhere, is the track's own text,
// folded as it is hashed and compared; any other key is lower-cased through
// the system once, into one buffer shared by them all. So 100,000 tracks
// make no string each, and the first of each key is found in a table of
// indexes rather than a set of strings.
class CDupeKeys {
public:
    explicit CDupeKeys(const std::vector<SharedText>& texts) : m_keys(texts.size())
    {
        std::vector<size_t> loweredAt(texts.size(), kNone);
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::wstring_view text = texts[i].View();
            size_t begin = 0, end = text.size();
            while (begin < end && IsBlank(text[begin]))
                ++begin;
            while (end > begin && IsBlank(text[end - 1]))
                --end;
            Key& key = m_keys[i];
            key.text = text.data() + begin;
            key.length = end - begin;
            if (HashAscii(key))
                continue;
            loweredAt[i] = m_lowered.size();
            m_lowered.append(text.substr(begin, key.length));
            ::CharLowerBuffW(&m_lowered[loweredAt[i]], static_cast<DWORD>(key.length));
            key.hash = Hash(m_lowered.data() + loweredAt[i], key.length);
        }
        // The buffer has stopped moving.
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (loweredAt[i] != kNone)
                m_keys[i].text = m_lowered.data() + loweredAt[i];
        }
    }

    // The indexes whose key an earlier index has, ascending: the first
    // occurrence of each key survives.
    std::vector<int> Duplicates() const
    {
        size_t slots = 16;
        while (slots < 2 * m_keys.size())
            slots *= 2;
        std::vector<int> table(slots, -1);
        std::vector<int> duplicates;
        for (size_t i = 0; i < m_keys.size(); ++i) {
            const Key& key = m_keys[i];
            for (size_t slot = key.hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
                if (table[slot] < 0) {
                    table[slot] = static_cast<int>(i);
                    break;
                }
                if (Same(m_keys[static_cast<size_t>(table[slot])], key)) {
                    duplicates.push_back(static_cast<int>(i));
                    break;
                }
            }
        }
        return duplicates;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    struct Key {
        const wchar_t* text;
        size_t length;
        uint32_t hash;
    };

    // ASCII upper case to lower; the identity on a key the system lowered.
    static unsigned Fold(wchar_t c)
    {
        const unsigned unit = static_cast<unsigned>(c);
        return unit - L'A' < 26u ? unit + 0x20 : unit;
    }

    // Two units of ASCII folded side by side in one word.
    static uint32_t FoldAsciiPair(uint32_t pair)
    {
        const uint32_t fromA = pair + 0x003F003Fu; // a half at or past 0x80 from 'A' on
        const uint32_t pastZ = pair + 0x00250025u; // ... and past 'Z'
        return pair | ((fromA & ~pastZ & 0x00800080u) >> 2);
    }

    // Of the folded units, two to a word: the same for an ASCII key and a
    // lowered one that fold alike.
    static uint32_t Mix(uint32_t hash, uint32_t pair)
    {
        hash = (hash ^ pair) * 0x9E3779B1u;
        return hash ^ (hash >> 15);
    }
    static uint32_t Hash(const wchar_t* text, size_t length)
    {
        uint32_t hash = 0x811C9DC5u ^ static_cast<uint32_t>(length);
        size_t i = 0;
        for (; i + 2 <= length; i += 2)
            hash = Mix(hash, Fold(text[i]) | Fold(text[i + 1]) << 16);
        if (i < length)
            hash = Mix(hash, Fold(text[i]));
        return hash ^ (hash >> 16);
    }
    // Hash, a word at a time, of a key that turns out to be plain ASCII;
    // false for any other.
    static bool HashAscii(Key& key)
    {
        uint32_t hash = 0x811C9DC5u ^ static_cast<uint32_t>(key.length), any = 0;
        size_t i = 0;
        for (; i + 2 <= key.length; i += 2) {
            const uint32_t pair = static_cast<uint32_t>(key.text[i]) | static_cast<uint32_t>(key.text[i + 1]) << 16;
            any |= pair;
            hash = Mix(hash, FoldAsciiPair(pair));
        }
        if (i < key.length) {
            any |= static_cast<uint32_t>(key.text[i]);
            hash = Mix(hash, Fold(key.text[i]));
        }
        key.hash = hash ^ (hash >> 16);
        return (any & 0xFF80FF80u) == 0;
    }

    static bool Same(const Key& a, const Key& b)
    {
        if (a.hash != b.hash || a.length != b.length)
            return false;
        for (size_t i = 0; i < a.length; ++i) {
            if (Fold(a.text[i]) != Fold(b.text[i]))
                return false;
        }
        return true;
    }

    std::vector<Key> m_keys;
    std::wstring m_lowered;
};

} // namespace

// ---------------------------------------------------------------------------
// The playlist file

bool CEditorDlg::LoadPlaylist(const wchar_t* path, bool keepQueue)
{
    if (!path)
        return false;
    // The file is read and parsed whole before anything is touched: a file
    // that cannot be read, or is too large to hold, changes nothing.
    M3uDocument document;
    std::wstring filePath;
    std::wstring fileName;
    try {
        if (!ReadM3uFile(path, SystemAnsiCodePage(), document))
            return false;
        filePath = path;
        fileName = DisplayName(filePath);
    } catch (const std::bad_alloc&) {
        return false;
    }

    StorePath(m_settings.lastPlaylist, filePath, false);
    m_format = FileFormat{document.encoding, document.lineEnd, std::move(document.trailing)};
    if (!keepQueue)
        m_player->ResetPlayer();
    m_strFilePath = std::move(filePath);
    m_strFileName = std::move(fileName);
    m_bHasFile = true;
    m_player->SetTrackFolder(PlaylistFolder());

    m_list.SetRedraw(false);
    // A full list box takes the first tracks: queue and list stay in step.
    const size_t listed = m_tracks.Assign(std::move(document.tracks));
    m_list.SetRedraw(true);
    m_list.Invalidate();
    if (!keepQueue)
        m_player->QueueLoadedTracks(m_tracks.Texts(), listed);

    m_history.Reset();
    SetModified(false, true);
    UpdateSelStatus();

    m_player->ShuffleIfOn();
    return true;
}

bool CEditorDlg::PromptSaveChanges()
{
    if (!m_bModified)
        return true;
    const int answer = Ask(L"Do you want to save your changes?", L"Save Changes?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO)
        return true;
    if (answer != IDYES)
        return false; // Cancel, or no answer at all
    // The caller goes on only when the list is safely in its file: a failed
    // save keeps the list and its changes.
    if (m_bHasFile)
        return WritePlaylist(m_tracks.Texts(), false);
    bool chosen = false;
    return SaveAs(chosen);
}

void CEditorDlg::OnFileNew()
{
    if (!PromptSaveChanges())
        return;
    m_player->ResetPlayer();
    m_tracks.Assign({});
    m_history.Reset();
    m_bHasFile = false;
    m_format = FileFormat{};
    m_strFileName = L"untitled";
    m_strFilePath.clear();
    m_player->SetTrackFolder(PlaylistFolder());
    SetModified(false, false);
    SetWindowText(m_strBaseTitle);
    UpdateSelStatus();
}

void CEditorDlg::OnFileOpen()
{
    if (!PromptSaveChanges())
        return;
    fw::CFileDialog dialog(true, L"m3u", OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES, kPlaylistFilter);
    const std::wstring folder = StoredPath(m_settings.playlistFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK)
        return;
    const std::wstring path = dialog.GetPathName();
    if (path.empty())
        return;
    StorePath(m_settings.playlistFolder, path, true);
    if (!LoadPlaylist(path.c_str(), false))
        Ask(L"Unable to open the specified file", L"File Open Error", MB_OK | MB_ICONEXCLAMATION);
}

void CEditorDlg::OnFileSave()
{
    if (!m_bHasFile) {
        OnFileSaveAs();
        return;
    }
    WritePlaylist(m_tracks.Texts(), false);
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
    const std::vector<SharedText> lines = m_tracks.Texts();
    Modal([&] { PrintPlaylist(m_hWnd, m_strFilePath.empty() ? m_strFileName : m_strFilePath, m_strFileName, lines); });
}

bool CEditorDlg::SaveAs(bool& chosen)
{
    chosen = false;
    fw::CFileDialog dialog(false, L"m3u", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_LONGNAMES,
                           kPlaylistFilter);
    const std::wstring folder = StoredPath(m_settings.playlistFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK)
        return false;
    const std::wstring path = dialog.GetPathName();
    if (path.empty())
        return false;
    chosen = true;

    StorePath(m_settings.playlistFolder, path, true);

    // Entries that depend on the playlist's folder are rewritten to name the
    // same files from the new one; the others are written as they stand.
    std::vector<SharedText> lines = m_tracks.Texts();
    const std::wstring oldFolder = PlaylistFolder();
    const std::wstring newFolder = FolderOfPath(path);
    bool rewritten = false;
    for (SharedText& line : lines) {
        std::wstring rebased = RebaseTrackPath(line.Str(), oldFolder, newFolder, m_folding);
        if (rebased != line) {
            line = rebased;
            rewritten = true;
        }
    }

    // A list that did not reach the new file keeps the name it had, so that
    // the title and the next Save never point at a file without it.
    const std::wstring oldPath = m_strFilePath;
    const std::wstring oldName = m_strFileName;
    const bool oldHasFile = m_bHasFile;
    m_strFilePath = path;
    m_strFileName = DisplayName(path);
    m_bHasFile = true;
    if (!WritePlaylist(lines, true)) {
        m_strFilePath = oldPath;
        m_strFileName = oldName;
        m_bHasFile = oldHasFile;
        return false;
    }
    m_player->SetTrackFolder(PlaylistFolder());
    if (rewritten) {
        m_list.SetRedraw(false);
        m_tracks.Replace(std::move(lines));
        m_list.SetRedraw(true);
        m_list.Invalidate();
        m_player->RetextTracks();
        // The steps kept name their entries as the old folder saw them: undone
        // now, they would point at other files.
        m_history.Reset();
    }
    return true;
}

std::wstring CEditorDlg::PlaylistFolder() const { return m_bHasFile ? FolderOfPath(m_strFilePath) : std::wstring(); }

SharedText CEditorDlg::ListText(int listIndex) const
{
    const std::vector<SharedText>& texts = m_tracks.Texts();
    return listIndex >= 0 && static_cast<size_t>(listIndex) < texts.size() ? texts[static_cast<size_t>(listIndex)]
                                                                          : SharedText();
}

namespace {

// The names that kept a playlist from the encoding it was to have, as the
// user is told of them: the first few, then how many more.
std::wstring ForcedEncodingText(const std::vector<SharedText>& lines, const std::vector<size_t>& forced,
                                TextEncoding wanted, TextEncoding written)
{
    constexpr size_t kNamesShown = 10;
    std::wstring text = written == TextEncoding::Utf16Le ? L"The playlist was saved as UTF-16 (Unicode) text"
                                                         : L"The playlist was saved as UTF-8 (Unicode) text";
    text += wanted == TextEncoding::Ansi ? L", because these names do not fit the system's code page:\r\n"
                                         : L", because these names do not fit its own encoding:\r\n";
    for (size_t i = 0; i < forced.size() && i < kNamesShown; ++i)
        text += L"\r\n" + DisplayName(lines[forced[i]].Str());
    if (forced.size() > kNamesShown)
        text += L"\r\n...and " + std::to_wstring(forced.size() - kNamesShown) + L" more";
    return text;
}

} // namespace

bool CEditorDlg::WritePlaylist(const std::vector<SharedText>& lines, bool saveAs)
{
    const wchar_t* path = m_strFilePath.c_str();
    // A target that cannot be opened for writing (read-only, locked, no such
    // folder) is told apart from a write that fails later: probe it without
    // touching its contents.
    HANDLE probe = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        Ask(L"Unable to open the specified file", L"File Open Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    ::CloseHandle(probe);

    // Save writes the encoding the file was read in, Save as the one its name
    // asks for; either gives way to Unicode rather than change a name.
    const IAnsiCodePage& codePage = SystemAnsiCodePage();
    const bool isM3u8 = IsM3u8Path(m_strFilePath);
    const TextEncoding wanted = saveAs ? (isM3u8 ? TextEncoding::Utf8Bom : TextEncoding::Ansi) : m_format.encoding;
    const TextEncoding encoding = saveAs ? SaveAsEncoding(isM3u8, lines, codePage)
                                         : SaveEncoding(m_format.encoding, lines, isM3u8, codePage);
    // The old file is replaced only once the new bytes are safely written.
    std::string data = WriteM3u(lines, encoding, m_format.lineEnd, codePage);
    if (!saveAs && encoding == m_format.encoding)
        data += m_format.trailing;
    if (!WriteFileReplacing(path, data.data(), data.size())) {
        if (created)
            ::DeleteFileW(path); // the empty file of the probe
        Ask(L"Unable to write the playlist file. The file on disk was left as it was.", L"File Save Error",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_bHasFile = true;
    if (encoding != m_format.encoding || saveAs)
        m_format.trailing.clear();
    m_format.encoding = encoding;
    m_history.MarkSaved();
    SetModified(false, true);
    if (encoding != wanted)
        Ask(ForcedEncodingText(lines, TracksNotKept(lines, wanted, isM3u8, codePage), wanted, encoding).c_str(),
            L"Playlist Encoding", MB_OK | MB_ICONINFORMATION);
    return true;
}

// ---------------------------------------------------------------------------
// The track list

namespace {

// Redraw of the list suspended for one change, and back however it ends.
class CRedrawPause {
public:
    explicit CRedrawPause(const fw::CListBox& list) : m_list(list) { m_list.SetRedraw(false); }
    ~CRedrawPause()
    {
        m_list.SetRedraw(true);
        m_list.Invalidate();
    }
    CRedrawPause(const CRedrawPause&) = delete;
    CRedrawPause& operator=(const CRedrawPause&) = delete;

private:
    const fw::CListBox& m_list;
};

} // namespace

bool CEditorDlg::RunEdit(const std::function<EditOutcome(CPlayQueue&, QueueOrder)>& edit)
{
    EditOutcome outcome;
    {
        CRedrawPause pause(m_list);
        outcome = m_player->EditQueue(edit);
    }
    if (outcome.done)
        SetModified(!m_history.AtSavedState(), false);
    UpdateSelStatus();
    return outcome.done;
}

bool CEditorDlg::AddToList(const std::vector<std::wstring>& paths)
{
    if (paths.empty())
        return false;
    return RunEdit([&](CPlayQueue& queue, QueueOrder) { return m_history.AddTracks(m_tracks, queue, paths); });
}

void CEditorDlg::OnAddTracks()
{
    fw::CFileDialog dialog(true, L"mp3", OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES,
                           kTrackFilter, kTrackBufferChars);
    const std::wstring folder = StoredPath(m_settings.trackFolder);
    dialog.initialDir = folder.empty() ? m_startDir : folder;
    if (Modal([&] { return dialog.DoModal(m_hWnd); }) != IDOK) {
        // The dialog refuses a selection whose names do not fit; say so
        // rather than add nothing in silence.
        if (dialog.failedBufferTooSmall)
            Ask(L"Too many files were selected at once; none of them were added.\r\n"
                L"Please add them in smaller groups.",
                L"Add Tracks", MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    SetPathField(m_settings.trackFolder, "");
    bool folderTaken = false;
    // One step for Undo: the files are added together once each was looked at.
    std::vector<std::wstring> added;
    for (const std::wstring& chosen : dialog.GetSelectedPaths()) {
        const std::wstring path = Trimmed(chosen);
        if (path.empty())
            continue;
        // The first file of the selection names the folder of the next
        // dialog, whether or not it is added.
        if (!folderTaken) {
            folderTaken = true;
            StorePath(m_settings.trackFolder, path, true);
        }
        if (!EndsInMp3(path)) {
            std::wstring text = L"Warning: The extension of this file is not \"mp3\"\r\n   " + path;
            Ask(text.c_str(), L"Warning", MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        added.push_back(path);
    }
    AddToList(added);
    UpdateSelStatus();
}

void CEditorDlg::DropFiles(HDROP drop)
{
    // Every name is read before the first warning is shown.
    const std::vector<std::wstring> paths = DroppedNames(drop);
    // Announced, but added all the same: the user dropped it on purpose.
    for (const std::wstring& path : paths) {
        if (!EndsInMp3(path)) {
            std::wstring text = L"Warning: The extension of this file is not \"mp3\"\r\n    " + path;
            Ask(text.c_str(), L"Warning!", MB_OK | MB_ICONEXCLAMATION);
        }
    }
    AddToList(paths);
}

// The selection is taken before the question: while it is open a change of
// track selects the playing item, and the answer is about what the user saw
// (which Undo gives back selected).
void CEditorDlg::OnRemove()
{
    const ListSelection selected = m_tracks.Selection();
    if (selected.runs.empty())
        return;
    if (Ask(L"Do you want to permanently delete the selected items?", L"Delete?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    RunEdit([&](CPlayQueue& queue, QueueOrder) {
        m_tracks.Select(selected);
        return m_history.RemoveTracks(m_tracks, queue, IndexesOf(selected.runs));
    });
}

void CEditorDlg::OnClearDupes()
{
    const int count = m_tracks.Count();
    if (count < 2)
        return;
    // The first occurrence of each key survives, later ones go: one pass
    // with a set gives the same items as comparing every pair. Found before
    // the question, so the answer acts on exactly these.
    const std::vector<int> duplicates = CDupeKeys(m_tracks.Texts()).Duplicates();
    if (Ask(L"All duplicate occurrences of files will be deleted. Do you want to continue?", L"Delete Duplicates?",
            MB_YESNO | MB_ICONQUESTION)
        != IDYES)
        return;
    if (!duplicates.empty())
        RunEdit([&](CPlayQueue& queue, QueueOrder) { return m_history.RemoveTracks(m_tracks, queue, duplicates); });
    UpdateSelStatus();
}

void CEditorDlg::OnMoveUp()
{
    RunEdit([&](CPlayQueue& queue, QueueOrder) { return m_history.MoveSelection(m_tracks, queue, true); });
}

void CEditorDlg::OnMoveDown()
{
    RunEdit([&](CPlayQueue& queue, QueueOrder) { return m_history.MoveSelection(m_tracks, queue, false); });
}

void CEditorDlg::OnDblClkTrackList() { m_player->PlayListIndex(m_list.GetCurSel()); }

// The item with the focus rectangle is what Enter means; LB_GETCURSEL is
// not made for a list where many items can be selected.
void CEditorDlg::OnPlayFocused() { m_player->PlayListIndex(m_list.GetCaretIndex()); }
