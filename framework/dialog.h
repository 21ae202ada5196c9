#pragma once
// The dialog base: modeless and modal dialogs from resource templates.
// `this` travels as the creation parameter, is kept in DWLP_USER from
// WM_INITDIALOG on and cleared at WM_NCDESTROY. A class with handlers derives
// from CDialogImpl<itself> and lists them in its static message map.
#include "framework/message_map.h"
#include "framework/window.h"

namespace fw {

class CDialog : public CWindow {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Modeless: creates the window (WM_INITDIALOG runs inside). False when no
    // window came of it, also when OnInitDialog destroyed it again.
    bool Create(HWND parent);
    // Modal: runs the dialog to its end and returns what EndDialog was given.
    INT_PTR DoModal(HWND parent);
    void EndDialog(INT_PTR result);
    void DestroyWindow();
    bool IsModal() const { return m_modal; }

protected:
    // Binds the controls (data exchange), then returns TRUE so that the
    // dialog manager puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    // Enter and Esc: a modal dialog ends with IDOK / IDCANCEL; a modeless one
    // ignores Enter and is destroyed by Esc unless the class says otherwise.
    virtual void OnOK();
    virtual void OnCancel();
    // After the window's last message.
    virtual void PostNcDestroy() {}
    // The class's handlers; kDeclined leaves the message to the default
    // processing. A dialog without handlers declines everything.
    virtual Reply ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Data exchange: attaches a control wrapper to the dialog item id.
    void BindControl(int id, CWindow& control) const { control.Attach(GetDlgItem(id)); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    bool m_modal = false;
};

// The base of a dialog class T with a message map: T declares
//   static const fw::MessageMap<T> messageMap;
// and befriends CDialogImpl<T> so that the map and its handlers may stay private.
template <class T>
class CDialogImpl : public CDialog {
protected:
    using CDialog::CDialog;

    Reply ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return DispatchMessageMap(static_cast<T&>(*this), T::messageMap, message, wParam, lParam);
    }
};

// Gives keyboard navigation (Tab, Enter, Esc, mnemonics) to every modeless
// dialog. The message loop calls it before translating a message.
bool IsModelessDialogMessage(MSG& msg);

// Runs messages until pred() holds or timeoutMs passes; returns pred().
// For modal-free waiting in tests and in the benchmark.
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsModelessDialogMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (pred())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return pred();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

} // namespace fw
