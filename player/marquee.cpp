#include "player/marquee.h"

namespace {

// Unit i of the text is the second half of a surrogate pair.
bool InsidePair(const wchar_t* text, int length, int i)
{
    if (!text || i <= 0 || i >= length)
        return false;
    const unsigned unit = static_cast<unsigned>(text[i]);
    const unsigned before = static_cast<unsigned>(text[i - 1]);
    return unit >= 0xDC00 && unit <= 0xDFFF && before >= 0xD800 && before <= 0xDBFF;
}

} // namespace

void MarqueeFirstPaint(MarqueeState& state, int trackListIndex)
{
    if (state.started)
        return;
    state.started = true;
    state.listIndex = trackListIndex;
}

int MarqueeNextOffset(MarqueeState& state, int trackListIndex, int textLength, int areaWidth,
                      const std::function<int(int)>& widthFrom)
{
    if (textLength <= 0 || widthFrom(0) <= areaWidth)
        return 0; // fits: drawn still

    if (trackListIndex != state.listIndex) {
        // A new track starts at its first character.
        state.offset = 0;
        state.forward = true;
        state.listIndex = trackListIndex;
        return 0;
    }

    // The same list index can carry a shorter text after a move or removal.
    if (state.offset < 0)
        state.offset = 0;
    if (state.offset > textLength)
        state.offset = textLength;
    if (InsidePair(state.text, textLength, state.offset))
        --state.offset;

    const int drawFrom = state.offset;
    if (state.forward) {
        ++state.offset;
        if (InsidePair(state.text, textLength, state.offset))
            ++state.offset;
        // Turn once the end is in view; the end of the text always turns,
        // whatever the area's width.
        if (state.offset >= textLength || widthFrom(state.offset) < areaWidth)
            state.forward = false;
    } else {
        --state.offset;
        if (InsidePair(state.text, textLength, state.offset))
            --state.offset;
        if (state.offset <= 0) {
            state.offset = 0;
            state.forward = true;
        }
    }
    return drawFrom;
}
