#pragma once
// The stepping of the title marquee, apart from any painting so that it can
// be checked without a window: which character a title that does not fit is
// painted from on this tick, and where the next tick starts.
#include <functional>

// The title painter's state: one per player window.
struct MarqueeState {
    int listIndex = -1;         // the track whose title scrolls
    const wchar_t* text = nullptr; // the text being painted (UTF-16), or none
    int offset = 0;             // leading characters skipped
    bool forward = true;        // offset grows each tick
    bool started = false;       // the first paint has happened
};

// The first paint ever fixes the track the marquee starts on (-1: none), so
// that a title already current at start-up does not count as a new track.
void MarqueeFirstPaint(MarqueeState& state, int trackListIndex);

// One non-blank paint of a text of textLength characters in an area
// areaWidth pixels wide; widthFrom(i) is the width of the text from
// character i to its end. Returns the character to paint from: never the
// second half of a surrogate pair of state.text, when it is set.
int MarqueeNextOffset(MarqueeState& state, int trackListIndex, int textLength, int areaWidth,
                      const std::function<int(int)>& widthFrom);
