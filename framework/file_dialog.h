#pragma once
// The common Open and Save as dialogs as a value object: fields in, DoModal,
// results out. Shown through the UI seam, so tests answer them.
#include <windows.h>
#include <commdlg.h>
#include <string>
#include <vector>

namespace fw {

class CFileDialog {
public:
    // filter: "Name (*.x)|*.x|All Files (*.*)|*.*||" ('|' separates, as menus write it).
    CFileDialog(bool open, const wchar_t* defaultExtension, DWORD flags, const wchar_t* filter, size_t bufferChars = 260);

    std::wstring initialDir;

    // IDOK or IDCANCEL. failedBufferTooSmall tells a selection that did not fit.
    int DoModal(HWND owner);
    bool failedBufferTooSmall = false;

    // The chosen full path (first file of a multi-selection).
    std::wstring GetPathName() const;
    // Every chosen file as a full path, in the dialog's order.
    std::vector<std::wstring> GetSelectedPaths() const;

    // What the dialog was given and answered (tests read these through the seam).
    OPENFILENAMEW& Ofn() { return m_ofn; }

private:
    bool m_open;
    std::wstring m_defaultExtension;
    std::wstring m_filter; // NUL-separated, as OPENFILENAMEA wants it
    std::vector<wchar_t> m_buffer;
    OPENFILENAMEW m_ofn{};
};

// Splits what a multi-select dialog wrote into full paths: either one full
// path, or the folder followed by file names, each NUL-ended, then a NUL.
std::vector<std::wstring> SplitMultiSelection(const wchar_t* buffer, size_t bufferChars, size_t fileOffset);

} // namespace fw
