#pragma once
// The tests' side of the UI seam: answers message boxes, file dialogs and the
// Print dialog from a script and records what was shown or sounded.
// Constructing one installs it; destroying it puts the real seam back.
// Beside it, the files and folders the window tests use.
#include "framework/ui_seam.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    std::string text, caption;
    UINT type;
};
struct ShownFileDialog {
    bool open;
    DWORD flags;
    std::string initialDir, filter; // the filter '|'-separated again, then the default extension
    DWORD bufferChars;
};
using FileAnswer = std::function<bool(OPENFILENAMEA&)>;
using PrintAnswer = std::function<bool(PRINTDLGA&)>;

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
    static FileAnswer Choose(const std::string& fullPath)
    {
        const size_t slash = fullPath.find_last_of('\\');
        return ChooseMany(fullPath.substr(0, slash), {fullPath.substr(slash + 1)});
    }
    static FileAnswer ChooseMany(const std::string& folder, const std::vector<std::string>& names)
    {
        return [folder, names](OPENFILENAMEA& ofn) {
            // One file comes back as its full path, several as the folder and their names.
            std::string block = names.size() == 1 ? folder + '\\' + names[0] + '\0' : folder + '\0';
            for (size_t i = names.size() == 1 ? 1 : 0; i < names.size(); ++i)
                block += names[i] + '\0';
            block.push_back('\0');
            if (block.size() > ofn.nMaxFile)
                return false;
            std::memcpy(ofn.lpstrFile, block.data(), block.size());
            ofn.nFileOffset = static_cast<WORD>(folder.size() + 1);
            return true;
        };
    }

    int MessageBox(HWND, const char* text, const char* caption, UINT type) override
    {
        boxes.push_back({text ? text : "", caption ? caption : "", type});
        return Take(answers, defaultAnswer);
    }
    bool GetOpenFileName(OPENFILENAMEA& ofn) override { return FileDialog(true, ofn); }
    bool GetSaveFileName(OPENFILENAMEA& ofn) override { return FileDialog(false, ofn); }
    bool PrintDlg(PRINTDLGA& pd) override { return ++printDialogs, Take(printAnswers, PrintAnswer([](PRINTDLGA&) { return false; }))(pd); }
    void MessageBeep(UINT type) override { beeps.push_back(type); }
    DWORD CommDlgExtendedError() override { return extendedError; }

private:
    bool FileDialog(bool open, OPENFILENAMEA& ofn)
    {
        ShownFileDialog shown{open, ofn.Flags, ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "", "", ofn.nMaxFile};
        for (const char* p = ofn.lpstrFilter; p && *p; p += std::strlen(p) + 1)
            shown.filter += std::string(p) + '|';
        shown.filter += std::string("|") + (ofn.lpstrDefExt ? ofn.lpstrDefExt : "");
        fileDialogs.push_back(shown);
        return Take(fileAnswers, FileAnswer([](OPENFILENAMEA&) { return false; }))(ofn);
    }
    ui::IUiSeam* m_previous;
};

// The Windows path of a generated MP3 (folder QUILLON_FIXTURES).
inline std::string FixturePath(const char* name)
{
    char folder[MAX_PATH] = ".";
    ::GetEnvironmentVariableA("QUILLON_FIXTURES", folder, sizeof folder);
    return std::string(folder) + "\\" + name;
}

// A fresh empty folder under %TEMP%, deleted again with the object.
class ScratchDir {
public:
    explicit ScratchDir(const char* tag = "q")
    {
        char temp[MAX_PATH] = "";
        ::GetTempPathA(sizeof temp, temp);
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 1000 && m_path.empty(); ++attempt) {
            const std::string name = temp + ("quillon-" + std::string(tag)) + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
            m_path = ::CreateDirectoryA(name.c_str(), nullptr) ? name : "";
        }
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// A drop of these files as WM_DROPFILES carries it (the receiver frees it).
inline HDROP MakeDrop(const std::vector<std::string>& files)
{
    std::string block(sizeof(DROPFILES), '\0');
    reinterpret_cast<DROPFILES*>(&block[0])->pFiles = sizeof(DROPFILES);
    for (const std::string& f : files)
        block += f + '\0';
    block.push_back('\0');
    HGLOBAL drop = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    std::memcpy(::GlobalLock(drop), block.data(), block.size());
    ::GlobalUnlock(drop);
    return static_cast<HDROP>(drop);
}

inline std::string ReadFileBytes(const std::string& path) // empty when unreadable
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}
inline bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Live GDI objects of this process: Wine 8's GetGuiResources answers 0, so
// there Wine's GDI handle table is counted instead.
inline int GdiObjectCount()
{
    const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n > 0 || !::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
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
