#pragma once
// What the tray icon tells the shell goes through one function pointer, so
// that tests can watch the icon being added, changed and removed; and the
// tip shortening, which must never write past the 64 bytes of szTip.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace tray {

using NotifyIconFn = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

// The function in use: Shell_NotifyIconA unless a test installed another.
NotifyIconFn NotifyIcon();
// Installs fn (nullptr puts Shell_NotifyIconA back); returns the previous one.
NotifyIconFn SetNotifyIcon(NotifyIconFn fn);

// Copies text into a tip buffer of `size` bytes, always NUL-terminated. A text
// that does not fit is cut and ends with "..." in the last three places, and
// a double-byte character is never split.
void CopyTip(const char* text, char* tip, size_t size);

// The tip room of the first, 88-byte form of NOTIFYICONDATAA.
constexpr size_t kTipBytes = 64;

} // namespace tray
