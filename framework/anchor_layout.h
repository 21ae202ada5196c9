#pragma once
// Moves a dialog's controls when it is resized: each registered control keeps
// each of its edges either where it was (mode 1) or at its distance to the
// right or bottom edge of the client area (mode 2).
#include <windows.h>
#include <unordered_map>

enum AnchorMode { kAnchorFixed = 1, kAnchorFollow = 2 };

struct AnchorRecord {
    UINT id;
    RECT rect; // in the parent's client coordinates when registered
    int leftMode, rightMode, topMode, bottomMode;
};

class CAnchorLayout {
public:
    virtual ~CAnchorLayout() = default;

    void Attach(HWND parent);
    void AddControl(UINT id, int leftMode, int rightMode, int topMode, int bottomMode);
    void OnSize(int cx, int cy);

    // The control's rectangle for a client size of cx by cy, from its registered
    // rectangle and the client size W by H at Attach.
    static RECT CalcRect(const AnchorRecord& record, int cx, int cy, int W, int H);

    const AnchorRecord* Find(UINT id) const;
    // The client size taken at Attach, the base of every CalcRect.
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }

private:
    HWND m_parent = nullptr;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    std::unordered_map<UINT, AnchorRecord> m_records;
};
