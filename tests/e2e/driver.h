#pragma once
// Drives the built program from a second process, the way a user does: finds
// its windows, clicks, answers its message boxes and file dialogs, uses its
// tray icon and reads what the windows show.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Bounded poll: true when pred() held before timeoutMs passed.
template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs = 15000)
{
    for (const DWORD start = ::GetTickCount(); !pred(); ::Sleep(20))
        if (::GetTickCount() - start >= timeoutMs)
            return pred();
    return true;
}

inline std::string Text(HWND window)
{
    char text[1024] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}
inline std::string ControlText(HWND dialog, int id) { return Text(::GetDlgItem(dialog, id)); }
inline std::string ClassOf(HWND hwnd)
{
    char name[64] = "";
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The first top-level window of the process that accept() takes; null after the time-out.
inline HWND Wait(DWORD pid, const std::function<bool(HWND)>& accept, DWORD timeoutMs = 15000)
{
    struct Search {
        DWORD pid;
        const std::function<bool(HWND)>& accept;
        HWND found;
        static BOOL CALLBACK Each(HWND hwnd, LPARAM lParam)
        {
            Search& s = *reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            return owner == s.pid && s.accept(hwnd) ? (s.found = hwnd, FALSE) : TRUE;
        }
    } s{pid, accept, nullptr};
    WaitFor([&] { return ::EnumWindows(Search::Each, reinterpret_cast<LPARAM>(&s)), s.found != nullptr; }, timeoutMs);
    return s.found;
}
// A dialog of the process whose title starts so, visible if asked.
inline HWND Dialog(DWORD pid, const char* title, bool visible = false, DWORD timeoutMs = 15000)
{
    return Wait(pid, [&](HWND h) { return (!visible || ::IsWindowVisible(h)) && ClassOf(h) == "#32770" && Text(h).rfind(title, 0) == 0; }, timeoutMs);
}
inline HWND Editor(DWORD pid) { return Dialog(pid, "Zoravel's M3U Editor"); }
inline HWND Player(DWORD pid) { return Dialog(pid, "MP3 Player"); }
// A visible dialog holding control id: 0xFFFF, a message box's text; 0x47C, a file dialog's name.
inline HWND WaitDialogWith(DWORD pid, int id, DWORD timeoutMs = 15000)
{
    return Wait(pid, [&](HWND h) { return ::IsWindowVisible(h) && ClassOf(h) == "#32770" && ::GetDlgItem(h, id); }, timeoutMs);
}

inline void PostCommand(HWND window, int id, int code = 0) { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), 0); }
inline void Click(HWND dialog, int id) { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The next message box's "caption: text", then a posted button (IDYES...).
inline std::string AnswerMessageBox(DWORD pid, int button)
{
    HWND box = WaitDialogWith(pid, 0xFFFF);
    const std::string seen = box ? Text(box) + ": " + ControlText(box, 0xFFFF) : "no box";
    PostCommand(box, button);
    return WaitFor([&] { return !::IsWindowVisible(box); }) ? seen : seen + " (still up)";
}

// Types a full path into the next Open or Save as dialog and confirms it; an empty one cancels.
inline bool AnswerFileDialog(DWORD pid, const std::string& path)
{
    HWND dialog = WaitDialogWith(pid, 0x47C);
    ::SendMessageA(::GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostCommand(dialog, path.empty() ? IDCANCEL : IDOK);
    return dialog && WaitFor([&] { return !::IsWindow(dialog); });
}

// Right-clicks the tray icon (its hidden window: 10 by 10 at 0, 0) and takes the item `steps` down.
inline bool ChooseFromTrayMenu(DWORD pid, int steps)
{
    HWND tray = Wait(pid, [](HWND h) {
        RECT r{};
        return ::GetWindowRect(h, &r) && ClassOf(h)[0] != '#' && Text(h).empty() && r.left == 0 && r.top == 0 && r.right == 10 && r.bottom == 10;
    });
    ::PostMessageA(tray, ::RegisterWindowMessageA("TRAY_MSG"), 130 /* IDR_TRAYMENU */, WM_RBUTTONUP);
    HWND menu = Wait(pid, [](HWND h) { return ::IsWindowVisible(h) && ClassOf(h) == "#32768"; });
    for (int i = 0; i <= steps; ++i)
        ::PostMessageA(menu, WM_KEYDOWN, i < steps ? VK_DOWN : VK_RETURN, 0);
    return tray && menu && WaitFor([&] { return !::IsWindowVisible(menu); });
}

// Wine hands LB_GETTEXT across processes as UTF-16.
inline std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    for (int i = 0; i < static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        wchar_t wide[1024] = L"";
        char narrow[2048] = "";
        const int n = static_cast<int>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide)));
        ::WideCharToMultiByte(CP_ACP, 0, wide, n > 0 ? n : 0, narrow, sizeof narrow - 1, nullptr, nullptr);
        items.push_back(narrow);
    }
    return items;
}

// Starts the program in startDir; the process and its thread.
inline PROCESS_INFORMATION Launch(const std::string& exe, const std::string& startDir)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + exe + "\"";
    ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, startDir.c_str(), &si, &pi);
    return pi;
}

// Waits for the process to end; its exit code, or -1.
inline int ExitCode(HANDLE process)
{
    DWORD code = 0;
    return ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
}

} // namespace e2e
