#pragma once
// Case-insensitive comparison of track text, one code unit at a time: ASCII
// letters fold here, any other unit as the system's mapping says, looked up
// in a table made once so that a pass over 100,000 tracks calls nothing.

#include <cstddef>
#include <functional>
#include <type_traits>
#include <vector>

#include "playlist/play_queue.h"

class CCaseFolding {
public:
    using Unit = TrackText::value_type;
    // The system's lower-case mapping, applied in place to units at or above
    // 0x80 (each on its own: the mapping is one unit to one unit); without
    // one such units compare as they are. Asked once, for every such unit.
    using SystemFold = std::function<void(Unit* units, size_t count)>;

    explicit CCaseFolding(const SystemFold& systemFold = nullptr);

    Unit Fold(Unit unit) const
    {
        const auto index = static_cast<std::make_unsigned_t<Unit>>(unit);
        return index < m_table.size() ? m_table[index] : unit;
    }
    TrackText Folded(const TrackText& text) const;
    // a starts with b, unit for unit once folded.
    bool StartsWith(const TrackText& a, const TrackText& b) const;

private:
    std::vector<Unit> m_table;
};
