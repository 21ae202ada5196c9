#include "editor/missing_files.h"

#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

void CEntrySnapshot::Text(int index, TrackText& out) const
{
    if (index >= 0 && index < Count())
        out.assign(m_texts[static_cast<size_t>(index)].View());
    else
        out.clear();
}

CFileProbe::CFileProbe() : m_errorMode(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}

CFileProbe::~CFileProbe() { ::SetErrorMode(m_errorMode); }

FileState CFileProbe::Probe(const TrackText& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool root = !path.empty() && (path.back() == L'\\' || path.back() == L'/');
    if (root)
        return attributes != INVALID_FILE_ATTRIBUTES ? FileState::Present : FileState::Unreachable;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileState::Missing : FileState::Present;
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return FileState::Missing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileState::Present; // there, only not ours to read now
    default:
        // A drive or share that stopped answering, or anything not known
        // here: the track is kept rather than lost on a doubt.
        return FileState::Unreachable;
    }
}

const fw::MessageMap<CMissingCheckDlg> CMissingCheckDlg::messageMap = {
    fw::Message(WM_TIMER, &CMissingCheckDlg::OnTimer),
    fw::Message(kNextSlice, &CMissingCheckDlg::OnNextSlice),
};

CMissingCheckDlg::CMissingCheckDlg(CMissingTracks& check, const ITrackList& entries, IFileProbe& probe,
                                   std::function<bool()> abandon)
    : fw::CDialogImpl<CMissingCheckDlg>(IDD_MISSING_CHECK), m_check(check), m_entries(entries), m_probe(probe),
      m_abandon(std::move(abandon))
{
}

// The first slice comes on the first tick, after whatever is already
// waiting: a Cancel or a close asked for at once is seen before any work.
BOOL CMissingCheckDlg::OnInitDialog()
{
    fw::CDialog::OnInitDialog();
    Item(IDC_CHECK_PROGRESS).SendMessage(PBM_SETRANGE32, 0, m_check.Total());
    ShowProgress();
    ::SetTimer(m_hWnd, kSliceTimer, 1, nullptr);
    return TRUE;
}

fw::Reply CMissingCheckDlg::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam != kSliceTimer)
        return fw::kDeclined;
    ::KillTimer(m_hWnd, kSliceTimer);
    Slice();
    return 0;
}

fw::Reply CMissingCheckDlg::OnNextSlice(WPARAM, LPARAM)
{
    Slice();
    return 0;
}

void CMissingCheckDlg::Slice()
{
    if (m_abandon && m_abandon()) {
        EndDialog(IDCANCEL);
        return;
    }
    const DWORD start = ::GetTickCount();
    bool done = m_check.Done();
    while (!done && ::GetTickCount() - start < kSliceMs)
        done = m_check.Check(m_entries, m_probe, kEntriesPerCall);
    ShowProgress();
    if (done) {
        EndDialog(IDOK);
        return;
    }
    // Straight on while nothing else waits; a posted slice would come before
    // input, paint and ticks, so with anything waiting the next slice waits
    // for a tick of its own, which comes after them.
    ::UpdateWindow(m_hWnd);
    if (HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0)
        PostMessage(kNextSlice);
    else
        ::SetTimer(m_hWnd, kSliceTimer, 1, nullptr);
}

void CMissingCheckDlg::ShowProgress() const
{
    wchar_t text[96];
    std::swprintf(text, sizeof text / sizeof text[0], L"Checked %d of %d tracks...", m_check.Checked(), m_check.Total());
    Item(IDC_CHECK_STATUS).SetWindowText(text);
    Item(IDC_CHECK_PROGRESS).SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_check.Checked()));
}
