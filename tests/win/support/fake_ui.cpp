#include "support/fake_ui.h"

#include <cstdio>
#include <random>
#include <cstring>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace testing_support {

FakeUi::FakeUi() : m_previous(ui::SetUi(this)) {}

FakeUi::~FakeUi() { ui::SetUi(m_previous == this ? nullptr : m_previous); }

int FakeUi::MessageBox(HWND, const char* text, const char* caption, UINT type)
{
    boxes.push_back({text ? text : "", caption ? caption : "", type});
    if (answers.empty())
        return defaultAnswer;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeUi::FileDialog(bool open, OPENFILENAMEA& ofn)
{
    ShownFileDialog shown{open, ofn.Flags, ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "",
                          ofn.lpstrDefExt ? ofn.lpstrDefExt : "", "", ofn.nMaxFile};
    for (const char* p = ofn.lpstrFilter; p && *p; p += std::strlen(p) + 1) {
        shown.filter += p;
        shown.filter += '|';
    }
    if (!shown.filter.empty())
        shown.filter += '|';
    fileDialogs.push_back(shown);
    if (fileAnswers.empty())
        return false;
    FileAnswer answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer(ofn);
}

bool FakeUi::GetOpenFileName(OPENFILENAMEA& ofn) { return FileDialog(true, ofn); }
bool FakeUi::GetSaveFileName(OPENFILENAMEA& ofn) { return FileDialog(false, ofn); }

bool FakeUi::PrintDlg(PRINTDLGA& pd)
{
    ++printDialogs;
    if (printAnswers.empty())
        return false;
    PrintAnswer answer = printAnswers.front();
    printAnswers.pop_front();
    return answer(pd);
}

void FakeUi::MessageBeep(UINT type) { beeps.push_back(type); }

FileAnswer FakeUi::Choose(const std::string& fullPath)
{
    return [fullPath](OPENFILENAMEA& ofn) {
        if (fullPath.size() + 1 > ofn.nMaxFile)
            return false;
        std::memcpy(ofn.lpstrFile, fullPath.c_str(), fullPath.size() + 1);
        size_t slash = fullPath.find_last_of('\\');
        ofn.nFileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
        size_t dot = fullPath.find_last_of('.');
        ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < ofn.nFileOffset ? 0 : dot + 1);
        return true;
    };
}

FileAnswer FakeUi::ChooseMany(const std::string& folder, const std::vector<std::string>& names)
{
    return [folder, names](OPENFILENAMEA& ofn) {
        std::string block = folder;
        block.push_back('\0');
        for (const std::string& name : names) {
            block += name;
            block.push_back('\0');
        }
        block.push_back('\0');
        if (block.size() > ofn.nMaxFile)
            return false;
        std::memcpy(ofn.lpstrFile, block.data(), block.size());
        ofn.nFileOffset = static_cast<WORD>(folder.size() + 1);
        return true;
    };
}

FileAnswer FakeUi::Cancel()
{
    return [](OPENFILENAMEA&) { return false; };
}

std::string FixturePath(const char* name)
{
    char folder[MAX_PATH] = "";
    DWORD n = ::GetEnvironmentVariableA("QUILLON_FIXTURES", folder, sizeof folder);
    std::string path = (n > 0 && n < sizeof folder) ? folder : ".";
    return path + "\\" + name;
}

ScratchDir::ScratchDir(const char* tag)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%squillon-%s-%lu-%u", temp, tag, ::GetCurrentProcessId(), counter++);
        if (::CreateDirectoryA(name, nullptr)) {
            m_path = name;
            break;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

ScratchDir::~ScratchDir()
{
    if (m_path.empty())
        return;
    std::string from = m_path;
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationA(&op);
}

HDROP MakeDrop(const std::vector<std::string>& files)
{
    size_t chars = 1;
    for (const std::string& f : files)
        chars += f.size() + 1;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* names = reinterpret_cast<char*>(header + 1);
    for (const std::string& f : files) {
        std::memcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    ::GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Int32s(const std::vector<int32_t>& values)
{
    std::string bytes;
    for (int32_t v : values) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((u >> shift) & 0xFF));
    }
    return bytes;
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace testing_support
