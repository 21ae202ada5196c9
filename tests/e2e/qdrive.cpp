// qdrive: drives a running program from a script (used by ./run's demo).
//   qdrive launch EXE STARTDIR PIDFILE   starts the program, writes its pid
//   qdrive open PID PLAYLIST             File > Open of a playlist
//   qdrive play PID INDEX                double-clicks list item INDEX
//   qdrive show-player PID               shows the player (its button), waits for the slide
//   qdrive click-player PID ID           clicks a button of the player window
//   qdrive place PID X Y                 moves the editor window (the player follows)
//   qdrive close PID                     the close box; exits with the program's code
#include "driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kOpenCommand = 57601;
constexpr int kTrackList = 1004;
constexpr int kPlayerButton = 1023;

int Fail(const char* what)
{
    std::fprintf(stderr, "qdrive: %s\n", what);
    return 2;
}

HWND EditorOf(DWORD pid) { return e2e::WaitTopWindow(pid, "#32770", "Zoravel's M3U Editor", false, 15000); }

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Fail("usage: qdrive launch|open|play|show-player|close ...");
    std::string verb = argv[1];

    if (verb == "launch" && argc == 5) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string commandLine = std::string("\"") + argv[2] + "\"";
        if (!::CreateProcessA(argv[2], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, argv[3], &si, &pi))
            return Fail("cannot start the program");
        if (FILE* f = std::fopen(argv[4], "w")) {
            std::fprintf(f, "%lu\n", pi.dwProcessId);
            std::fclose(f);
        }
        return EditorOf(pi.dwProcessId) ? 0 : Fail("no editor window");
    }

    DWORD pid = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    HWND editor = EditorOf(pid);
    if (!editor)
        return Fail("no editor window");

    if (verb == "open" && argc == 4) {
        e2e::PostCommand(editor, kOpenCommand);
        if (!e2e::AnswerFileDialog(pid, argv[3]))
            return Fail("no Open dialog");
        return e2e::WaitFor([&] { return e2e::ListCount(::GetDlgItem(editor, kTrackList)) > 0; }, 15000)
                   ? 0
                   : Fail("the playlist did not load");
    }
    if (verb == "play" && argc == 4) {
        HWND list = ::GetDlgItem(editor, kTrackList);
        int index = std::atoi(argv[3]);
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        ::SendMessageA(list, LB_SETSEL, TRUE, index);
        ::SendMessageA(list, LB_SETCARETINDEX, index, 0);
        ::PostMessageA(editor, WM_COMMAND, MAKEWPARAM(kTrackList, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (verb == "show-player") {
        // The player button toggles: a player shown since the last run stays.
        HWND shown = e2e::WaitTopWindow(pid, "#32770", "MP3 Player", true, 0);
        if (shown)
            return 0;
        e2e::Click(editor, kPlayerButton);
        HWND player = e2e::WaitTopWindow(pid, "#32770", "MP3 Player", true, 15000);
        return player ? 0 : Fail("the player did not show");
    }
    if (verb == "click-player" && argc == 4) {
        HWND player = e2e::WaitTopWindow(pid, "#32770", "MP3 Player", false, 15000);
        if (!player)
            return Fail("no player window");
        e2e::Click(player, std::atoi(argv[3]));
        return 0;
    }
    if (verb == "place" && argc == 5) {
        ::SetWindowPos(editor, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (verb == "close") {
        ::PostMessageA(editor, WM_CLOSE, 0, 0);
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (!process)
            return Fail("cannot watch the program");
        DWORD code = 1;
        bool ended = ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
        ::GetExitCodeProcess(process, &code);
        ::CloseHandle(process);
        return ended ? static_cast<int>(code) : Fail("the program did not end");
    }
    return Fail("unknown command");
}
