// Big-list benchmark: the editor's commands on 100,000 tracks, through the
// real editor window, each timed beside a baseline measured in the same run
// (filling a bare list box with the same strings), as a ratio.
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

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kTracks = 100000;
const int kRemoved = 50000;
const int kBlock = 10000;

// Answers every question with Yes and every file dialog with the next path.
class ScriptedUi final : public ui::IUiSeam {
public:
    std::deque<std::string> paths;
    int boxes = 0;

    int MessageBox(HWND, const char*, const char*, UINT) override
    {
        ++boxes;
        return IDYES;
    }
    bool GetOpenFileName(OPENFILENAMEA& ofn) override { return Answer(ofn); }
    bool GetSaveFileName(OPENFILENAMEA& ofn) override { return Answer(ofn); }
    bool PrintDlg(PRINTDLGA&) override { return false; }
    void MessageBeep(UINT) override {}
    DWORD CommDlgExtendedError() override { return 0; }

private:
    bool Answer(OPENFILENAMEA& ofn)
    {
        if (paths.empty())
            return false;
        std::string path = paths.front();
        paths.pop_front();
        if (path.size() + 1 > ofn.nMaxFile)
            return false;
        std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
        ofn.nFileOffset = static_cast<WORD>(path.find_last_of('\\') + 1);
        return true;
    }
};

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

// Paths of 60 to 120 characters, all different, in a fixed pseudo-random way.
std::vector<std::string> MakePaths(int count, unsigned seed)
{
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(count));
    unsigned state = seed;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int i = 0; i < count; ++i) {
        char head[96];
        std::snprintf(head, sizeof head, "D:\\Music\\Artist %05u\\Album %03u\\%06d ", next() % 5000, next() % 300, i);
        std::string path = head;
        const size_t length = 60 + next() % 57; // the ".mp3" makes 64..120
        while (path.size() < length)
            path.push_back(static_cast<char>('a' + next() % 26));
        path += ".mp3";
        paths.push_back(path);
    }
    return paths;
}

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The baseline: a list box of the editor's kind, alone in a window, filled
// with the same strings the way a careful program fills one.
double FillBareListBox(const std::vector<std::string>& paths)
{
    HWND frame = ::CreateWindowExA(0, "STATIC", "baseline", WS_POPUP | WS_VISIBLE, 0, 0, 600, 300, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY
                                      | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                                  0, 0, 600, 300, frame, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    const double start = Now();
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_INITSTORAGE, paths.size(), 100);
    for (const std::string& path : paths)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
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
    std::string name;
    double ms;
    bool ok;
};

class Bench {
public:
    Bench(const std::string& dir) : m_dir(dir) {}

    std::unique_ptr<CEditorDlg> editor;
    ScriptedUi ui;
    std::vector<Row> rows;

    std::string File(const char* name) const { return m_dir + "\\" + name; }

    // Opens a playlist through File > Open; returns the time it took.
    double Open(const std::string& path)
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
        std::string text;
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
    std::string m_dir;
};

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "quillon-bench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    ::SetCurrentDirectoryA(dir.c_str());

    std::printf("Preparing %d tracks...\n", kTracks);
    const std::vector<std::string> paths = MakePaths(kTracks, 1);
    // Half of them duplicates: 50,000 paths, each twice (the second in
    // another letter case), in a mixed order.
    std::vector<std::string> dupes;
    {
        const std::vector<std::string> half(paths.begin(), paths.begin() + kTracks / 2);
        dupes = half;
        for (std::string path : half) {
            std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            dupes.push_back(path);
        }
        unsigned state = 7;
        for (size_t i = dupes.size() - 1; i > 0; --i) {
            state = state * 1103515245u + 12345u;
            std::swap(dupes[i], dupes[(state >> 8) % (i + 1)]);
        }
    }

    Bench bench(dir);
    const std::string big = bench.File("big.m3u");
    const std::string dup = bench.File("dupes.m3u");
    if (!WriteText(big, FormatM3u(paths)) || !WriteText(dup, FormatM3u(dupes))) {
        std::printf("cannot write the playlists in %s\n", dir.c_str());
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

    const double baseline = FillBareListBox(paths);
    std::vector<Row>& rows = bench.rows;

    // Open.
    double t = bench.Open(big);
    rows.push_back({"Open (100,000 tracks)", t, editor->List().GetCount() == kTracks && bench.InStep()});

    // Save (Save as to a new file, then Save over it).
    bench.ui.paths.push_back(bench.File("saved.m3u"));
    t = bench.Click(ID_FILE_SAVE_AS);
    std::string written;
    {
        FILE* f = std::fopen(bench.File("saved.m3u").c_str(), "rb");
        if (f) {
            char chunk[65536];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
                written.append(chunk, n);
            std::fclose(f);
        }
    }
    rows.push_back({"Save as (100,000 tracks)", t, written == FormatM3u(paths)});
    editor->SetModified(true, false);
    t = bench.Click(ID_FILE_SAVE);
    rows.push_back({"Save (100,000 tracks)", t, !editor->IsModified()});

    // Remove of 50,000 selected items (every other one).
    bench.Select(0, kRemoved, 2);
    t = bench.Click(IDC_REMOVE);
    rows.push_back({"Remove 50,000 selected", t, editor->List().GetCount() == kTracks - kRemoved && bench.InStep()
                                                     && editor->List().GetText(0) == paths[1]});

    // Move Up and Move Down of a 10,000-item block.
    bench.Open(big);
    bench.Select(40000, kBlock, 1);
    t = bench.Click(IDC_MOVE_UP);
    rows.push_back({"Move Up 10,000-item block", t, editor->List().GetText(40000 + kBlock - 1) == paths[39999]
                                                        && editor->List().GetText(39999) == paths[40000] && bench.InStep()});
    bench.Select(39999, kBlock, 1);
    t = bench.Click(IDC_MOVE_DOWN);
    rows.push_back({"Move Down 10,000-item block", t, editor->List().GetText(39999) == paths[39999]
                                                          && editor->List().GetText(40000) == paths[40000] && bench.InStep()});

    // The same moves on a shuffled queue: shuffle switched on and off again,
    // which leaves the queue shuffled until the next Open.
    CPlayerDlg& player = editor->Player();
    const fw::CButton shuffle(player.GetDlgItem(IDC_SHUFFLE));
    shuffle.SetCheck(BST_CHECKED);
    player.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHUFFLE, BN_CLICKED), reinterpret_cast<LPARAM>(shuffle.GetHwnd()));
    shuffle.SetCheck(BST_UNCHECKED);
    bench.Select(60000, kBlock, 1);
    t = bench.Click(IDC_MOVE_UP);
    rows.push_back({"Move Up 10,000, shuffled queue", t, editor->List().GetText(59999) == paths[60000] && bench.InStep()});
    t = bench.Click(IDC_MOVE_DOWN);
    rows.push_back({"Move Down 10,000, shuffled queue", t, editor->List().GetText(60000) == paths[60000] && bench.InStep()});

    // Clear Dupes on 100,000 tracks of which half are duplicates.
    bench.Open(dup);
    t = bench.Click(IDC_CLEAR_DUPES);
    rows.push_back({"Clear Dupes (50,000 of 100,000)", t, editor->List().GetCount() == kTracks / 2 && bench.InStep()});

    std::printf("\nBaseline: filling a bare list box with the same 100,000 strings: %.0f ms\n\n", baseline);
    std::printf("| Command | Time (ms) | Ratio to baseline | Result checked |\n");
    std::printf("|---|---:|---:|---|\n");
    bool allOk = true;
    for (const Row& row : rows) {
        std::printf("| %s | %.0f | %.2f | %s |\n", row.name.c_str(), row.ms, row.ms / baseline, row.ok ? "yes" : "NO");
        allOk = allOk && row.ok;
    }
    std::fflush(stdout);

    editor->SetModified(false, false);
    bench.editor.reset();
    ui::SetUi(nullptr);
    ::SetCurrentDirectoryA(temp);
    ::DeleteFileA(big.c_str());
    ::DeleteFileA(dup.c_str());
    ::DeleteFileA(bench.File("saved.m3u").c_str());
    ::DeleteFileA(bench.File("settings.dat").c_str());
    ::DeleteFileA(bench.File("continue.dat").c_str());
    ::RemoveDirectoryA(dir.c_str());
    return allOk ? 0 : 2;
}
