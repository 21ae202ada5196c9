#include "support/settings_fixture.h"

#include <windows.h>

namespace testing_support {

WindowPlacementImage Placement(uint32_t showCmd, int left, int top, int right, int bottom)
{
    WindowPlacementImage p{};
    p.length = kWindowPlacementLength;
    p.showCmd = showCmd;
    p.ptMinPosition = {-1, -1};
    p.ptMaxPosition = {-1, -1};
    p.rcNormalPosition = {left, top, right, bottom};
    return p;
}

SettingsRecord SettingsAsWritten(const std::string& lastPlaylist)
{
    SettingsRecord r{};
    r.repeat = 1;
    r.volume = 800;
    r.playerShown = 1;
    r.playerPlacement = Placement(SW_SHOWNORMAL, 200, 420, 560, 500);
    r.editorPlacement = Placement(SW_SHOWNORMAL, 200, 150, 760, 420);
    SetPathField(r.lastPlaylist, lastPlaylist.c_str());
    return r;
}

} // namespace testing_support
