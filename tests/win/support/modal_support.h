#pragma once
// Real modal loops in window tests: real message boxes and the real Print
// dialog, answered from a second thread while the program's thread sits in
// their loops, where timers, the player and posted messages keep running.
#include "support/fake_ui.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The seam with real message boxes and the real Print dialog; file dialogs
// are still answered from fileAnswers, beeps still recorded.
class RealBoxesUi : public FakeUi {
public:
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    bool PrintDlg(PRINTDLGA& pd) override;
};

// One box or dialog: what to do to the program while it is up, then the
// button posted to it.
struct Answer {
    std::function<void()> meanwhile;
    int button;
};

// Answers the next boxes and dialogs owned by owner, in order, on a thread of
// its own. Each is found by a bounded poll; one not found ends the script.
class BoxAnswerer {
public:
    BoxAnswerer(HWND owner, std::vector<Answer> answers);
    ~BoxAnswerer() { Captions(); }
    // Waits for the script to end; the captions of the boxes it answered.
    const std::vector<std::string>& Captions();

private:
    void Run(HWND owner, std::vector<Answer> answers);
    std::vector<std::string> m_captions;
    std::thread m_thread;
};

// Bounded poll without a message loop (for the answering thread).
bool Poll(const std::function<bool()>& condition, DWORD timeoutMs = 15000);
// A window's text read from any thread; empty when its thread does not answer.
std::string TextOf(HWND window);
void PostCommand(HWND window, int id);
// Pumps this thread's messages until timer `id` of `window` has fired `ticks`
// times (false after timeoutMs).
bool PumpTicks(HWND window, UINT_PTR id, int ticks, DWORD timeoutMs = 15000);
// Starts a Linux program (Wine hands back no handle to wait on).
bool StartUnix(std::string commandLine);

} // namespace testing_support
