#pragma once
// Moves a dialog's controls when it is resized, from a table of control ids
// and anchor flags: each edge a flag names keeps its distance to the right or
// bottom edge of the client area; every other edge stays where it was.
#include <windows.h>

#include <cstddef>
#include <vector>

namespace fw {

enum AnchorEdge : unsigned {
    kFollowLeft = 1u,
    kFollowRight = 2u,
    kFollowTop = 4u,
    kFollowBottom = 8u,
};
// The usual combinations: a control that moves along, or grows.
constexpr unsigned kMoveX = kFollowLeft | kFollowRight;
constexpr unsigned kMoveY = kFollowTop | kFollowBottom;
constexpr unsigned kSizeX = kFollowRight;
constexpr unsigned kSizeY = kFollowBottom;

// One row of a dialog's resize map.
struct AnchorRow {
    int id;
    unsigned flags;
};

class CAnchorLayout {
public:
    // Registers each row's control where it stands now, against the
    // parent's client size now. A row whose control is missing is skipped.
    template <size_t N>
    void Attach(HWND parent, const AnchorRow (&rows)[N])
    {
        Attach(parent, rows, N);
    }
    void Attach(HWND parent, const AnchorRow* rows, size_t count);
    void OnSize(int cx, int cy);

    // A control's rectangle for a client size of cx by cy, from its
    // registered rectangle and flags and the client size W by H at Attach.
    static RECT CalcRect(const RECT& registered, unsigned flags, int cx, int cy, int W, int H);

    // The rectangle a control was registered with; null when it was not.
    const RECT* Registered(int id) const;
    // The client size taken at Attach, the base of every CalcRect.
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }

private:
    struct Record {
        int id;
        unsigned flags;
        RECT rect; // in the parent's client coordinates
    };

    HWND m_parent = nullptr;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    std::vector<Record> m_records;
};

} // namespace fw
