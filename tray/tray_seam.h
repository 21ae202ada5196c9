#pragma once
// What the tray icon tells the shell goes through one function pointer, so
// that tests can watch the icon being added, changed and removed; and the
// tip shortening, which must never write past the 64 characters of szTip.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace tray {

using NotifyIconFn = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

// The function in use: Shell_NotifyIconW unless a test installed another.
NotifyIconFn NotifyIcon();
// Installs fn (nullptr puts Shell_NotifyIconW back); returns the previous one.
NotifyIconFn SetNotifyIcon(NotifyIconFn fn);

// Copies text into a tip buffer of `size` characters, always NUL-terminated.
// A text that does not fit is cut and ends with "..." in the last three
// places, and a surrogate pair is never split.
void CopyTip(const wchar_t* text, wchar_t* tip, size_t size);

// The tip room of the first form of NOTIFYICONDATAW, in characters.
constexpr size_t kTipChars = 64;

} // namespace tray
