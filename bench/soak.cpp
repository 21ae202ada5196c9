// A long run of the real windows and the real audio device: 200 one-second
// tracks played shuffled with repeat on while a driver adds, removes, moves
// and de-duplicates tracks, pauses, seeks and toggles the list. After every
// step the play queue must still mirror the list, and after several hundred
// track changes the process's GDI and USER objects, the program's own C++
// heap and the process's memory must not have grown beyond the bounds below.
//
// QUILLON_SOAK_CHANGES sets the number of track changes (300 unless told);
// scripts/soak.sh runs it and prints the figures it ends with.
#include "audio/mci_audio.h"
#include "editor/editor_dlg.h"
#include "framework/dialog.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "support/editor_session.h"
#include "support/fake_ui.h"

#include <mmsystem.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

// The program's own C++ heap, counted: every operator new of the program and
// of this test goes through here, while Wine's DLLs allocate elsewhere. So
// a leak of the program's own shows here apart from the audio stack's.
namespace {
constexpr size_t kBlockHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t) : sizeof(size_t);
std::atomic<long long> g_heapBytes{0};
std::atomic<long> g_heapBlocks{0};
} // namespace

void* operator new(size_t size)
{
    char* block = static_cast<char*>(std::malloc(size + kBlockHeader));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    g_heapBytes += static_cast<long long>(size);
    ++g_heapBlocks;
    return block + kBlockHeader;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept
{
    if (!p)
        return;
    char* block = static_cast<char*>(p) - kBlockHeader;
    g_heapBytes -= static_cast<long long>(*reinterpret_cast<size_t*>(block));
    --g_heapBlocks;
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }

using testing_support::EditorSession;
using testing_support::FakeUi;
using testing_support::FixturePath;
using testing_support::GdiObjectCount;
using testing_support::QueueInStep;

namespace {

constexpr int kTracks = 200;
constexpr int kDefaultChanges = 300;
// The list wanders between these sizes while tracks come and go.
constexpr int kFewestItems = 150;
constexpr int kMostItems = 260;
// Growth allowed from the end of the warm-up to the end of the run, beyond
// what Wine keeps by itself: the buttons' copies of changed faces (see
// WatchButton) and MCI's remains of every file opened (MciMemoryPerOpen),
// both measured at the start. The warm-up lets the audio stack, the list box
// and the heap reach their working sizes; a leak of one object or a few
// hundred bytes of the program's own per track change would pass these
// bounds well before the end of a short run.
constexpr long kMaxGdiGrowth = 50;
constexpr long kMaxUserGrowth = 50;
constexpr long long kMaxMemoryGrowth = 8ll * 1024 * 1024;
constexpr long long kMaxHeapGrowth = 64 * 1024; // the list's size wanders by about 100 tracks
constexpr long kMaxHeapBlockGrowth = 500;
// Every track change opens one file.
constexpr int kOpensPerChange = 1;
// Milliseconds before a track's end that a seek jumps to, so that a
// one-second track ends quickly.
constexpr int kNearEndMs = 120;

int ChangesWanted()
{
    const char* text = std::getenv("QUILLON_SOAK_CHANGES");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : kDefaultChanges;
}

// --- What the process holds -------------------------------------------------

struct Usage {
    long gdi = 0;
    long user = 0;
    long long privateBytes = 0;
    long long workingSet = 0;
    long long heapBytes = 0;
    long heapBlocks = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM counter)
{
    ++*reinterpret_cast<long*>(counter);
    return TRUE;
}

BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM counter)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(counter);
        ::EnumChildWindows(hwnd, CountChild, counter);
    }
    return TRUE;
}

// USER objects: GetGuiResources where it answers, else the windows of this
// process (top level and children), the USER objects a leak would pile up
// here: tooltips, dialogs, menus' windows.
long UserObjects()
{
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0)
        return static_cast<long>(reported);
    long windows = 0;
    ::EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// K32GetProcessMemoryInfo is kernel32's own: found at run time, no psapi import.
bool MemoryCounters(PROCESS_MEMORY_COUNTERS& counters)
{
    using Fn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    static const Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    std::memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    return fn && fn(::GetCurrentProcess(), &counters, sizeof counters);
}

Usage Measure()
{
    Usage u;
    u.gdi = GdiObjectCount();
    u.user = UserObjects();
    PROCESS_MEMORY_COUNTERS counters;
    if (MemoryCounters(counters)) {
        u.privateBytes = static_cast<long long>(counters.PagefileUsage);
        u.workingSet = static_cast<long long>(counters.WorkingSetSize);
    }
    u.heapBytes = g_heapBytes;
    u.heapBlocks = g_heapBlocks;
    return u;
}

std::string Describe(const Usage& u)
{
    char text[200];
    std::snprintf(text, sizeof text, "GDI %ld, USER %ld, private %.1f MB, working set %.1f MB, C++ heap %.1f KB in %ld blocks",
                  u.gdi, u.user, u.privateBytes / 1048576.0, u.workingSet / 1048576.0, u.heapBytes / 1024.0,
                  u.heapBlocks);
    return text;
}

// What one file opened, played and closed costs the process through MCI
// itself, outside the program's code: Wine's MCI keeps a few kilobytes of
// every file it opened. Measured on an alias of our own, after warm-up rounds
// (the first open loads the whole audio stack).
double MciMemoryPerOpen(const std::wstring& path)
{
    const std::wstring open = L"open \"" + path + L"\" alias qsoakcal";
    const auto round = [&] {
        if (::mciSendStringW(open.c_str(), nullptr, 0, nullptr) != 0)
            return false;
        char reply[32] = "";
        ::mciSendStringA("set qsoakcal time format ms", nullptr, 0, nullptr);
        ::mciSendStringA("play qsoakcal from 900", nullptr, 0, nullptr);
        ::mciSendStringA("status qsoakcal position", reply, sizeof reply, nullptr);
        ::mciSendStringA("stop qsoakcal", nullptr, 0, nullptr);
        ::mciSendStringA("close qsoakcal", nullptr, 0, nullptr);
        return true;
    };
    for (int i = 0; i < 5; ++i)
        round();
    constexpr int kOpens = 40;
    const long long before = Measure().privateBytes;
    for (int i = 0; i < kOpens; ++i)
        if (!round())
            return -1;
    return static_cast<double>(Measure().privateBytes - before) / kOpens;
}

// --- Button faces ---------------------------------------------------------------

// Wine's buttons keep a copy of every image given to them with BM_SETIMAGE
// and free the copies only when the button goes, so there a real change of a
// face costs GDI objects however careful the program is. The buttons of both
// windows are watched to tell those copies apart from a leak of the
// program's own. Setting the face that a button already shows gets no
// allowance: that copy is one the program could spare.
struct ImageSets {
    long changed = 0;
    long same = 0;
};
ImageSets g_imageSets;
constexpr wchar_t kPreviousProc[] = L"QuillonSoakPreviousProc";

LRESULT CALLBACK WatchButton(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProc));
    if (!previous)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == BM_SETIMAGE) {
        const LRESULT shown = ::CallWindowProcW(previous, hwnd, BM_GETIMAGE, wParam, 0);
        ++(shown == lParam ? g_imageSets.same : g_imageSets.changed);
    } else if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropW(hwnd, kPreviousProc);
    }
    return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

BOOL CALLBACK WatchIfButton(HWND hwnd, LPARAM)
{
    char cls[32] = "";
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0 && !::GetPropW(hwnd, kPreviousProc)) {
        const LONG_PTR previous = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
        ::SetPropW(hwnd, kPreviousProc, reinterpret_cast<HANDLE>(previous));
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchButton));
    }
    return TRUE;
}

void WatchButtons(HWND dialog) { ::EnumChildWindows(dialog, WatchIfButton, 0); }

// What one face change costs a button here: nothing on Windows, under Wine
// the bitmaps of an icon's copy and the memory they hold. Measured on a
// button of our own, over enough changes for the heap's growth to show.
struct FaceCost {
    double gdi = 0;
    double bytes = 0;
};

FaceCost CostOfAFaceChange(HICON a, HICON b)
{
    FaceCost cost;
    HWND button = ::CreateWindowExA(0, "Button", "", WS_POPUP | BS_ICON, 0, 0, 20, 20, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!button)
        return cost;
    constexpr int kChanges = 200;
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(a));
    const Usage before = Measure();
    for (int i = 0; i < kChanges; ++i)
        ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(i % 2 ? a : b));
    const Usage after = Measure();
    ::DestroyWindow(button);
    cost.gdi = static_cast<double>(after.gdi - before.gdi) / kChanges;
    cost.bytes = static_cast<double>(after.privateBytes - before.privateBytes) / kChanges;
    return cost;
}

// --- The soak -----------------------------------------------------------------

using testing_support::MakeDrop;

enum class Step {
    EndOfTrack,
    Next,
    Previous,
    DoubleClick,
    PauseSeekResume,
    Seek,
    StopAndPlay,
    Add,
    Remove,
    MoveUp,
    MoveDown,
    ClearDupes,
    ToggleList,
    Reshuffle,
    Count
};

const char* const kStepNames[] = {"end of track", "next",      "previous",  "double-click", "pause, seek, resume",
                                  "seek",         "stop, play", "add",       "remove",       "move up",
                                  "move down",    "clear dupes", "toggle list", "reshuffle"};
static_assert(sizeof kStepNames / sizeof kStepNames[0] == static_cast<size_t>(Step::Count), "a name for each step");

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.defaultAnswer = IDYES; // "Delete?" and "Delete Duplicates?"
        session = std::make_unique<EditorSession>(L"soak");
        ASSERT_TRUE(session->Alive());
        editor = session->Editor();
        player = &editor->Player();

        // 200 one-second tracks under names of their own.
        const std::wstring tone = FixturePath(L"tone1s.mp3");
        for (int i = 0; i < kTracks; ++i) {
            wchar_t name[32];
            std::swprintf(name, 32, L"track %03d.mp3", i);
            pool.push_back(tracks.File(name));
            ASSERT_TRUE(::CopyFileW(tone.c_str(), pool.back().c_str(), FALSE)) << pool.back();
        }
        ASSERT_TRUE(testing_support::LoadTracks(*session, pool));
        ASSERT_EQ(editor->List().GetCount(), kTracks);

        // The player out, shuffle and repeat on.
        ClickEditor(IDC_PLAYER_BUTTON);
        ASSERT_TRUE(fw::PumpUntil([&] { return player->GetSlideState() == SlideState::Shown; }, 10000));
        SetCheck(IDC_SHUFFLE, true);
        ClickPlayer(IDC_SHUFFLE);
        if (!player->Queue().Repeat()) {
            SetCheck(IDC_REPEAT, true);
            ClickPlayer(IDC_REPEAT);
        }
        ASSERT_TRUE(player->Queue().Repeat());
        ASSERT_EQ(fw::CButton(player->GetDlgItem(IDC_SHUFFLE)).GetCheck(), BST_CHECKED);
        ASSERT_TRUE(QueueInStep(*editor));
    }

    void TearDown() override { session.reset(); }

    CMciAudio& Audio() const { return player->Audio(); }
    void SetCheck(int id, bool on) { fw::CButton(player->GetDlgItem(id)).SetCheck(on ? BST_CHECKED : BST_UNCHECKED); }
    void ClickPlayer(int id)
    {
        player->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(player->GetDlgItem(id)));
    }
    void ClickEditor(int id)
    {
        editor->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(editor->GetDlgItem(id)));
    }
    static void Drain() { fw::PumpUntil([] { return true; }, 0); }

    int Random(int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); }

    // The position bar dragged to t, as the user lets go of the thumb.
    void DragPosition(int t)
    {
        const fw::CTrackbar position(player->GetDlgItem(IDC_POSITION));
        position.SetPos(t);
        player->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, t), reinterpret_cast<LPARAM>(position.GetHwnd()));
    }

    // The playing entry: its position and path.
    std::pair<int, std::wstring> Playing() const
    {
        const CPlayQueue& q = player->Queue();
        if (!q.HasValidCurrent())
            return {q.Current(), std::wstring()};
        return {q.Current(), q.CurrentEntry()->path.Str()};
    }

    void EnsurePlaying()
    {
        if (Audio().isPlaying && !Audio().isPaused)
            return;
        if (Audio().isPaused) {
            ClickPlayer(IDC_PLAY_PAUSE);
            return;
        }
        ClickPlayer(IDC_PLAY_PAUSE);
        if (!Audio().isPlaying) // the stopped device starts from the thumb; a closed one opens the current entry
            ClickPlayer(IDC_PLAY_PAUSE);
    }

    void SelectRandom(int howMany)
    {
        const int n = editor->List().GetCount();
        editor->List().SendMessage(LB_SETSEL, FALSE, -1);
        const int first = Random(n);
        const bool block = Random(2) == 0;
        for (int i = 0; i < howMany && n > 0; ++i) {
            const int item = block ? std::min(first + i, n - 1) : Random(n);
            editor->List().SendMessage(LB_SETSEL, TRUE, item);
        }
        editor->List().SendMessage(LB_SETCARETINDEX, first, 0);
    }

    Step Choose()
    {
        const int n = editor->List().GetCount();
        if (n < kFewestItems)
            return Step::Add;
        if (n > kMostItems)
            return Random(3) == 0 ? Step::ClearDupes : Step::Remove;
        static const Step weighted[] = {
            Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack,
            Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack, Step::EndOfTrack,
            Step::Next,       Step::Next,       Step::Previous,   Step::DoubleClick, Step::DoubleClick,
            Step::PauseSeekResume, Step::Seek,  Step::StopAndPlay, Step::Add,       Step::Add,
            Step::Add,        Step::Remove,     Step::Remove,     Step::MoveUp,     Step::MoveUp,
            Step::MoveDown,   Step::MoveDown,   Step::ClearDupes, Step::ToggleList, Step::Reshuffle,
        };
        return weighted[Random(static_cast<int>(sizeof weighted / sizeof weighted[0]))];
    }

    void Perform(Step step)
    {
        switch (step) {
        case Step::EndOfTrack: {
            EnsurePlaying();
            const auto before = Playing();
            const int length = Audio().GetLength();
            if (length > kNearEndMs)
                DragPosition(length - kNearEndMs);
            // The player's own timer may see the end first; either way the
            // next tick after the end moves on.
            fw::PumpUntil([&] { return Playing() != before || Audio().GetPercent() >= 100.0; }, 5000);
            if (Playing() == before)
                player->OnPositionTimer();
            break;
        }
        case Step::Next:
            ClickPlayer(IDC_NEXT);
            break;
        case Step::Previous:
            ClickPlayer(IDC_PREVIOUS);
            break;
        case Step::DoubleClick: {
            const int item = Random(editor->List().GetCount());
            editor->List().SendMessage(LB_SETSEL, FALSE, -1);
            editor->List().SendMessage(LB_SETSEL, TRUE, item);
            editor->List().SendMessage(LB_SETCARETINDEX, item, 0);
            editor->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TRACK_LIST, LBN_DBLCLK),
                                reinterpret_cast<LPARAM>(editor->List().GetHwnd()));
            break;
        }
        case Step::PauseSeekResume:
            EnsurePlaying();
            ClickPlayer(IDC_PLAY_PAUSE); // pause
            player->OnTitleTimer();      // one blink of title and tray icon
            player->OnTitleTimer();
            DragPosition(Random(600));
            ClickPlayer(IDC_PLAY_PAUSE); // resume
            break;
        case Step::Seek:
            EnsurePlaying();
            DragPosition(Random(800));
            break;
        case Step::StopAndPlay:
            ClickPlayer(IDC_STOP);
            ClickPlayer(IDC_PLAY_PAUSE);
            break;
        case Step::Add: {
            std::vector<std::wstring> files;
            for (int i = 1 + Random(3); i > 0; --i)
                files.push_back(pool[static_cast<size_t>(Random(kTracks))]);
            HDROP drop = MakeDrop(files);
            editor->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
            ::GlobalFree(drop);
            break;
        }
        case Step::Remove:
            SelectRandom(1 + Random(3));
            ClickEditor(IDC_REMOVE);
            break;
        case Step::MoveUp:
            SelectRandom(1 + Random(4));
            ClickEditor(IDC_MOVE_UP);
            break;
        case Step::MoveDown:
            SelectRandom(1 + Random(4));
            ClickEditor(IDC_MOVE_DOWN);
            break;
        case Step::ClearDupes:
            ClickEditor(IDC_CLEAR_DUPES);
            break;
        case Step::ToggleList:
            player->ToggleList();
            Drain();
            ASSERT_FALSE(editor->IsWindowVisible()) << "the list toggle left the editor shown";
            player->ToggleList();
            Drain();
            ASSERT_TRUE(editor->IsWindowVisible()) << "the list toggle did not bring the editor back";
            break;
        case Step::Reshuffle:
            SetCheck(IDC_SHUFFLE, false);
            ClickPlayer(IDC_SHUFFLE); // back to list order
            SetCheck(IDC_SHUFFLE, true);
            ClickPlayer(IDC_SHUFFLE); // a new order
            break;
        case Step::Count:
            break;
        }
        Drain();
    }

    FakeUi ui; // before any window
    testing_support::ScratchDir tracks{L"soaktracks"};
    std::vector<std::wstring> pool;
    std::unique_ptr<EditorSession> session;
    CEditorDlg* editor = nullptr;
    CPlayerDlg* player = nullptr;
    std::mt19937 random{20240611};
};

TEST_F(Soak, HundredsOfTrackChangesWhileEditingKeepTheQueueAndTheResourcesFlat)
{
    const int wanted = ChangesWanted();
    const int warmUp = std::max(50, wanted / 5);
    const DWORD start = ::GetTickCount();
    // Room for the slowest machine: about a second per change at most.
    const DWORD budgetMs = 60000 + static_cast<DWORD>(wanted) * 1000;

    const FaceCost faceCost = CostOfAFaceChange(fw::LoadAppIconSmall(IDI_PAUSE), fw::LoadAppIconSmall(IDI_PLAY));
    const double mciPerOpen = MciMemoryPerOpen(pool.front());
    ASSERT_GE(mciPerOpen, 0.0) << "MCI does not open " << pool.front();
    WatchButtons(editor->GetHwnd());
    WatchButtons(player->GetHwnd());
    g_imageSets = ImageSets{};

    const Usage atStart = Measure();
    ASSERT_GT(atStart.gdi, 0) << "no way to count GDI objects here";
    ASSERT_GT(atStart.user, 0) << "no way to count USER objects here";
    ASSERT_GT(atStart.privateBytes, 0) << "no memory counters here";

    Usage afterWarmUp{};
    ImageSets setsAtWarmUp{};
    int changesAtWarmUp = 0;
    bool warmedUp = false;
    int changes = 0;
    long steps = 0;
    long stepCounts[static_cast<int>(Step::Count)] = {};
    // Growth after the warm-up by kind of step, for the reader of a failure.
    long gdiByStep[static_cast<int>(Step::Count)] = {};
    long long heapByStep[static_cast<int>(Step::Count)] = {};

    while (changes < wanted) {
        ASSERT_LT(::GetTickCount() - start, budgetMs) << "only " << changes << " track changes in the time";
        const Step step = Choose();
        const auto before = Playing();
        const long gdiBefore = warmedUp ? GdiObjectCount() : 0;
        const long long heapBefore = g_heapBytes;
        const bool wasPlaying = Audio().isPlaying;
        Perform(step);
        ASSERT_FALSE(HasFatalFailure()) << "in step " << steps + 1;
        ++steps;
        ++stepCounts[static_cast<int>(step)];
        if (warmedUp) {
            gdiByStep[static_cast<int>(step)] += GdiObjectCount() - gdiBefore;
            heapByStep[static_cast<int>(step)] += g_heapBytes - heapBefore;
        }

        ASSERT_TRUE(QueueInStep(*editor)) << "after step " << steps << " (" << kStepNames[static_cast<int>(step)]
                                          << ")";
        const CPlayQueue& q = player->Queue();
        ASSERT_GE(q.Current(), -1) << "after step " << steps;
        ASSERT_LT(q.Current(), q.Count()) << "after step " << steps;
        if (Audio().isPlaying) {
            ASSERT_TRUE(q.HasValidCurrent()) << "playing without a current track after step " << steps;
        }
        // A track change: another file came up, or a transport step moved
        // to another entry (a duplicate path counts); edits that only
        // renumber the play order do not count.
        const auto after = Playing();
        const bool transport = step == Step::EndOfTrack || step == Step::Next || step == Step::Previous ||
                               step == Step::DoubleClick;
        if ((after.second != before.second || (transport && after.first != before.first)) &&
            (Audio().isPlaying || wasPlaying))
            ++changes;

        // The recorders of the fake dialogs would grow with the run.
        ui.boxes.clear();
        ui.beeps.clear();

        if (!warmedUp && changes >= warmUp) {
            afterWarmUp = Measure();
            setsAtWarmUp = g_imageSets;
            changesAtWarmUp = changes;
            warmedUp = true;
        }
    }
    const Usage atEnd = Measure();
    const double seconds = (::GetTickCount() - start) / 1000.0;

    std::printf("soak: %d track changes in %ld steps, %.1f s\n", changes, steps, seconds);
    for (int i = 0; i < static_cast<int>(Step::Count); ++i)
        std::printf("soak:   %-20s %5ld steps; after warm-up GDI %+5ld, C++ heap %+8.1f KB\n", kStepNames[i],
                    stepCounts[i], gdiByStep[i], heapByStep[i] / 1024.0);
    std::printf("soak: at start        %s\n", Describe(atStart).c_str());
    std::printf("soak: after warm-up   %s\n", Describe(afterWarmUp).c_str());
    std::printf("soak: at the end      %s\n", Describe(atEnd).c_str());
    const long changedFaces = g_imageSets.changed - setsAtWarmUp.changed;
    const long sameFaces = g_imageSets.same - setsAtWarmUp.same;
    const long gdiGrowth = atEnd.gdi - afterWarmUp.gdi;
    const long long memoryGrowth = atEnd.privateBytes - afterWarmUp.privateBytes;
    const long long heapGrowth = atEnd.heapBytes - afterWarmUp.heapBytes;
    const long heapBlockGrowth = atEnd.heapBlocks - afterWarmUp.heapBlocks;
    // What Wine keeps of its own accord: the buttons' copies of changed faces
    // (rounded up) and MCI's remains of the files opened since the warm-up.
    const long gdiForFaces = static_cast<long>(faceCost.gdi * changedFaces + 0.999);
    const long long bytesForWine = static_cast<long long>(faceCost.bytes * changedFaces) +
                                   static_cast<long long>(mciPerOpen * kOpensPerChange * (changes - changesAtWarmUp));
    std::printf("soak: after warm-up %ld button faces changed, %ld set again unchanged; a face change costs %.2f GDI "
                "objects and %.1f KB here, a file opened through MCI %.1f KB\n",
                changedFaces, sameFaces, faceCost.gdi, faceCost.bytes / 1024.0, mciPerOpen / 1024.0);
    std::printf("soak: growth after warm-up: GDI %+ld (%+ld beyond the faces' copies, bound %ld), USER %+ld (bound %ld), "
                "C++ heap %+.1f KB in %+ld blocks (bounds %lld KB, %ld), private %+.2f MB (%+.2f MB beyond what Wine "
                "keeps, bound %lld MB)\n",
                gdiGrowth, gdiGrowth - gdiForFaces, kMaxGdiGrowth, atEnd.user - afterWarmUp.user, kMaxUserGrowth,
                heapGrowth / 1024.0, heapBlockGrowth, kMaxHeapGrowth / 1024, kMaxHeapBlockGrowth,
                memoryGrowth / 1048576.0, (memoryGrowth - bytesForWine) / 1048576.0, kMaxMemoryGrowth / 1048576);
    std::fflush(stdout);

    ASSERT_TRUE(warmedUp);
    EXPECT_LT(gdiGrowth - gdiForFaces, kMaxGdiGrowth)
        << sameFaces << " times a button was given the face it already showed, " << faceCost.gdi
        << " GDI objects each here";
    EXPECT_LT(atEnd.user - afterWarmUp.user, kMaxUserGrowth);
    EXPECT_LT(heapGrowth, kMaxHeapGrowth);
    EXPECT_LT(heapBlockGrowth, kMaxHeapBlockGrowth);
    EXPECT_LT(memoryGrowth - bytesForWine, kMaxMemoryGrowth);
    EXPECT_GE(editor->List().GetCount(), kFewestItems - 3);
}

} // namespace

