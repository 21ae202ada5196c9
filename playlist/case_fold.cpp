#include "playlist/case_fold.h"

#include <cstddef>

CCaseFolding::CCaseFolding(const SystemFold& systemFold)
{
    // Every unit of a byte text, and the basic plane of a UTF-16 one (where
    // every letter with a case lives).
    constexpr size_t kUnits = sizeof(Unit) == 1 ? 0x100 : 0x10000;
    m_table.resize(kUnits);
    for (size_t i = 0; i < kUnits; ++i)
        m_table[i] = static_cast<Unit>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
    if (systemFold)
        systemFold(m_table.data() + 0x80, kUnits - 0x80);
}

TrackText CCaseFolding::Folded(const TrackText& text) const
{
    TrackText folded = text;
    for (Unit& unit : folded)
        unit = Fold(unit);
    return folded;
}

bool CCaseFolding::StartsWith(const TrackText& a, const TrackText& b) const
{
    if (b.size() > a.size())
        return false;
    for (size_t i = 0; i < b.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}
