#include "editor/find_dlg.h"

#include "res/resource.h"

const fw::MessageMap<CFindDlg> CFindDlg::messageMap = {
    fw::Command(IDC_FIND_TEXT, EN_CHANGE, &CFindDlg::OnTextChange),
};

CFindDlg::CFindDlg(Search search) : fw::CDialogImpl<CFindDlg>(IDD_FIND), m_search(std::move(search)) {}

void CFindDlg::Open(HWND owner)
{
    if (!IsWindow()) {
        if (!Create(owner))
            return;
        RECT ownerRect{};
        ::GetWindowRect(owner, &ownerRect);
        const RECT own = GetWindowRect();
        const int x = ownerRect.right - (own.right - own.left) - 24;
        SetWindowPos(nullptr, x > ownerRect.left ? x : ownerRect.left, ownerRect.top + 48, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    const fw::CWindow edit = Item(IDC_FIND_TEXT);
    edit.SetFocus();
    edit.SendMessage(EM_SETSEL, 0, -1);
}

std::wstring CFindDlg::Text() const { return IsWindow() ? Item(IDC_FIND_TEXT).GetWindowText() : std::wstring(); }

void CFindDlg::OnTextChange() { m_search(Text(), false); }

void CFindDlg::OnOK() { m_search(Text(), true); }

void CFindDlg::OnCancel()
{
    ShowWindow(SW_HIDE);
    if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER))
        ::SetForegroundWindow(owner);
}
