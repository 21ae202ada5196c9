#pragma once
// What the player window needs of the window that hosts it (the editor), and
// nothing more: the list it plays, the list window's visibility, the tray
// icon, the way to close the program, and the host window itself for docking,
// its font and its icon.
#include <windows.h>

#include <string>

#include "playlist/shared_text.h"

class IPlayerHost {
public:
    // The host's window: the player docks under it, paints in its font and
    // shows its small icon in the tray.
    virtual HWND HostWindow() const = 0;

    // The list window shown (restored and brought forward) or hidden.
    virtual void ShowList(bool show) = 0;
    // Deselects every item, then selects the item at listIndex and gives it
    // the caret; -1 only deselects.
    virtual void SelectListItem(int listIndex) = 0;
    // The list's items, for putting the play order back into list order.
    virtual int ListCount() const = 0;
    virtual SharedText ListText(int listIndex) const = 0;
    // The selection's status line, after the player changed the selection.
    virtual void RefreshSelectionStatus() = 0;

    virtual void SetTrayTip(const wchar_t* text) = 0;
    virtual void SetTrayIcon(HICON icon) = 0;

    // Closes the program by its one close path, posted: the close destroys
    // the player, so it never runs inside the player's own handler.
    virtual void RequestClose() = 0;

protected:
    ~IPlayerHost() = default;
};
