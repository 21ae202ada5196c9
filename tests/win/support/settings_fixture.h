#pragma once
// settings.dat records for tests that start the program on data files of
// their own: the record a run leaves behind, and the placements in it.
#include "persist/settings_record.h"

#include <string>

namespace testing_support {

// A stored window placement with the given show command and normal rectangle.
WindowPlacementImage Placement(uint32_t showCmd, int left, int top, int right, int bottom);

// The record a run of the program leaves: repeat on, volume 800, the player
// shown docked under the editor, and the given playlist as the last one.
SettingsRecord SettingsAsWritten(const std::string& lastPlaylist);

} // namespace testing_support
