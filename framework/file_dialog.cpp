#include "framework/file_dialog.h"

#include "framework/ui_seam.h"

#include <cderr.h>

namespace fw {

CFileDialog::CFileDialog(bool open, const wchar_t* defaultExtension, DWORD flags, const wchar_t* filter, size_t bufferChars)
    : m_open(open), m_defaultExtension(defaultExtension ? defaultExtension : L""), m_buffer(bufferChars + 2, L'\0')
{
    for (const wchar_t* p = filter ? filter : L""; *p; ++p)
        m_filter.push_back(*p == L'|' ? L'\0' : *p);
    m_filter.push_back(L'\0');
    m_filter.push_back(L'\0');

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags;
}

int CFileDialog::DoModal(HWND owner)
{
    failedBufferTooSmall = false;
    m_ofn.hwndOwner = owner;
    m_ofn.hInstance = nullptr;
    m_ofn.lpstrFilter = m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_buffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_buffer.size() - 2);
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();

    bool ok = m_open ? ui::Ui().GetOpenFileName(m_ofn) : ui::Ui().GetSaveFileName(m_ofn);
    if (!ok) {
        failedBufferTooSmall = ui::Ui().CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        return IDCANCEL;
    }
    return IDOK;
}

std::wstring CFileDialog::GetPathName() const
{
    std::vector<std::wstring> paths = GetSelectedPaths();
    return paths.empty() ? std::wstring() : paths.front();
}

std::vector<std::wstring> CFileDialog::GetSelectedPaths() const
{
    return SplitMultiSelection(m_buffer.data(), m_buffer.size(), m_ofn.nFileOffset);
}

std::vector<std::wstring> SplitMultiSelection(const wchar_t* buffer, size_t bufferChars, size_t fileOffset)
{
    std::vector<std::wstring> paths;
    size_t pos = 0;
    auto next = [&](std::wstring& out) {
        size_t start = pos;
        while (pos < bufferChars && buffer[pos] != L'\0')
            ++pos;
        out.assign(buffer + start, pos - start);
        if (pos < bufferChars)
            ++pos; // the NUL
        return !out.empty();
    };

    std::wstring first;
    if (!next(first))
        return paths;
    // One file: the dialog wrote its full path, and the name starts inside it.
    if (fileOffset > 0 && fileOffset < first.size()) {
        paths.push_back(first);
        return paths;
    }
    std::wstring folder = first;
    if (!folder.empty() && folder.back() != L'\\')
        folder.push_back(L'\\');
    std::wstring name;
    while (next(name))
        paths.push_back(folder + name);
    if (paths.empty())
        paths.push_back(first);
    return paths;
}

} // namespace fw
