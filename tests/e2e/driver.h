#pragma once
// Drives the built program from a second process, the way a user does: finds
// its windows, clicks buttons and menu items, answers message boxes and file
// dialogs, drops files and reads what the windows show.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts exe with startDir as its current directory.
    bool Launch(const std::string& exe, const std::string& startDir);
    DWORD Pid() const { return m_pi.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; returns false on time-out.
    bool WaitExit(DWORD timeoutMs, DWORD& exitCode);
    void Kill();

    // The editor (caption starting with "Zoravel's M3U Editor") and the player ("MP3 Player").
    HWND Editor(DWORD timeoutMs = 15000) const;
    HWND Player(DWORD timeoutMs = 15000) const;

    // A visible message box of the program: its text, or empty after the time-out.
    HWND WaitMessageBox(std::string* text, std::string* caption, DWORD timeoutMs) const;
    // Posts a button of the next message box (IDYES, IDNO, IDCANCEL, IDOK).
    bool AnswerMessageBox(int button, std::string* text = nullptr, DWORD timeoutMs = 15000) const;
    // Types a full path into the next Open or Save as dialog and confirms it.
    bool AnswerFileDialog(const std::string& path, DWORD timeoutMs = 15000) const;
    // Cancels the next file dialog.
    bool CancelFileDialog(DWORD timeoutMs = 15000) const;

private:
    PROCESS_INFORMATION m_pi{};
};

// The same, for a process that was started elsewhere.
bool AnswerFileDialog(DWORD pid, const std::string& path, DWORD timeoutMs = 15000);
bool AnswerMessageBox(DWORD pid, int button, std::string* text = nullptr, DWORD timeoutMs = 15000);

// Top-level windows of a process that satisfy a test, waited for with a bounded poll.
HWND WaitTopWindow(DWORD pid, const char* className, const char* titlePrefix, bool mustBeVisible, DWORD timeoutMs);

void PostCommand(HWND window, int id);
void Click(HWND dialog, int controlId);
std::string ControlText(HWND dialog, int controlId);
std::string Title(HWND window);
std::vector<std::string> ListItems(HWND list);
int ListCount(HWND list);
bool IsChecked(HWND dialog, int controlId);
// Writes a DROPFILES block into the program and posts WM_DROPFILES to target.
bool DropFiles(HWND target, DWORD pid, const std::vector<std::string>& files);

// The tray icon's hidden window: a top-level window of the process with an
// empty title, 10 by 10 pixels, that is no dialog, tooltip or menu.
HWND TrayWindow(DWORD pid, DWORD timeoutMs = 15000);
// Posts the tray icon's callback as the shell does: "TRAY_MSG" with the
// icon's id and the mouse message (WM_RBUTTONUP...).
bool PostTrayMouse(DWORD pid, UINT iconId, UINT mouseMessage, DWORD timeoutMs = 15000);
// The visible popup menu (#32768) of the process, or null after the time-out.
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs = 15000);
// Posts a key press (down and up) to a window; a popup menu's loop takes it.
void PostKey(HWND window, UINT virtualKey);

// Bounded poll; true when pred() held before timeoutMs passed.
template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start >= timeoutMs)
            return pred();
        ::Sleep(20);
    }
    return true;
}

// The Windows path (Z:\...) of a Unix path, for files the tests share with Linux tools.
std::string WindowsPath(const std::string& unixPath);

} // namespace e2e
