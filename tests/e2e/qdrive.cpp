// qdrive: drives a running program from a script (./run's demo, the screenshot check).
//   qdrive launch EXE STARTDIR PIDFILE   starts the program, writes its pid
//   qdrive open PID PLAYLIST             File > Open of a playlist
//   qdrive play PID INDEX                double-clicks list item INDEX
//   qdrive show-player PID               slides the player out, if it is not
//   qdrive click-player PID ID           clicks a button of the player
//   qdrive place PID X Y                 moves the editor (the player follows)
//   qdrive close PID                     the close box; exits with the program's code
#include "driver.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kOpen = 57601, kTrackList = 1004, kPlayerButton = 1023; // res/resource.h

int Fail(const char* what) { return std::fprintf(stderr, "qdrive: %s\n", what), 2; }

} // namespace

// Wide arguments, so that a path may hold any character.
int wmain(int argc, wchar_t** argv)
{
    const std::wstring verb = argc > 2 ? argv[1] : L"";
    if (verb == L"launch" && argc == 5) {
        const PROCESS_INFORMATION pi = e2e::Launch(argv[2], argv[3]);
        if (FILE* f = ::_wfopen(argv[4], L"w"))
            std::fprintf(f, "%lu\n", pi.dwProcessId), std::fclose(f);
        return e2e::Editor(pi.dwProcessId) ? 0 : Fail("no editor window");
    }
    const DWORD pid = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 0;
    const HWND editor = e2e::Editor(pid);
    if (!editor)
        return Fail("no editor window (usage in qdrive.cpp)");
    const HWND list = ::GetDlgItem(editor, kTrackList);
    if (verb == L"open" && argc == 4) {
        e2e::PostCommand(editor, kOpen);
        if (!e2e::AnswerFileDialog(pid, argv[3]))
            return Fail("no Open dialog");
        return e2e::WaitFor([&] { return !e2e::ListItems(list).empty(); }) ? 0 : Fail("the playlist did not load");
    }
    if (verb == L"play" && argc == 4) {
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        ::SendMessageA(list, LB_SETSEL, TRUE, ::_wtoi(argv[3]));
        ::SendMessageA(list, LB_SETCARETINDEX, ::_wtoi(argv[3]), 0);
        e2e::PostCommand(editor, kTrackList, LBN_DBLCLK);
        return 0;
    }
    if (verb == L"show-player") {
        if (!e2e::Dialog(pid, L"MP3 Player", true, 0)) // the button toggles
            e2e::Click(editor, kPlayerButton);
        return e2e::Dialog(pid, L"MP3 Player", true) ? 0 : Fail("the player did not show");
    }
    if (verb == L"click-player" && argc == 4) {
        e2e::Click(e2e::Player(pid), ::_wtoi(argv[3]));
        return 0;
    }
    if (verb == L"place" && argc == 5) {
        ::SetWindowPos(editor, nullptr, ::_wtoi(argv[3]), ::_wtoi(argv[4]), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (verb == L"close") {
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        ::PostMessageA(editor, WM_CLOSE, 0, 0);
        const int code = e2e::ExitCode(process);
        return code >= 0 ? code : Fail("the program did not end");
    }
    return Fail("unknown command (usage in qdrive.cpp)");
}
