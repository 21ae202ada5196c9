#pragma once
// Message maps as typed tables: each dialog class lists its handlers in one
// static array of rows {message, control id, notification code, handler}.
// Dispatch needs no window, so tables can be tested on their own.
#include <windows.h>
#include <cstddef>

namespace fw {

// Matches any control id or notification code. Not 0: BN_CLICKED is 0.
constexpr UINT kAny = 0xFFFFFFFFu;

template <class T>
struct MessageMapEntry {
    UINT message;
    UINT id;   // WM_COMMAND / WM_NOTIFY: the control or command id
    UINT code; // WM_COMMAND: the notification code; WM_NOTIFY: NMHDR::code
    void (T::*command)();                  // WM_COMMAND rows
    LRESULT (T::*handler)(WPARAM, LPARAM); // every other row
};

// A command or control notification: ON_COMMAND / ON_BN_CLICKED and friends.
template <class T>
constexpr MessageMapEntry<T> Command(UINT id, UINT code, void (T::*fn)())
{
    return {WM_COMMAND, id, code, fn, nullptr};
}

// A menu or accelerator command (any notification code).
template <class T>
constexpr MessageMapEntry<T> Command(UINT id, void (T::*fn)())
{
    return {WM_COMMAND, id, kAny, fn, nullptr};
}

// A WM_NOTIFY from a control (kAny for every control).
template <class T>
constexpr MessageMapEntry<T> Notify(UINT id, UINT code, LRESULT (T::*fn)(WPARAM, LPARAM))
{
    return {WM_NOTIFY, id, code, nullptr, fn};
}

// Any other window message.
template <class T>
constexpr MessageMapEntry<T> Message(UINT message, LRESULT (T::*fn)(WPARAM, LPARAM))
{
    return {message, kAny, kAny, nullptr, fn};
}

// Finds the first row that matches and runs it. Returns whether one ran.
template <class T, size_t N>
bool DispatchMessageMap(T& self, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result)
{
    UINT id = kAny, code = kAny;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY && lParam != 0) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageMapEntry<T>& row : map) {
        if (row.message != message)
            continue;
        if (row.id != kAny && row.id != id)
            continue;
        if (row.code != kAny && row.code != code)
            continue;
        if (row.command) {
            (self.*row.command)();
            result = 0;
        } else {
            result = (self.*row.handler)(wParam, lParam);
        }
        return true;
    }
    return false;
}

} // namespace fw
