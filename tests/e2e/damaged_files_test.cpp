// Damaged settings.dat and continue.dat in the start-up directory: the
// program still starts quietly, shows a window that can be reached and
// used, exits with 0 and leaves the playlist file alone.
#include "e2e_fixture.h"
#include "persist/settings_record.h"
#include "support/settings_fixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>

namespace e2e_tests {
namespace {

using testing_support::RandomBytes;

using testing_support::Placement;

// settings.dat as a run leaves it, naming the playlist, changed by `damage`.
std::string Settings(const std::string& playlist, const std::function<void(SettingsRecord&)>& damage = nullptr)
{
    SettingsRecord r = testing_support::SettingsAsWritten(playlist);
    if (damage)
        damage(r);
    const auto image = SerializeSettings(r);
    return std::string(image.begin(), image.end());
}

bool OnScreen(HWND hwnd)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return r.right - r.left >= 50 && r.bottom - r.top >= 20 && r.left < left + width && r.right > left &&
           r.top < top + height && r.bottom > top;
}

struct Damage {
    const char* name;
    std::function<std::string(const std::string& playlist)> settings; // null: no file
    std::string resume;                                               // with `hasResume`
    bool hasResume;
    int tracks; // list items after the start: 5 when the playlist is reloaded
};

TEST(DamagedDataFiles, TheProgramStartsUsableExitsCleanlyAndLeavesThePlaylistAlone)
{
    const Damage cases[] = {
        {"both files empty", [](const std::string&) { return std::string(); }, "", true, 0},
        {"settings cut inside the editor placement",
         [](const std::string& p) { return Settings(p).substr(0, 70); }, "", false, 0},
        {"settings of random bytes", [](const std::string&) { return RandomBytes(884, 11); }, "", false, 0},
        {"settings far too long, random", [](const std::string&) { return RandomBytes(70000, 12); }, "", false, 0},
        {"editor off the screen, list and player hidden",
         [](const std::string& p) {
             return Settings(p, [](SettingsRecord& r) {
                 r.editorPlacement = Placement(SW_HIDE, 40000, 40000, 40600, 40300);
                 r.listHidden = 1;
                 r.playerShown = 0;
             });
         },
         "", false, 5},
        {"resume with a huge count", [](const std::string& p) { return Settings(p); }, Int32s({INT_MAX, 0, 4, 3}),
         true, 5},
        {"resume with -1 and repeated indexes", [](const std::string& p) { return Settings(p); },
         Int32s({6, 2, 3, -1, 3, 9, 1, -7}), true, 5},
        {"resume with a negative count and a current far past the end",
         [](const std::string& p) { return Settings(p); }, Int32s({-5, INT_MAX, 4, 3}), true, 5},
        {"resume of random bytes", [](const std::string& p) { return Settings(p); }, RandomBytes(300, 13), true, 5},
        {"resume cut inside its header", [](const std::string& p) { return Settings(p); }, std::string("\x05\x00", 2),
         true, 5},
    };

    for (const Damage& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir("e2e");
        const std::string playlist = dir.File("list.m3u");
        const std::string playlistBytes = M3uBytes({Track(1), Track(2), Track(3), Track(4), Track(5)});
        ASSERT_TRUE(WriteFileBytes(playlist, playlistBytes));
        if (c.settings) {
            ASSERT_TRUE(WriteFileBytes(dir.File("settings.dat"), c.settings(playlist)));
        }
        if (c.hasResume) {
            ASSERT_TRUE(WriteFileBytes(dir.File("continue.dat"), c.resume));
        }

        ProgramRun run(dir.Path());
        HWND editor = run.Editor();
        ASSERT_NE(editor, nullptr) << "the program did not come up";
        ASSERT_TRUE(run.Player() != nullptr);
        EXPECT_TRUE(e2e::WaitFor([&] { return e2e::ListCount(run.List()) == c.tracks; }, kWait))
            << e2e::ListCount(run.List()) << " tracks";
        ASSERT_TRUE(run.Sync()) << "the program does not answer";

        // A window to reach: the editor, or a player whose list toggle brings it back.
        if (!::IsWindowVisible(editor)) {
            ASSERT_TRUE(::IsWindowVisible(run.Player())) << "both windows are hidden";
            EXPECT_TRUE(OnScreen(run.Player()));
            e2e::Click(run.Player(), IDC_LIST_TOGGLE);
            ASSERT_TRUE(e2e::WaitFor([&] { return ::IsWindowVisible(editor) != FALSE; }, kWait));
        }
        EXPECT_TRUE(::IsIconic(editor) || OnScreen(editor));
        EXPECT_EQ(run.Program().WaitMessageBox(nullptr, nullptr, 0), nullptr) << "a message box at the start";

        // And usable: File > Open shows its dialog, which can be left again.
        e2e::PostCommand(editor, ID_FILE_OPEN);
        EXPECT_TRUE(run.Program().CancelFileDialog(kWait)) << "no Open dialog";
        EXPECT_EQ(e2e::ListCount(run.List()), c.tracks);

        DWORD code = 1234;
        ASSERT_TRUE(run.Close(code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadFileBytes(playlist), playlistBytes);
        EXPECT_EQ(ReadFileBytes(dir.File("settings.dat")).size(), 884u);
        EXPECT_EQ(ReadFileBytes(dir.File("continue.dat")).size(), 8u + 4u * static_cast<unsigned>(c.tracks));
    }
}

} // namespace
} // namespace e2e_tests
