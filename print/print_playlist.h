#pragma once
// File > Print: what the editor calls to print its list.
#include <windows.h>

#include <string>
#include <vector>

#include "playlist/shared_text.h"

// The Print dialog, owned by owner, then the heading centred on top, a blank
// line and one line per entry in a fixed-pitch font, spooled under docName.
// An empty list is told ("There is nothing to print", over owner) and shows
// no dialog.
void PrintPlaylist(HWND owner, const std::wstring& heading, const std::wstring& docName,
                   const std::vector<SharedText>& lines);
