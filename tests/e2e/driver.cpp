#include "driver.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <functional>

namespace e2e {
namespace {

struct Search {
    DWORD pid;
    std::function<bool(HWND)> accept;
    HWND found;
};

BOOL CALLBACK SearchTop(HWND hwnd, LPARAM lParam)
{
    Search& s = *reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s.pid || !s.accept(hwnd))
        return TRUE;
    s.found = hwnd;
    return FALSE;
}

HWND FindTopNow(DWORD pid, std::function<bool(HWND)> accept)
{
    Search s{pid, std::move(accept), nullptr};
    ::EnumWindows(SearchTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool IsVisibleDialog(HWND hwnd)
{
    char cls[16] = "";
    ::GetClassNameA(hwnd, cls, sizeof cls);
    return ::IsWindowVisible(hwnd) && std::strcmp(cls, "#32770") == 0;
}

// A message box: a visible dialog whose text sits in static 0xFFFF.
HWND FindMessageBoxNow(DWORD pid)
{
    return FindTopNow(pid, [](HWND hwnd) { return IsVisibleDialog(hwnd) && ::GetDlgItem(hwnd, 0xFFFF); });
}

// A file dialog: a visible dialog with the file-name combo (0x47C) or edit (0x480).
HWND FindFileDialogNow(DWORD pid)
{
    return FindTopNow(pid, [](HWND hwnd) {
        return IsVisibleDialog(hwnd) && (::GetDlgItem(hwnd, 0x47C) || ::GetDlgItem(hwnd, 0x480));
    });
}

} // namespace

Program::~Program()
{
    if (m_pi.hProcess) {
        if (Running())
            Kill();
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
}

bool Program::Launch(const std::string& exe, const std::string& startDir)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string commandLine = "\"" + exe + "\"";
    return ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, startDir.c_str(), &si,
                            &m_pi) != FALSE;
}

bool Program::Running() const
{
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitExit(DWORD timeoutMs, DWORD& exitCode)
{
    if (::WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    ::GetExitCodeProcess(m_pi.hProcess, &exitCode);
    return true;
}

void Program::Kill()
{
    ::TerminateProcess(m_pi.hProcess, 99);
    ::WaitForSingleObject(m_pi.hProcess, 10000);
}

HWND Program::Editor(DWORD timeoutMs) const
{
    return WaitTopWindow(Pid(), "#32770", "Zoravel's M3U Editor", false, timeoutMs);
}

HWND Program::Player(DWORD timeoutMs) const { return WaitTopWindow(Pid(), "#32770", "MP3 Player", false, timeoutMs); }

HWND Program::WaitMessageBox(std::string* text, std::string* caption, DWORD timeoutMs) const
{
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBoxNow(Pid())) != nullptr; }, timeoutMs);
    if (box) {
        if (text)
            *text = ControlText(box, 0xFFFF);
        if (caption)
            *caption = Title(box);
    }
    return box;
}

bool Program::AnswerMessageBox(int button, std::string* text, DWORD timeoutMs) const
{
    return e2e::AnswerMessageBox(Pid(), button, text, timeoutMs);
}

bool AnswerMessageBox(DWORD pid, int button, std::string* text, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBoxNow(pid)) != nullptr; }, timeoutMs);
    if (!box)
        return false;
    if (text)
        *text = ControlText(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, timeoutMs);
}

bool Program::AnswerFileDialog(const std::string& path, DWORD timeoutMs) const
{
    return e2e::AnswerFileDialog(Pid(), path, timeoutMs);
}

bool AnswerFileDialog(DWORD pid, const std::string& path, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindFileDialogNow(pid)) != nullptr; }, timeoutMs))
        return false;
    HWND name = ::GetDlgItem(dialog, 0x47C);
    if (!name)
        name = ::GetDlgItem(dialog, 0x480);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitFor([&] { return !::IsWindow(dialog); }, timeoutMs);
}

bool Program::CancelFileDialog(DWORD timeoutMs) const
{
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindFileDialogNow(Pid())) != nullptr; }, timeoutMs))
        return false;
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return WaitFor([&] { return !::IsWindow(dialog); }, timeoutMs);
}

HWND WaitTopWindow(DWORD pid, const char* className, const char* titlePrefix, bool mustBeVisible, DWORD timeoutMs)
{
    auto accept = [=](HWND hwnd) {
        if (mustBeVisible && !::IsWindowVisible(hwnd))
            return false;
        char cls[64] = "";
        ::GetClassNameA(hwnd, cls, sizeof cls);
        if (className && std::strcmp(cls, className) != 0)
            return false;
        return !titlePrefix || Title(hwnd).compare(0, std::strlen(titlePrefix), titlePrefix) == 0;
    };
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopNow(pid, accept)) != nullptr; }, timeoutMs);
    return found;
}

void PostCommand(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void Click(HWND dialog, int controlId) { ::PostMessageA(::GetDlgItem(dialog, controlId), BM_CLICK, 0, 0); }

std::string ControlText(HWND dialog, int controlId)
{
    HWND control = ::GetDlgItem(dialog, controlId);
    char text[1024] = "";
    ::SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Title(HWND window)
{
    char text[1024] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

int ListCount(HWND list) { return static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); }

// Wine hands LB_GETTEXT across processes as UTF-16 whatever was asked: ask for it.
std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    int count = ListCount(list);
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(::SendMessageW(list, LB_GETTEXTLEN, i, 0));
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        int got = static_cast<int>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0])));
        wide.resize(got > 0 ? static_cast<size_t>(got) : 0);
        std::string narrow(wide.size() * 2 + 1, '\0');
        int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &narrow[0],
                                      static_cast<int>(narrow.size()), nullptr, nullptr);
        narrow.resize(n > 0 ? static_cast<size_t>(n) : 0);
        items.push_back(narrow);
    }
    return items;
}

bool IsChecked(HWND dialog, int controlId)
{
    return ::SendMessageA(::GetDlgItem(dialog, controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DropFiles(HWND target, DWORD pid, const std::vector<std::string>& files)
{
    std::string names;
    for (const std::string& f : files) {
        names += f;
        names.push_back('\0');
    }
    names.push_back('\0');
    std::vector<char> block(sizeof(DROPFILES) + names.size());
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, names.data(), names.size());

    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    bool ok = remote && ::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    ::CloseHandle(process);
    return ok && ::PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

HWND TrayWindow(DWORD pid, DWORD timeoutMs)
{
    auto accept = [](HWND hwnd) {
        char cls[64] = "";
        ::GetClassNameA(hwnd, cls, sizeof cls);
        if (!std::strcmp(cls, "#32770") || !std::strcmp(cls, "#32768") || !lstrcmpiA(cls, "tooltips_class32") ||
            !lstrcmpiA(cls, "IME"))
            return false;
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        return Title(hwnd).empty() && r.right - r.left == 10 && r.bottom - r.top == 10;
    };
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopNow(pid, accept)) != nullptr; }, timeoutMs);
    return found;
}

bool PostTrayMouse(DWORD pid, UINT iconId, UINT mouseMessage, DWORD timeoutMs)
{
    HWND tray = TrayWindow(pid, timeoutMs);
    return tray && ::PostMessageA(tray, ::RegisterWindowMessageA("TRAY_MSG"), iconId, mouseMessage);
}

HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs)
{
    return WaitTopWindow(pid, "#32768", nullptr, true, timeoutMs);
}

void PostKey(HWND window, UINT virtualKey)
{
    const UINT scan = ::MapVirtualKeyA(virtualKey, 0);
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace e2e
