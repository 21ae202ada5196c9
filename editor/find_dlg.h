#pragma once
// The Find box: a small modeless window over the editor. Each change of its
// text finds from the focused item on; Enter and Find Next find from the
// item after it. The box only asks: the editor searches and selects.
#include "framework/dialog.h"

#include <functional>
#include <string>

class CFindDlg : public fw::CDialogImpl<CFindDlg> {
public:
    // next: from the item after the focused one rather than from it.
    using Search = std::function<void(const std::wstring& text, bool next)>;

    explicit CFindDlg(Search search);

    // Shows the box (made the first time, beside the owner's top right
    // corner) with its text selected and the keyboard in it.
    void Open(HWND owner);
    std::wstring Text() const;

protected:
    void OnOK() override;     // Enter and Find Next
    void OnCancel() override; // Esc and Close: the box hides, its text stays

private:
    friend class fw::CDialogImpl<CFindDlg>;
    static const fw::MessageMap<CFindDlg> messageMap;

    void OnTextChange();

    Search m_search;
};
