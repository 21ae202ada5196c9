// Big-list benchmark: the editor's commands on 100,000 tracks, through the
// real editor window, each timed beside a baseline measured in the same run
// (filling a bare list box with the same strings), as a ratio; Undo and Redo
// of each beside the command's own time; Find over the whole list; Remove
// Missing Files over 100,000 real files; the history's memory.
//
// Run it under Wine on a display: scripts/bench.sh.
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "framework/ui_seam.h"
#include "player/player_dlg.h"
#include "playlist/m3u.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kTracks = 100000;
const int kRemoved = 50000;
const int kBlock = 10000;
const int kDropped = 10000;
const int kFolders = 100;
const int kGone = 1000;

// Answers every question with Yes and every file dialog with the next path.
class ScriptedUi final : public ui::IUiSeam {
public:
    std::deque<std::wstring> paths;
    int boxes = 0;
    int beeps = 0;

    int MessageBox(HWND, const wchar_t*, const wchar_t*, UINT) override
    {
        ++boxes;
        return IDYES;
    }
    bool GetOpenFileName(OPENFILENAMEW& ofn) override { return Answer(ofn); }
    bool GetSaveFileName(OPENFILENAMEW& ofn) override { return Answer(ofn); }
    bool PrintDlg(PRINTDLGW&) override { return false; }
    void MessageBeep(UINT) override { ++beeps; }
    DWORD CommDlgExtendedError() override { return 0; }

private:
    bool Answer(OPENFILENAMEW& ofn)
    {
        if (paths.empty())
            return false;
        std::wstring path = paths.front();
        paths.pop_front();
        if (path.size() + 1 > ofn.nMaxFile)
            return false;
        std::wmemcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
        ofn.nFileOffset = static_cast<WORD>(path.find_last_of(L'\\') + 1);
        return true;
    }
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Paths of 60 to 120 characters, all different, in a fixed pseudo-random way,
// their names made of these letters; with more than one alphabet, of words of
// three to eight letters, each word in one of them, as real names are.
std::vector<std::wstring> MakePaths(int count, unsigned seed,
                                    const std::vector<std::wstring>& alphabets = {L"abcdefghijklmnopqrstuvwxyz"})
{
    std::vector<std::wstring> paths;
    paths.reserve(static_cast<size_t>(count));
    unsigned state = seed;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int i = 0; i < count; ++i) {
        wchar_t head[96];
        std::swprintf(head, sizeof head / sizeof head[0], L"D:\\Music\\Artist %05u\\Album %03u\\%06d ", next() % 5000, next() % 300, i);
        std::wstring path = head;
        const size_t length = 60 + next() % 57; // the ".mp3" makes 64..120
        while (path.size() < length) {
            const std::wstring& letters = alphabets[next() % alphabets.size()];
            const size_t word = alphabets.size() > 1 ? 3 + next() % 6 : length;
            for (size_t k = 0; k < word && path.size() < length; ++k)
                path.push_back(letters[next() % letters.size()]);
            if (alphabets.size() > 1 && path.size() < length)
                path.push_back(L' ');
        }
        path += L".mp3";
        paths.push_back(path);
    }
    return paths;
}

bool WriteText(const std::wstring& path, const std::string& text)
{
    FILE* f = ::_wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The baseline: a list box of the editor's kind, alone in a window, filled
// with the same strings the way a careful program fills one.
double FillBareListBox(const std::vector<std::wstring>& paths)
{
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"baseline", WS_POPUP | WS_VISIBLE, 0, 0, 600, 300, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY
                                      | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                                  0, 0, 600, 300, frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    const double start = Now();
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_INITSTORAGE, paths.size(), 100);
    for (const std::wstring& path : paths)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::UpdateWindow(list);
    const double elapsed = Now() - start;
    ::DestroyWindow(frame);
    return elapsed;
}

void Drain()
{
    fw::PumpUntil([] { return true; }, 0);
}

struct Row {
    std::wstring name;
    double ms;
    bool ok;
    double commandMs = 0;  // Undo and Redo: the command's own time
    double baselineMs = 0; // a row with a baseline of its own
};

// A playlist of these paths in the ANSI code page, as the program writes one.
std::string Bytes(const std::vector<std::wstring>& paths)
{
    return WriteM3u({paths.begin(), paths.end()}, TextEncoding::Ansi, LineEnd::CrLf, SystemAnsiCodePage());
}

// A drop of these files, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::wstring>& files)
{
    size_t chars = 1;
    for (const std::wstring& f : files)
        chars += f.size() + 1;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    wchar_t* names = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& f : files) {
        std::wmemcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    ::GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

class Bench {
public:
    Bench(const std::wstring& dir) : m_dir(dir) {}

    std::unique_ptr<CEditorDlg> editor;
    ScriptedUi ui;
    std::vector<Row> rows;

    std::wstring File(const wchar_t* name) const { return m_dir + L"\\" + name; }

    // Opens a playlist through File > Open; returns the time it took.
    double Open(const std::wstring& path)
    {
        editor->SetModified(false, false);
        ui.paths.push_back(path);
        const double start = Now();
        editor->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0));
        ::UpdateWindow(editor->GetHwnd());
        return Now() - start;
    }

    double Click(UINT id)
    {
        const double start = Now();
        editor->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(editor->GetDlgItem(id)));
        ::UpdateWindow(editor->GetHwnd());
        return Now() - start;
    }

    // A command from one state, three times over: each time timed and
    // checked, then Undo and Redo timed against the lists before and after
    // it, then undone again. Medians of the three; it ends done.
    void Measure(const std::wstring& name, const std::function<double()>& command, const std::function<bool()>& check)
    {
        const std::vector<std::wstring> before = Texts();
        std::vector<std::wstring> after;
        std::vector<double> done, undone, redone;
        bool ok = true, undoOk = true, redoOk = true;
        for (int run = 0; run < 3; ++run) {
            done.push_back(command());
            ok = ok && check() && InStep();
            if (run == 0)
                after = Texts();
            undone.push_back(Click(ID_EDIT_UNDO));
            undoOk = undoOk && Texts() == before && InStep();
            redone.push_back(Click(ID_EDIT_REDO));
            redoOk = redoOk && Texts() == after && InStep();
            if (run < 2)
                Click(ID_EDIT_UNDO);
        }
        const double t = Median(done);
        rows.push_back({name, t, ok});
        rows.push_back({L"... Undo", Median(undone), undoOk, t});
        rows.push_back({L"... Redo", Median(redone), redoOk, t});
    }

    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts(static_cast<size_t>(editor->List().GetCount()));
        for (size_t i = 0; i < texts.size(); ++i)
            editor->List().GetText(static_cast<int>(i), texts[i]);
        return texts;
    }

    void Select(int first, int count, int step)
    {
        const fw::CListBox& list = editor->List();
        list.SetRedraw(false);
        list.SendMessage(LB_SETSEL, FALSE, -1);
        for (int i = 0; i < count; ++i)
            list.SendMessage(LB_SELITEMRANGEEX, first + i * step, first + i * step);
        list.SetRedraw(true);
        Drain();
    }

    // The queue holds every list index once, with the item's text.
    bool InStep() const
    {
        const CPlayQueue& queue = editor->Player().Queue();
        const int count = editor->List().GetCount();
        if (queue.Count() != count)
            return false;
        std::vector<char> seen(static_cast<size_t>(count), 0);
        std::wstring text;
        for (int pos = 0; pos < count; ++pos) {
            const int listIndex = queue.At(pos).listIndex;
            if (listIndex < 0 || listIndex >= count || seen[static_cast<size_t>(listIndex)]++)
                return false;
        }
        // The texts: a sample is enough to catch a shifted list.
        for (int i = 0; i < queue.Count(); i += 997) {
            const PlayQueueEntry& entry = queue.At(i);
            editor->List().GetText(entry.listIndex, text);
            if (text != entry.path)
                return false;
        }
        return true;
    }

private:
    std::wstring m_dir;
};

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"quillon-bench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ::SetCurrentDirectoryW(dir.c_str());

    std::printf("Preparing %d tracks...\n", kTracks);
    const std::vector<std::wstring> paths = MakePaths(kTracks, 1);
    // Half of them duplicates: 50,000 paths, each twice (the second in
    // another letter case), in a mixed order.
    std::vector<std::wstring> dupes;
    {
        const std::vector<std::wstring> half(paths.begin(), paths.begin() + kTracks / 2);
        dupes = half;
        for (std::wstring path : half) {
            std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
            dupes.push_back(path);
        }
        unsigned state = 7;
        for (size_t i = dupes.size() - 1; i > 0; --i) {
            state = state * 1103515245u + 12345u;
            std::swap(dupes[i], dupes[(state >> 8) % (i + 1)]);
        }
    }

    Bench bench(dir);
    const std::wstring big = bench.File(L"big.m3u");
    const std::wstring dup = bench.File(L"dupes.m3u");
    // The same count of names beyond ASCII, in words of Latin letters with
    // accents, Greek, Cyrillic and Japanese, in a UTF-8 file.
    const std::vector<std::wstring> unicodePaths =
        MakePaths(kTracks, 3, {L"a\u00e0\u00e9\u00e8\u00fc\u00f1\u00e7o", L"\u03b1\u03b2\u03b3\u03b4\u03b5\u03bb\u03bc\u03c9",
                               L"\u0430\u0431\u0432\u0433\u0434\u0436\u044f\u044e", L"\u65e5\u672c\u97f3\u697d\u6b4c\u306e\u3042\u3044"});
    const std::wstring unicode = bench.File(L"unicode.m3u8");
    const CWindows1252 ansi;
    if (!WriteText(big, Bytes(paths)) || !WriteText(dup, Bytes(dupes))
        || !WriteText(unicode, WriteM3u({unicodePaths.begin(), unicodePaths.end()}, TextEncoding::Utf8Bom, LineEnd::CrLf, ansi))) {
        std::printf("cannot write the playlists in %ls\n", dir.c_str());
        return 1;
    }

    ui::SetUi(&bench.ui);
    bench.editor = std::make_unique<CEditorDlg>();
    CEditorDlg* editor = bench.editor.get();
    if (!editor->Create(nullptr)) {
        std::printf("the editor window did not open\n");
        return 1;
    }
    Drain();

    std::vector<Row>& rows = bench.rows;

    // Open, of names beyond ASCII in UTF-8 and of ASCII names in the code
    // page: five times into an empty list, each just after a bare list box was
    // filled with the same names, so that both see the machine alike; the
    // medians. The second baseline is the one of every other row.
    const auto openBeside = [&](const std::wstring& path, const std::vector<std::wstring>& names, double& fill) {
        std::vector<double> opens, fills;
        for (int run = 0; run < 5; ++run) {
            fills.push_back(FillBareListBox(names));
            bench.Click(ID_FILE_NEW);
            opens.push_back(bench.Open(path));
        }
        fill = Median(fills);
        return Median(opens);
    };
    double unicodeBaseline = 0;
    double t = openBeside(unicode, unicodePaths, unicodeBaseline);
    rows.push_back({L"Open, non-ASCII names in UTF-8", t,
                    editor->List().GetCount() == kTracks && editor->List().GetText(kTracks - 1) == unicodePaths.back() && bench.InStep(),
                    0, unicodeBaseline});
    double baseline = 0;
    t = openBeside(big, paths, baseline);
    rows.push_back({L"Open (100,000 tracks)", t, editor->List().GetCount() == kTracks && bench.InStep()});

    // Save (Save as to a new file, then Save over it).
    bench.ui.paths.push_back(bench.File(L"saved.m3u"));
    t = bench.Click(ID_FILE_SAVE_AS);
    std::string written;
    {
        FILE* f = ::_wfopen(bench.File(L"saved.m3u").c_str(), L"rb");
        if (f) {
            char chunk[65536];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
                written.append(chunk, n);
            std::fclose(f);
        }
    }
    rows.push_back({L"Save as (100,000 tracks)", t, written == Bytes(paths)});
    editor->SetModified(true, false);
    t = bench.Click(ID_FILE_SAVE);
    rows.push_back({L"Save (100,000 tracks)", t, !editor->IsModified()});

    // Remove of 50,000 selected items (every other one).
    bench.Select(0, kRemoved, 2);
    bench.Measure(L"Remove 50,000 selected", [&] { return bench.Click(IDC_REMOVE); }, [&] {
        return editor->List().GetCount() == kTracks - kRemoved && editor->List().GetText(0) == paths[1];
    });

    // Move Up and Move Down of a 10,000-item block.
    bench.Open(big);
    bench.Select(40000, kBlock, 1);
    bench.Measure(L"Move Up, a 10,000-item block", [&] { return bench.Click(IDC_MOVE_UP); }, [&] {
        const fw::CListBox& list = editor->List();
        return list.GetText(40000 + kBlock - 1) == paths[39999] && list.GetText(39999) == paths[40000];
    });
    bench.Select(39999, kBlock, 1);
    bench.Measure(L"Move Down, a 10,000-item block", [&] { return bench.Click(IDC_MOVE_DOWN); }, [&] {
        return editor->List().GetText(39999) == paths[39999] && editor->List().GetText(40000) == paths[40000];
    });

    // The same moves on a shuffled queue: shuffle switched on and off again,
    // which leaves the queue shuffled until the next Open.
    CPlayerDlg& player = editor->Player();
    const fw::CButton shuffle(player.GetDlgItem(IDC_SHUFFLE));
    shuffle.SetCheck(BST_CHECKED);
    player.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHUFFLE, BN_CLICKED), reinterpret_cast<LPARAM>(shuffle.GetHwnd()));
    shuffle.SetCheck(BST_UNCHECKED);
    bench.Select(60000, kBlock, 1);
    t = bench.Click(IDC_MOVE_UP);
    rows.push_back({L"Move Up 10,000, shuffled queue", t, editor->List().GetText(59999) == paths[60000] && bench.InStep()});
    t = bench.Click(IDC_MOVE_DOWN);
    rows.push_back({L"Move Down 10,000, shuffled queue", t, editor->List().GetText(60000) == paths[60000] && bench.InStep()});

    // The history's own memory of ten moves: it keeps what moved, never the list.
    size_t blockBytes = 0, itemBytes = 0;
    for (int items : {kBlock, 1}) {
        bench.Open(big);
        bench.Select(50000, items, 1);
        for (int i = 0; i < 10; ++i)
            bench.Click(IDC_MOVE_UP);
        (items == 1 ? itemBytes : blockBytes) = editor->History().Steps() == 10 ? editor->History().Bytes() : 0;
    }

    // Clear Dupes on 100,000 tracks of which half are duplicates.
    bench.Open(dup);
    bench.Measure(L"Clear Dupes (50,000 of 100,000)", [&] { return bench.Click(IDC_CLEAR_DUPES); },
                  [&] { return editor->List().GetCount() == kTracks / 2; });

    // A drop of 10,000 files on 100,000 tracks.
    bench.Open(big);
    const std::vector<std::wstring> dropped(paths.begin(), paths.begin() + kDropped);
    bench.Measure(L"Drop 10,000 files", [&] {
        const HDROP drop = MakeDrop(dropped);
        const double start = Now();
        editor->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
        ::UpdateWindow(editor->GetHwnd());
        return Now() - start;
    }, [&] { return editor->List().GetCount() == kTracks + kDropped; });

    // Find: a text only the last item holds, typed with the first item
    // focused, then Find Next, which goes round the whole list to it again.
    bench.Open(big);
    editor->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_FIND, 0));
    const HWND findBox = ::FindWindowW(L"#32770", L"Find");
    const std::wstring needle = paths.back().substr(paths.back().find_last_of(L'\\') + 1);
    std::vector<double> typed, next;
    bool typedOk = true, nextOk = true;
    for (int run = 0; run < 3; ++run) {
        bench.Select(0, 1, 1);
        editor->List().SetCaretIndex(0);
        ::SetDlgItemTextW(findBox, IDC_FIND_TEXT, L"");
        double start = Now();
        ::SetDlgItemTextW(findBox, IDC_FIND_TEXT, needle.c_str());
        typed.push_back(Now() - start);
        typedOk = typedOk && editor->List().GetCaretIndex() == kTracks - 1;
        const int beeps = bench.ui.beeps;
        next.push_back(bench.Click(ID_EDIT_FIND_NEXT));
        nextOk = nextOk && bench.ui.beeps == beeps + 1 && editor->List().GetCaretIndex() == kTracks - 1;
    }
    rows.push_back({L"Find as typed, found at the last item", Median(typed), typedOk});
    rows.push_back({L"Find Next round the whole list, no other", Median(next), nextOk});
    ::SendMessageW(findBox, WM_COMMAND, IDCANCEL, 0);

    // Remove Missing Files over real files: every one there, then with one
    // in a hundred gone.
    std::printf("Making %d files...\n", kTracks);
    std::vector<std::wstring> entries;
    entries.reserve(kTracks);
    bool made = ::CreateDirectoryW(bench.File(L"files").c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
    for (int folder = 0; folder < kFolders && made; ++folder)
        made = ::CreateDirectoryW(bench.File((L"files\\" + std::to_wstring(folder)).c_str()).c_str(), nullptr) != FALSE;
    for (int i = 0; i < kTracks && made; ++i) {
        // Relative entries: each is looked for where the playlist lies.
        const std::wstring& name = paths[static_cast<size_t>(i)];
        entries.push_back(L"files\\" + std::to_wstring(i % kFolders) + name.substr(name.find_last_of(L'\\')));
        const HANDLE file = ::CreateFileW(bench.File(entries.back().c_str()).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        made = file != INVALID_HANDLE_VALUE && ::CloseHandle(file);
    }
    const std::wstring real = bench.File(L"real.m3u");
    if (made && WriteText(real, Bytes(entries))) {
        bench.Open(real);
        std::vector<double> checks;
        bool checkOk = true;
        for (int run = 0; run < 3; ++run) {
            const int boxes = bench.ui.boxes;
            checks.push_back(bench.Click(ID_EDIT_REMOVE_MISSING));
            checkOk = checkOk && bench.ui.boxes == boxes + 1 && editor->List().GetCount() == kTracks;
        }
        rows.push_back({L"Remove Missing Files, every file there", Median(checks), checkOk});
        for (int i = 0; i < kTracks; i += kTracks / kGone)
            ::DeleteFileW(bench.File(entries[static_cast<size_t>(i)].c_str()).c_str());
        bench.Measure(L"Remove Missing Files, 1,000 gone", [&] { return bench.Click(ID_EDIT_REMOVE_MISSING); },
                      [&] { return editor->List().GetCount() == kTracks - kGone; });
    } else {
        rows.push_back({L"Remove Missing Files (the files could not be made)", 0, false});
    }

    std::printf("\nBaseline: filling a bare list box with the same 100,000 strings: %.0f ms (the non-ASCII names: %.0f ms)\n\n",
                baseline, unicodeBaseline);
    std::printf("| Command | Time (ms) | Ratio to baseline | Ratio to the command | Result checked |\n");
    std::printf("|---|---:|---:|---:|---|\n");
    bool allOk = true;
    for (const Row& row : rows) {
        wchar_t ofCommand[32] = L"";
        if (row.commandMs > 0)
            std::swprintf(ofCommand, sizeof ofCommand / sizeof ofCommand[0], L"%.2f", row.ms / row.commandMs);
        std::printf("| %ls | %.0f | %.2f | %ls | %s |\n", row.name.c_str(), row.ms, row.ms / (row.baselineMs > 0 ? row.baselineMs : baseline), ofCommand,
                    row.ok ? "yes" : "NO");
        allOk = allOk && row.ok;
    }
    std::printf("\nThe history after 10 Move Ups: %zu bytes (a 10,000-item block), %zu bytes (one item)\n", blockBytes,
                itemBytes);
    allOk = allOk && blockBytes > 0 && blockBytes < 1024 * 1024 && itemBytes > 0 && itemBytes < 1024 * 1024;
    std::fflush(stdout);

    editor->SetModified(false, false);
    bench.editor.reset();
    ui::SetUi(nullptr);
    ::SetCurrentDirectoryW(temp);
    ::DeleteFileW(big.c_str());
    ::DeleteFileW(dup.c_str());
    ::DeleteFileW(unicode.c_str());
    ::DeleteFileW(bench.File(L"saved.m3u").c_str());
    ::DeleteFileW(real.c_str());
    for (const std::wstring& entry : entries)
        ::DeleteFileW(bench.File(entry.c_str()).c_str());
    for (int folder = 0; folder < kFolders; ++folder)
        ::RemoveDirectoryW(bench.File((L"files\\" + std::to_wstring(folder)).c_str()).c_str());
    ::RemoveDirectoryW(bench.File(L"files").c_str());
    ::DeleteFileW(bench.File(L"settings.dat").c_str());
    ::DeleteFileW(bench.File(L"continue.dat").c_str());
    ::RemoveDirectoryW(dir.c_str());
    return allOk ? 0 : 2;
}
