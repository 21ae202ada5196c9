#pragma once
// The stepping of the title marquee, apart from any painting so that it can
// be checked without a window: which character a title that does not fit is
// painted from on this tick, and where the next tick starts.
#include <functional>

struct MarqueeState;

// The first paint ever fixes the track the marquee starts on (-1: none), so
// that a title already current at start-up does not count as a new track.
void MarqueeFirstPaint(MarqueeState& state, int trackListIndex);

// One non-blank paint of a text of textLength characters in an area
// areaWidth pixels wide; widthFrom(i) is the width of the text from
// character i to its end. Returns the character to paint from.
int MarqueeNextOffset(MarqueeState& state, int trackListIndex, int textLength, int areaWidth,
                      const std::function<int(int)>& widthFrom);
