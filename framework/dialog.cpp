#include "framework/dialog.h"

#include <algorithm>
#include <vector>

namespace fw {
namespace {

std::vector<HWND>& ModelessDialogs()
{
    static std::vector<HWND> dialogs;
    return dialogs;
}

// These messages return their value from the dialog procedure itself;
// every other handled message returns TRUE with its value in DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

bool IsModelessDialogMessage(MSG& msg)
{
    for (HWND dialog : ModelessDialogs()) {
        if (::IsDialogMessageW(dialog, &msg))
            return true;
    }
    return false;
}

CDialog::~CDialog()
{
    // No message may reach a half-destroyed object: cut the link first.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

bool CDialog::Create(HWND parent)
{
    m_modal = false;
    HWND hwnd = ::CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    // A dialog that gave up in OnInitDialog has destroyed itself already.
    if (!hwnd || !::IsWindow(hwnd))
        return false;
    ModelessDialogs().push_back(hwnd);
    return true;
}

INT_PTR CDialog::DoModal(HWND parent)
{
    m_modal = true;
    return ::DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

void CDialog::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK()
{
    if (m_modal)
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    if (m_modal)
        EndDialog(IDCANCEL);
    else
        DestroyWindow();
}

Reply CDialog::ProcessMessage(UINT, WPARAM, LPARAM) { return kDeclined; }

INT_PTR CDialog::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();

    const Reply reply = ProcessMessage(message, wParam, lParam);
    if (reply) {
        if (ReturnsDirectly(message))
            return static_cast<INT_PTR>(*reply);
        // The handler may have destroyed the window, and whoever owns this
        // object may have let go of it: only the handle is used from here on.
        if (::IsWindow(hwnd))
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *reply);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;

    INT_PTR handled = FALSE;
    // This toolchain's exceptions cannot unwind through user32: none may leave here.
    try {
        handled = self->HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        handled = FALSE;
    }

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        std::vector<HWND>& dialogs = ModelessDialogs();
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hwnd), dialogs.end());
        self->m_hWnd = nullptr;
        try {
            self->PostNcDestroy();
        } catch (...) {
        }
    }
    return handled;
}

} // namespace fw
