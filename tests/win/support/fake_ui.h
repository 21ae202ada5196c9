#pragma once
// The tests' side of the UI seam: answers message boxes, file dialogs and the
// Print dialog from a script and records what was shown or sounded.
// Constructing one installs it; destroying it puts the real seam back.
// Beside it, the files and folders the window tests use.
#include "framework/ui_seam.h"
#include "playlist/m3u.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct ShownBox { std::wstring text, caption; UINT type; };
// The filter '|'-separated again, then the default extension.
struct ShownFileDialog { bool open; DWORD flags; std::wstring initialDir, filter; DWORD bufferChars; };
using FileAnswer = std::function<bool(OPENFILENAMEW&)>;
using PrintAnswer = std::function<bool(PRINTDLGW&)>;

// The front of the queue, taken; `none` when it is empty.
template <class T>
T Take(std::deque<T>& queue, T none)
{
    const T front = queue.empty() ? none : queue.front();
    return queue.empty() ? none : (queue.pop_front(), front);
}

class FakeUi : public ui::IUiSeam {
public:
    FakeUi() : m_previous(ui::SetUi(this)) {}
    ~FakeUi() override { ui::SetUi(m_previous == this ? nullptr : m_previous); }

    std::deque<int> answers; // message boxes, from the front; then defaultAnswer
    int defaultAnswer = IDOK;
    std::vector<ShownBox> boxes;
    std::deque<FileAnswer> fileAnswers; // from the front; then cancelled
    std::vector<ShownFileDialog> fileDialogs;
    std::deque<PrintAnswer> printAnswers; // from the front; then cancelled
    int printDialogs = 0;
    std::vector<UINT> beeps;
    DWORD extendedError = 0;

    // The files chosen: one full path, or several names in one folder.
    static FileAnswer Choose(const std::wstring& fullPath)
    {
        const size_t slash = fullPath.find_last_of(L'\\');
        return ChooseMany(fullPath.substr(0, slash), {fullPath.substr(slash + 1)});
    }
    static FileAnswer ChooseMany(const std::wstring& folder, const std::vector<std::wstring>& names)
    {
        return [folder, names](OPENFILENAMEW& ofn) {
            // One file comes back as its full path, several as the folder and their names.
            std::wstring block = names.size() == 1 ? folder + L'\\' + names[0] + L'\0' : folder + L'\0';
            for (size_t i = names.size() == 1 ? 1 : 0; i < names.size(); ++i)
                block += names[i] + L'\0';
            block.push_back(L'\0');
            if (block.size() > ofn.nMaxFile)
                return false;
            std::wmemcpy(ofn.lpstrFile, block.data(), block.size());
            ofn.nFileOffset = static_cast<WORD>(folder.size() + 1);
            return true;
        };
    }

    int MessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        boxes.push_back({text ? text : L"", caption ? caption : L"", type});
        return Take(answers, defaultAnswer);
    }
    bool GetOpenFileName(OPENFILENAMEW& ofn) override { return FileDialog(true, ofn); }
    bool GetSaveFileName(OPENFILENAMEW& ofn) override { return FileDialog(false, ofn); }
    bool PrintDlg(PRINTDLGW& pd) override { return ++printDialogs, Take(printAnswers, PrintAnswer([](PRINTDLGW&) { return false; }))(pd); }
    void MessageBeep(UINT type) override { beeps.push_back(type); }
    DWORD CommDlgExtendedError() override { return extendedError; }

private:
    bool FileDialog(bool open, OPENFILENAMEW& ofn)
    {
        ShownFileDialog shown{open, ofn.Flags, ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"", L"", ofn.nMaxFile};
        for (const wchar_t* p = ofn.lpstrFilter; p && *p; p += std::wcslen(p) + 1)
            shown.filter += std::wstring(p) + L'|';
        shown.filter += std::wstring(L"|") + (ofn.lpstrDefExt ? ofn.lpstrDefExt : L"");
        fileDialogs.push_back(shown);
        return Take(fileAnswers, FileAnswer([](OPENFILENAMEW&) { return false; }))(ofn);
    }
    ui::IUiSeam* m_previous;
};

// The Windows path of a generated MP3 (folder QUILLON_FIXTURES).
inline std::wstring FixturePath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = L".";
    ::GetEnvironmentVariableW(L"QUILLON_FIXTURES", folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// A fresh empty folder under %TEMP%, deleted again with the object.
class ScratchDir {
public:
    explicit ScratchDir(const wchar_t* tag = L"q")
    {
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 1000 && m_path.empty(); ++attempt) {
            const std::wstring name = temp + (L"quillon-" + std::wstring(tag)) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
            m_path = ::CreateDirectoryW(name.c_str(), nullptr) ? name : L"";
        }
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// A drop of these files as WM_DROPFILES carries it (the receiver frees it).
inline HDROP MakeDrop(const std::vector<std::wstring>& files)
{
    const DROPFILES header{sizeof header, {}, FALSE, TRUE}; // wide names
    std::wstring block(sizeof header / sizeof(wchar_t), L'\0');
    std::memcpy(&block[0], &header, sizeof header);
    for (const std::wstring& f : files)
        block += f + L'\0';
    block.push_back(L'\0');
    HGLOBAL drop = ::GlobalAlloc(GMEM_MOVEABLE, block.size() * sizeof(wchar_t));
    std::memcpy(::GlobalLock(drop), block.data(), block.size() * sizeof(wchar_t));
    ::GlobalUnlock(drop);
    return static_cast<HDROP>(drop);
}

inline std::string ReadFileBytes(const std::wstring& path) // empty when unreadable
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}
// The bytes of a playlist of these tracks, lines ending in CR LF, as Save as
// writes them: in the ANSI code page while it holds every name.
inline std::string M3uBytes(const std::vector<std::wstring>& names, bool isM3u8 = false)
{
    const std::vector<SharedText> tracks(names.begin(), names.end());
    const IAnsiCodePage& codePage = SystemAnsiCodePage();
    return WriteM3u(tracks, SaveAsEncoding(isM3u8, tracks, codePage), LineEnd::CrLf, codePage);
}
// Bytes as characters U+0000..U+00FF, one each, as tests write them.
inline std::wstring Units(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    return std::wstring(data, data + bytes.size());
}
inline std::wstring FileText(const std::wstring& path) { return Units(ReadFileBytes(path)); }
inline bool WriteFileBytes(const std::wstring& path, const std::wstring& bytes) { return WriteFileBytes(path, std::string(bytes.begin(), bytes.end())); }
// An ASCII command line for WinExec.
inline std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }
inline bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Live GDI objects of this process: Wine 8's GetGuiResources answers 0, so
// there Wine's GDI handle table is counted instead.
inline int GdiObjectCount()
{
    const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n > 0 || !::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        return static_cast<int>(n);
    // Wine keeps the table in the PEB: 24-byte entries, a non-zero type byte for a handle in use.
    const char* peb = nullptr;
    asm("movl %%fs:0x30, %0" : "=r"(peb));
    const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + 0x94);
    int count = 0;
    for (int i = 0; table && i < 0x10000; ++i)
        count += table[24 * i + 14] != 0;
    return count;
}

} // namespace testing_support
