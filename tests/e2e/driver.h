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

inline std::wstring Text(HWND window)
{
    wchar_t text[1024] = L"";
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}
inline std::wstring ControlText(HWND dialog, int id) { return Text(::GetDlgItem(dialog, id)); }
inline std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = L"";
    ::GetClassNameW(hwnd, name, 64);
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
inline HWND Dialog(DWORD pid, const wchar_t* title, bool visible = false, DWORD timeoutMs = 15000)
{
    return Wait(pid, [&](HWND h) { return (!visible || ::IsWindowVisible(h)) && ClassOf(h) == L"#32770" && Text(h).rfind(title, 0) == 0; }, timeoutMs);
}
inline HWND Editor(DWORD pid) { return Dialog(pid, L"Zoravel's M3U Editor"); }
inline HWND Player(DWORD pid) { return Dialog(pid, L"MP3 Player"); }
// A visible dialog holding control id: 0xFFFF, a message box's text; 0x47C, a file dialog's name.
inline HWND WaitDialogWith(DWORD pid, int id, DWORD timeoutMs = 15000)
{
    return Wait(pid, [&](HWND h) { return ::IsWindowVisible(h) && ClassOf(h) == L"#32770" && ::GetDlgItem(h, id); }, timeoutMs);
}

inline void PostCommand(HWND window, int id, int code = 0) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), 0); }
inline void Click(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The next message box's "caption: text", then a posted button (IDYES...).
inline std::wstring AnswerMessageBox(DWORD pid, int button)
{
    HWND box = WaitDialogWith(pid, 0xFFFF);
    const std::wstring seen = box ? Text(box) + L": " + ControlText(box, 0xFFFF) : L"no box";
    PostCommand(box, button);
    return WaitFor([&] { return !::IsWindowVisible(box); }) ? seen : seen + L" (still up)";
}

// Types a full path into the next Open or Save as dialog and confirms it; an empty one cancels.
inline bool AnswerFileDialog(DWORD pid, const std::wstring& path)
{
    HWND dialog = WaitDialogWith(pid, 0x47C);
    ::SendMessageW(::GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostCommand(dialog, path.empty() ? IDCANCEL : IDOK);
    return dialog && WaitFor([&] { return !::IsWindow(dialog); });
}

// Right-clicks the tray icon (its hidden window: 10 by 10 at 0, 0) and takes the item `steps` down.
inline bool ChooseFromTrayMenu(DWORD pid, int steps)
{
    HWND tray = Wait(pid, [](HWND h) {
        RECT r{};
        return ::GetWindowRect(h, &r) && ClassOf(h)[0] != L'#' && Text(h).empty() && r.left == 0 && r.top == 0 && r.right == 10 && r.bottom == 10;
    });
    ::PostMessageW(tray, ::RegisterWindowMessageW(L"TRAY_MSG"), 130 /* IDR_TRAYMENU */, WM_RBUTTONUP);
    HWND menu = Wait(pid, [](HWND h) { return ::IsWindowVisible(h) && ClassOf(h) == L"#32768"; });
    for (int i = 0; i <= steps; ++i)
        ::PostMessageW(menu, WM_KEYDOWN, i < steps ? VK_DOWN : VK_RETURN, 0);
    return tray && menu && WaitFor([&] { return !::IsWindowVisible(menu); });
}

inline std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); ++i) {
        const int length = static_cast<int>(::SendMessageW(list, LB_GETTEXTLEN, i, 0));
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const int n = static_cast<int>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0])));
        text.resize(static_cast<size_t>(n > 0 && n < static_cast<int>(text.size()) ? n : 0));
        items.push_back(text);
    }
    return items;
}

// Starts the program in startDir; the process and its thread.
inline PROCESS_INFORMATION Launch(const std::wstring& exe, const std::wstring& startDir)
{
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, startDir.c_str(), &si, &pi);
    return pi;
}

// Waits for the process to end; its exit code, or -1.
inline int ExitCode(HANDLE process)
{
    DWORD code = 0;
    return ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
}

} // namespace e2e
