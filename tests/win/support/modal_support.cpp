#include "support/modal_support.h"

#include "framework/dialog.h"

namespace testing_support {

int RealBoxesUi::MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    boxes.push_back({text ? text : "", caption ? caption : "", type});
    return ::MessageBoxA(owner, text, caption, type);
}

bool RealBoxesUi::PrintDlg(PRINTDLGA& pd)
{
    ++printDialogs;
    return ::PrintDlgA(&pd) != FALSE;
}

namespace {

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param)
{
    BoxSearch& search = *reinterpret_cast<BoxSearch*>(param);
    char name[16] = "";
    ::GetClassNameA(window, name, sizeof name);
    // The player is an owned #32770 too, but has no caption.
    if (::GetWindow(window, GW_OWNER) == search.owner && ::lstrcmpA(name, "#32770") == 0 &&
        ::IsWindowVisible(window) && (::GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

BoxAnswerer::BoxAnswerer(HWND owner, std::vector<Answer> answers)
    : m_thread(&BoxAnswerer::Run, this, owner, std::move(answers))
{
}

const std::vector<std::string>& BoxAnswerer::Captions()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_captions;
}

void BoxAnswerer::Run(HWND owner, std::vector<Answer> answers)
{
    HWND previous = nullptr;
    for (const Answer& answer : answers) {
        BoxSearch search{owner, nullptr};
        if (!Poll([&] {
                search.found = nullptr;
                ::EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
                return search.found && search.found != previous;
            }))
            return;
        m_captions.push_back(TextOf(search.found));
        if (answer.meanwhile)
            answer.meanwhile();
        PostCommand(search.found, answer.button);
        previous = search.found;
        Poll([&] { return !::IsWindow(previous); });
    }
}

bool Poll(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
        ::Sleep(20);
    }
    return true;
}

std::string TextOf(HWND window)
{
    char text[512] = "";
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                          &result);
    return text;
}

void PostCommand(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

bool PumpTicks(HWND window, UINT_PTR id, int ticks, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (ticks > 0 && ::GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (ticks > 0 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == id)
                --ticks;
            if (!fw::IsModelessDialogMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return ticks <= 0;
}

bool StartUnix(std::string commandLine)
{
    // Without handles of its own the program would write into this one's
    // output; and Wine fills in no handles to wait on or to close.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const BOOL started =
        ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::CloseHandle(nul);
    return started != FALSE;
}

} // namespace testing_support
