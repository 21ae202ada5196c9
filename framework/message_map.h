#pragma once
// Message maps as typed tables: each dialog class lists its handlers in one
// static array of rows, and fw::CDialogImpl dispatches its messages through
// it. Dispatch needs no window, so a table can be tested on its own.
#include <windows.h>

#include <optional>
#include <vector>

namespace fw {

// Matches any control id or notification code. Not 0: BN_CLICKED is 0.
constexpr UINT kAny = 0xFFFFFFFFu;

// What a handler answers: the message's result, or kDeclined to leave the
// message to the default dialog processing as if no row had matched.
using Reply = std::optional<LRESULT>;
inline constexpr std::nullopt_t kDeclined = std::nullopt;

enum class RowKind { Command, Notify, Size, Move, Message };

template <class T>
struct MessageMapEntry {
    RowKind kind;
    UINT message;
    UINT id;   // Command / Notify: the control or command id
    UINT code; // Command: the notification code; Notify: NMHDR::code
    void (T::*command)();
    Reply (T::*notify)(NMHDR&);
    Reply (T::*size)(UINT type, int cx, int cy);
    Reply (T::*move)(int x, int y);
    Reply (T::*handler)(WPARAM, LPARAM);
};

// A command or control notification: a button click, a list's double-click.
template <class T>
constexpr MessageMapEntry<T> Command(UINT id, UINT code, void (T::*fn)())
{
    return {RowKind::Command, WM_COMMAND, id, code, fn, nullptr, nullptr, nullptr, nullptr};
}

// A menu or accelerator command (any notification code).
template <class T>
constexpr MessageMapEntry<T> Command(UINT id, void (T::*fn)())
{
    return Command(id, kAny, fn);
}

// A WM_NOTIFY from a control (kAny for every control).
template <class T>
constexpr MessageMapEntry<T> Notify(UINT id, UINT code, Reply (T::*fn)(NMHDR&))
{
    return {RowKind::Notify, WM_NOTIFY, id, code, nullptr, fn, nullptr, nullptr, nullptr};
}

// WM_SIZE: the kind of sizing (SIZE_RESTORED...) and the new client size.
template <class T>
constexpr MessageMapEntry<T> Size(Reply (T::*fn)(UINT, int, int))
{
    return {RowKind::Size, WM_SIZE, kAny, kAny, nullptr, nullptr, fn, nullptr, nullptr};
}

// WM_MOVE: the client area's new top-left corner, in screen coordinates.
template <class T>
constexpr MessageMapEntry<T> Move(Reply (T::*fn)(int, int))
{
    return {RowKind::Move, WM_MOVE, kAny, kAny, nullptr, nullptr, nullptr, fn, nullptr};
}

// A class's table: its rows in the order they are tried.
template <class T>
using MessageMap = std::vector<MessageMapEntry<T>>;

// Any other window message.
template <class T>
constexpr MessageMapEntry<T> Message(UINT message, Reply (T::*fn)(WPARAM, LPARAM))
{
    return {RowKind::Message, message, kAny, kAny, nullptr, nullptr, nullptr, nullptr, fn};
}

// Runs the first row that matches. Returns its answer; kDeclined when no row
// matched or the handler declined. A command handler always handles (0).
template <class T>
Reply DispatchMessageMap(T& self, const MessageMap<T>& map, UINT message, WPARAM wParam, LPARAM lParam)
{
    UINT id = kAny, code = kAny;
    NMHDR* header = nullptr;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        header = reinterpret_cast<NMHDR*>(lParam);
        if (!header)
            return kDeclined;
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
        switch (row.kind) {
        case RowKind::Command:
            (self.*row.command)();
            return 0;
        case RowKind::Notify:
            return (self.*row.notify)(*header);
        case RowKind::Size:
            return (self.*row.size)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        case RowKind::Move:
            // Signed: a window on a monitor left of or above the primary one.
            return (self.*row.move)(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        case RowKind::Message:
            return (self.*row.handler)(wParam, lParam);
        }
    }
    return kDeclined;
}

} // namespace fw
