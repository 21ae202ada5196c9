// Whole-file reads and the safe replacement of a file: nothing half written,
// no file touched that the save did not make, nothing read past its limit.
// (Rewriting in place where no temporary can be made: tests/win/modal_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "codec_support.h"
#include "persist/file_io.h"
#include "persist/settings_record.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

class FileIo : public ::testing::Test {
protected:
    const fs::path dir = fs::temp_directory_path() / ("quillon-io-" + std::to_string(std::random_device()()));
    void SetUp() override { ASSERT_TRUE(fs::create_directory(dir)); }
    void TearDown() override { fs::remove_all(dir); }
    std::string At(const char* name) const { return (dir / name).string(); }
    void Put(const char* name, const std::string& bytes) const { std::ofstream(dir / name, std::ios::binary) << bytes; }
    std::string Get(const char* name, size_t maxBytes = SIZE_MAX) const
    {
        std::string bytes = "unread";
        return ReadWholeFile(At(name).c_str(), bytes, maxBytes) ? bytes : "unreadable" + bytes;
    }
    Names Entries() const
    {
        Names names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FileIo, ReplacingLeavesTheTargetAloneAndNeverAFileItDidNotMake)
{
    const char binary[] = {'\0', '\xFF', '\r', '\n', '\x1A', 'z'};
    for (const std::string& bytes : {std::string(40000, 'b'), std::string(binary, sizeof binary), std::string()}) {
        ASSERT_TRUE(WriteFileReplacing(At("settings.dat").c_str(), bytes.empty() ? nullptr : bytes.data(), bytes.size()));
        EXPECT_EQ(Get("settings.dat"), bytes);
        EXPECT_EQ(Get("settings.dat", 20000), bytes.substr(0, 20000)); // no more than asked, in pieces of any size
    }
    std::string start;
    EXPECT_TRUE(ReadWholeFile(At("settings.dat").c_str(), start, 0) && start.empty()); // only the start, as asked
    Put("huge.m3u", "C:\\a.mp3\r\n"); // far beyond any playlist: refused from its size alone, unless only its start is wanted
    fs::resize_file(dir / "huge.m3u", kMaxWholeFileBytes + 1);
    EXPECT_EQ(Get("huge.m3u") + "|" + Get("huge.m3u", 10), "unreadable|C:\\a.mp3\r\n");
    fs::remove(dir / "huge.m3u");
    // "<name>.tmp" is a name like any other: the user's own stays as it is.
    Put("rock.m3u", "old");
    Put("rock.m3u.tmp", "the user's own");
    fs::create_directory(dir / "settings.dat.tmp");
    ASSERT_TRUE(WriteFileReplacing(At("rock.m3u").c_str(), "new", 3) && WriteFileReplacing(At("settings.dat").c_str(), "abc", 3));
    EXPECT_EQ(Get("rock.m3u") + "|" + Get("rock.m3u.tmp") + "|" + Get("settings.dat") + "|" + Get("rock.m3u.tmp", 4), "new|the user's own|abc|the ");
    // Failures write nothing and leave a folder in the target's place alone.
    fs::create_directory(dir / "continue.dat");
    Put("continue.dat/inside", "kept");
    EXPECT_FALSE(WriteFileReplacing(At("continue.dat").c_str(), "abc", 3) || WriteFileReplacing(At("none/x").c_str(), "abc", 3));
    EXPECT_FALSE(WriteFileReplacing(nullptr, "abc", 3) || WriteFileReplacing("", "abc", 3) || WriteFileReplacing(At("x").c_str(), nullptr, 3));
    EXPECT_EQ(Get("continue.dat/inside") + Get("continue.dat") + Get("missing"), "keptunreadableunreadable");
    EXPECT_EQ(Entries(), (Names{"continue.dat", "rock.m3u", "rock.m3u.tmp", "settings.dat", "settings.dat.tmp"}));
    EXPECT_EQ(JoinPath(L"C:\\Program Files\\Quillon", kSettingsFileName) + JoinPath(nullptr, nullptr), L"C:\\Program Files\\Quillon\\settings.dat\\");

    // Wide paths are UTF-16 names; one with a NUL inside would reach some other file.
    const std::string ascii = dir.string();
    const std::wstring folder(ascii.begin(), ascii.end()), cut = folder + std::wstring(L"/x\0y", 4);
    SettingsRecord loaded{};
    loaded.volume = 5; // a settings file that cannot be read counts as missing and leaves the record all zero
    EXPECT_FALSE(LoadSettingsFile(folder + L"/missing", loaded) || loaded.volume != 0);
    ASSERT_TRUE(WriteFileReplacing(folder + L"/" + W(u"caf\u00E9 \u65E5\xD83D\xDE00.m3u"), "abc", 3));
    std::string got;
    EXPECT_TRUE(ReadWholeFile(folder + L"/" + W(u"caf\u00E9 \u65E5\xD83D\xDE00.m3u"), got) && got == "abc");
    EXPECT_FALSE(WriteFileReplacing(cut, "abc", 3) || ReadWholeFile(cut, got) || WriteFileReplacing(std::wstring(), "a", 1) ||
                 ReadWholeFile(std::wstring(), got) || !got.empty() || ReadWholeFile(nullptr, got));
}

} // namespace
