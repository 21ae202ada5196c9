#pragma once
// What the end-to-end tests share: the built program started in a scratch
// start-up directory, waited for and closed the way a user closes it, and the
// bytes of the files it writes spelled out.
#include "driver.h"
#include "res/resource.h"
#include "support/fake_ui.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e_tests {

using testing_support::FileExists;
using testing_support::FixturePath;
using testing_support::ReadFileBytes;
using testing_support::ScratchDir;
using testing_support::WriteFileBytes;

constexpr DWORD kWait = 15000;       // for anything the program does on its own
constexpr DWORD kExitWait = 20000;   // from the close to the end of the process
constexpr char kBaseTitle[] = "Zoravel's M3U Editor";

inline std::string ProgramPath() { return e2e::WindowsPath(QUILLON_EXE_UNIX); }

using testing_support::Int32s;

// The other way: the int32 values of continue.dat's bytes (a tail of fewer than 4 bytes is left out).
inline std::vector<int32_t> Int32sOf(const std::string& bytes)
{
    std::vector<int32_t> values;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        uint32_t u = 0;
        for (int b = 3; b >= 0; --b)
            u = u << 8 | static_cast<uint8_t>(bytes[i + static_cast<size_t>(b)]);
        values.push_back(static_cast<int32_t>(u));
    }
    return values;
}

// A playlist file as the program writes it: one path a line, CR LF after each.
inline std::string M3uBytes(const std::vector<std::string>& paths)
{
    std::string bytes;
    for (const std::string& p : paths)
        bytes += p + "\r\n";
    return bytes;
}

inline std::string Track(int n) { return FixturePath(("track" + std::to_string(n) + ".mp3").c_str()); }

// One run of the program in a start-up directory.
class ProgramRun {
public:
    explicit ProgramRun(const std::string& startDir) { m_started = m_program.Launch(ProgramPath(), startDir); }

    // The editor window once it exists (shown or not); null when the program did not come up.
    HWND Editor()
    {
        if (!m_editor && m_started)
            m_editor = m_program.Editor(kWait);
        return m_editor;
    }
    HWND Player()
    {
        if (!m_player && m_started)
            m_player = m_program.Player(kWait);
        return m_player;
    }
    HWND List() { return ::GetDlgItem(Editor(), IDC_TRACK_LIST); }
    e2e::Program& Program() { return m_program; }
    DWORD Pid() const { return m_program.Pid(); }

    // The close box; true when the process ended with exitCode.
    bool Close(DWORD& exitCode)
    {
        if (!Editor())
            return false;
        ::PostMessageA(Editor(), WM_CLOSE, 0, 0);
        return m_program.WaitExit(kExitWait, exitCode);
    }

    // File > Open of a playlist through the real Open dialog.
    bool Open(const std::string& playlist)
    {
        e2e::PostCommand(Editor(), ID_FILE_OPEN);
        return m_program.AnswerFileDialog(playlist, kWait);
    }

    // Returns once the program has handled what was posted to it before.
    bool Sync()
    {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutA(Editor(), WM_NULL, 0, 0, SMTO_NORMAL, kWait, &result) != 0;
    }

    // A double-click on list item index.
    void DoubleClick(int index)
    {
        HWND list = List();
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        ::SendMessageA(list, LB_SETSEL, TRUE, index);
        ::SendMessageA(list, LB_SETCARETINDEX, index, 0);
        ::PostMessageA(Editor(), WM_COMMAND, MAKEWPARAM(IDC_TRACK_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    }

    // Selects exactly these list items.
    void Select(const std::vector<int>& items)
    {
        HWND list = List();
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : items)
            ::SendMessageA(list, LB_SETSEL, TRUE, i);
        if (!items.empty())
            ::SendMessageA(list, LB_SETCARETINDEX, items.front(), 0);
    }

    std::vector<int> Selected()
    {
        HWND list = List();
        const int n = static_cast<int>(::SendMessageA(list, LB_GETSELCOUNT, 0, 0));
        std::vector<int> items(n > 0 ? static_cast<size_t>(n) : 0);
        if (n > 0)
            ::SendMessageA(list, LB_GETSELITEMS, n, reinterpret_cast<LPARAM>(items.data()));
        return items;
    }

    bool WaitItems(const std::vector<std::string>& expected)
    {
        return e2e::WaitFor([&] { return e2e::ListItems(List()) == expected; }, kWait);
    }
    bool WaitTitle(const std::string& expected)
    {
        return e2e::WaitFor([&] { return e2e::Title(Editor()) == expected; }, kWait);
    }
    bool WaitPlayerText(int id, const std::string& expected, DWORD timeoutMs = kWait)
    {
        return e2e::WaitFor([&] { return e2e::ControlText(Player(), id) == expected; }, timeoutMs);
    }

private:
    e2e::Program m_program;
    bool m_started = false;
    HWND m_editor = nullptr;
    HWND m_player = nullptr;
};

inline std::string Titled(const std::string& fileName) { return std::string(kBaseTitle) + " - " + fileName; }

} // namespace e2e_tests
