#include "persist/file_io.h"
#include "persist/resume_file.h"
#include "persist/settings_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards, so tests never share files.
class PersistFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && m_dir.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() /
                ("quillon-persist-" + std::to_string(seed()) + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000));
            std::error_code ec;
            if (fs::create_directory(candidate, ec))
                m_dir = candidate;
        }
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!m_dir.empty())
            fs::remove_all(m_dir, ec);
    }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    void WriteRaw(const char* name, const std::string& bytes) const
    {
        std::ofstream out(m_dir / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string ReadRaw(const char* name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(PersistFiles, ReadWholeFile)
{
    std::string got = "left over";
    EXPECT_FALSE(ReadWholeFile(PathOf("missing.dat").c_str(), got));
    EXPECT_EQ(got, "");
    EXPECT_FALSE(ReadWholeFile(nullptr, got));
    EXPECT_FALSE(ReadWholeFile("", got));

    WriteRaw("empty.dat", "");
    EXPECT_TRUE(ReadWholeFile(PathOf("empty.dat").c_str(), got));
    EXPECT_EQ(got, "");

    std::string big(40000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    WriteRaw("big.dat", big);
    EXPECT_TRUE(ReadWholeFile(PathOf("big.dat").c_str(), got));
    EXPECT_EQ(got, big);
    EXPECT_TRUE(ReadWholeFile(PathOf("big.dat").c_str(), got, 884));
    EXPECT_EQ(got, big.substr(0, 884));
    EXPECT_TRUE(ReadWholeFile(PathOf("big.dat").c_str(), got, 0));
    EXPECT_EQ(got, "");
}

TEST_F(PersistFiles, ReadingAFolderFails)
{
    fs::create_directory(m_dir / "folder.dat");
    std::string got = "x";
    EXPECT_FALSE(ReadWholeFile(PathOf("folder.dat").c_str(), got));
    EXPECT_EQ(got, "");
}

TEST_F(PersistFiles, WriteCreatesAndReplacesWithNoTempLeft)
{
    const std::string target = PathOf("settings.dat");
    ASSERT_TRUE(WriteFileReplacing(target.c_str(), "first, longer content", 21));
    EXPECT_EQ(ReadRaw("settings.dat"), "first, longer content");
    EXPECT_EQ(Entries(), Names{"settings.dat"});

    const char binary[] = {'\0', '\xFF', '\r', '\n', '\x1A', 'z'};
    ASSERT_TRUE(WriteFileReplacing(target.c_str(), binary, sizeof binary));
    EXPECT_EQ(ReadRaw("settings.dat"), std::string(binary, sizeof binary));
    EXPECT_EQ(Entries(), Names{"settings.dat"});

    ASSERT_TRUE(WriteFileReplacing(target.c_str(), nullptr, 0));
    EXPECT_EQ(ReadRaw("settings.dat"), "");
    EXPECT_EQ(Entries(), Names{"settings.dat"});
}

TEST_F(PersistFiles, WriteIntoAMissingFolderFails)
{
    const std::string target = (m_dir / "no such folder" / "settings.dat").string();
    EXPECT_FALSE(WriteFileReplacing(target.c_str(), "abc", 3));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(PersistFiles, WriteOverAFolderFailsAndLeavesItAlone)
{
    fs::create_directory(m_dir / "continue.dat");
    WriteRaw("continue.dat/inside.txt", "kept");
    EXPECT_FALSE(WriteFileReplacing(PathOf("continue.dat").c_str(), "abc", 3));
    EXPECT_TRUE(fs::is_directory(m_dir / "continue.dat"));
    EXPECT_EQ(ReadRaw("continue.dat/inside.txt"), "kept");
    EXPECT_EQ(Entries(), Names{"continue.dat"});
}

TEST_F(PersistFiles, FailedWriteKeepsTheOldFile)
{
    // A folder in the temporary file's place makes the write fail before the
    // old file is touched; the blocker is not ours to remove.
    WriteRaw("settings.dat", "old settings");
    fs::create_directory(m_dir / "settings.dat.tmp");
    EXPECT_FALSE(WriteFileReplacing(PathOf("settings.dat").c_str(), "new", 3));
    EXPECT_EQ(ReadRaw("settings.dat"), "old settings");
    EXPECT_TRUE(fs::is_directory(m_dir / "settings.dat.tmp"));
    EXPECT_EQ(Entries(), (Names{"settings.dat", "settings.dat.tmp"}));
}

TEST_F(PersistFiles, BadArgumentsWriteNothing)
{
    EXPECT_FALSE(WriteFileReplacing(nullptr, "abc", 3));
    EXPECT_FALSE(WriteFileReplacing("", "abc", 3));
    EXPECT_FALSE(WriteFileReplacing(PathOf("x.dat").c_str(), nullptr, 3));
    EXPECT_TRUE(Entries().empty());
}

TEST(PersistJoinPath, FormatsFolderBackslashName)
{
    EXPECT_EQ(JoinPath("C:\\Program Files\\Quillon", kSettingsFileName), "C:\\Program Files\\Quillon\\settings.dat");
    EXPECT_EQ(JoinPath("D:", kResumeFileName), "D:\\continue.dat");
    EXPECT_EQ(JoinPath(nullptr, nullptr), "\\");
}

TEST_F(PersistFiles, SettingsFileRoundTrip)
{
    SettingsRecord saved{};
    saved.shuffle = 1;
    saved.volume = 420;
    saved.mute = 1;
    saved.playerShown = 1;
    saved.editorPlacement = {44, 0, 1, {-1, -1}, {-1, -1}, {10, 20, 330, 480}};
    SetPathField(saved.lastPlaylist, "C:\\Lists\\jazz.m3u");
    const std::string name = PathOf(kSettingsFileName);
    ASSERT_TRUE(SaveSettingsFile(name.c_str(), saved));
    EXPECT_EQ(fs::file_size(name), kSettingsFileSize);
    EXPECT_EQ(Entries(), Names{"settings.dat"});

    SettingsRecord loaded;
    ASSERT_TRUE(LoadSettingsFile(name.c_str(), loaded));
    EXPECT_EQ(SerializeSettings(loaded), SerializeSettings(saved));
    EXPECT_EQ(loaded.volume, 420);
    EXPECT_EQ(PathFieldText(loaded.lastPlaylist), "C:\\Lists\\jazz.m3u");
    EXPECT_TRUE(PlacementUsable(loaded.editorPlacement));
}

TEST_F(PersistFiles, SettingsFileMissingShortOrLong)
{
    SettingsRecord r{};
    r.volume = 5;
    EXPECT_FALSE(LoadSettingsFile(PathOf("settings.dat").c_str(), r));
    EXPECT_EQ(r.volume, 0);

    // A half-written file counts as missing.
    std::string bytes(kSettingsFileSize - 1, '\x01');
    WriteRaw("settings.dat", bytes);
    r.volume = 5;
    EXPECT_FALSE(LoadSettingsFile(PathOf("settings.dat").c_str(), r));
    EXPECT_EQ(r.volume, 0);
    EXPECT_EQ(r.shuffle, 0);

    bytes.assign(kSettingsFileSize + 500, '\0');
    bytes[0] = 1;
    bytes[kSettingsFileSize] = 'x'; // beyond the record
    WriteRaw("settings.dat", bytes);
    EXPECT_TRUE(LoadSettingsFile(PathOf("settings.dat").c_str(), r));
    EXPECT_EQ(r.shuffle, 1);
}

TEST_F(PersistFiles, ResumeFileRoundTripAndDamage)
{
    const std::string name = PathOf(kResumeFileName);
    ASSERT_TRUE(SaveResumeFile(name.c_str(), SerializeResume(5, 2, {3, 0, 4, 1, 2})));
    EXPECT_EQ(fs::file_size(name), 28u);
    EXPECT_EQ(Entries(), Names{"continue.dat"});

    ResumeData d;
    ASSERT_TRUE(LoadResumeFile(name.c_str(), d));
    EXPECT_EQ(d.current, 2);
    EXPECT_EQ(d.order, (std::vector<int>{3, 0, 4, 1, 2}));

    WriteRaw("continue.dat", std::string(7, '\0'));
    EXPECT_FALSE(LoadResumeFile(name.c_str(), d));
    EXPECT_TRUE(d.order.empty());
    EXPECT_EQ(d.current, -1);

    // A count far beyond the file: only the entries present come back.
    WriteRaw("continue.dat", std::string("\xFF\xFF\xFF\x7F\x00\x00\x00\x00\x01\x00\x00\x00", 12));
    ASSERT_TRUE(LoadResumeFile(name.c_str(), d));
    EXPECT_EQ(d.order, std::vector<int>{1});

    EXPECT_FALSE(LoadResumeFile(PathOf("nothing.dat").c_str(), d));
}
