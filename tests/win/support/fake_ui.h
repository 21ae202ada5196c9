#pragma once
// The tests' side of the UI seam: answers message boxes, file dialogs and the
// Print dialog from a script and records everything that was shown or sounded.
// Constructing one installs it; destroying it puts the real seam back.
#include "framework/ui_seam.h"

#include <shellapi.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

struct ShownFileDialog {
    bool open;
    DWORD flags;
    std::string initialDir;
    std::string defaultExtension;
    std::string filter; // '|'-separated again, for easy comparison
    DWORD bufferChars;
};

using FileAnswer = std::function<bool(OPENFILENAMEA&)>;
using PrintAnswer = std::function<bool(PRINTDLGA&)>;

class FakeUi : public ui::IUiSeam {
public:
    FakeUi();
    ~FakeUi() override;

    // Message boxes: answered from the front of `answers`, else defaultAnswer.
    std::deque<int> answers;
    int defaultAnswer = IDOK;
    std::vector<ShownBox> boxes;

    // File dialogs: answered from the front of `fileAnswers`, else cancelled.
    std::deque<FileAnswer> fileAnswers;
    std::vector<ShownFileDialog> fileDialogs;

    // Print dialogs: answered from the front of `printAnswers`, else cancelled.
    std::deque<PrintAnswer> printAnswers;
    int printDialogs = 0;

    std::vector<UINT> beeps;
    DWORD extendedError = 0;

    // Answers that choose a file, several files of one folder, or cancel.
    static FileAnswer Choose(const std::string& fullPath);
    static FileAnswer ChooseMany(const std::string& folder, const std::vector<std::string>& names);
    static FileAnswer Cancel();

    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    bool GetOpenFileName(OPENFILENAMEA& ofn) override;
    bool GetSaveFileName(OPENFILENAMEA& ofn) override;
    bool PrintDlg(PRINTDLGA& pd) override;
    void MessageBeep(UINT type) override;
    DWORD CommDlgExtendedError() override { return extendedError; }

private:
    bool FileDialog(bool open, OPENFILENAMEA& ofn);
    ui::IUiSeam* m_previous;
};

// The Windows path of a test fixture (the folder is given by QUILLON_FIXTURES).
std::string FixturePath(const char* name);

// A fresh empty folder under %TEMP% that is deleted again with the object.
class ScratchDir {
public:
    explicit ScratchDir(const char* tag = "q");
    ~ScratchDir();
    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// A drop of these files as WM_DROPFILES carries it: a DROPFILES header, the
// ANSI names and a final NUL, in one movable global block (the receiver frees it).
HDROP MakeDrop(const std::vector<std::string>& files);

// size bytes from a generator seeded with seed: the same bytes on every run.
std::string RandomBytes(size_t size, unsigned seed);

// Little-endian 32-bit integers one after another, as continue.dat holds them.
std::string Int32s(const std::vector<int32_t>& values);

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

} // namespace testing_support
