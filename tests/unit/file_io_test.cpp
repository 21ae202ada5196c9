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

#include "codec_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif
#endif

namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// Writes beyond this many bytes fail (EFBIG) for as long as it lives: a disk
// that fills up part-way through, for root as for anyone.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
};

#ifdef __linux__
bool SetImmutable(const fs::path& folder, bool on)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}
#endif
#endif

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
#ifndef _WIN32
        if (m_locked) {
#ifdef __linux__
            SetImmutable(m_dir, false);
#endif
            chmod(m_dir.c_str(), 0755);
        }
#endif
        if (!m_dir.empty())
            fs::remove_all(m_dir, ec);
    }

#ifndef _WIN32
    // Makes the folder one where existing files can be rewritten but no new
    // file made. Read-only permissions do that for a user; root passes them,
    // so it gets the immutable flag instead (ext4 and the like).
    bool LockFolder()
    {
        m_locked = chmod(m_dir.c_str(), 0555) == 0;
        if (!CanMakeFiles())
            return true;
#ifdef __linux__
        SetImmutable(m_dir, true);
#endif
        return !CanMakeFiles();
    }
    bool CanMakeFiles() const
    {
        const std::string probe = PathOf("probe");
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return false;
        close(fd);
        unlink(probe.c_str());
        return true;
    }
    bool m_locked = false;
#endif

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

// "<name>.tmp" is a name like any other: whatever the user keeps there stays
// as it is, and does not stand in the way of a save.
TEST_F(PersistFiles, SavingNeverTouchesAFileItDidNotMake)
{
    WriteRaw("rock.m3u", "old");
    WriteRaw("rock.m3u.tmp", "the user's own");
    fs::create_directory(m_dir / "settings.dat.tmp");
    ASSERT_TRUE(WriteFileReplacing(PathOf("rock.m3u").c_str(), "new", 3));
    ASSERT_TRUE(WriteFileReplacing(PathOf("settings.dat").c_str(), "abc", 3));
    EXPECT_EQ(ReadRaw("rock.m3u"), "new");
    EXPECT_EQ(ReadRaw("rock.m3u.tmp"), "the user's own");
    EXPECT_EQ(ReadRaw("settings.dat"), "abc");
    EXPECT_EQ(Entries(), (Names{"rock.m3u", "rock.m3u.tmp", "settings.dat", "settings.dat.tmp"}));
}

TEST_F(PersistFiles, WidePathsAreUtf16Names)
{
    const std::string ascii = m_dir.string(); // the temporary folder's path is ASCII here
    const std::wstring folder(ascii.begin(), ascii.end());
    const std::wstring name = W(u"caf\u00E9 \u65E5\xD83D\xDE00.m3u");
    const std::wstring path = folder + L"/" + name;
    ASSERT_TRUE(WriteFileReplacing(path, "abc", 3));
    std::string got;
    ASSERT_TRUE(ReadWholeFile(path, got));
    EXPECT_EQ(got, "abc");
#ifdef _WIN32
    EXPECT_TRUE(fs::is_regular_file(m_dir / name));
#else
    EXPECT_EQ(Entries(), Names{"caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x98\x80.m3u"});
#endif
    // A name with a NUL inside would reach some other file.
    const std::wstring cut = folder + std::wstring(L"/x\0y", 4);
    EXPECT_FALSE(WriteFileReplacing(cut, "abc", 3));
    EXPECT_FALSE(ReadWholeFile(cut, got));
    EXPECT_FALSE(WriteFileReplacing(std::wstring(), "abc", 3));
    EXPECT_FALSE(ReadWholeFile(std::wstring(), got));
    EXPECT_EQ(got, "");
}

#ifdef _WIN32
// GetTempFileName takes no folder longer than MAX_PATH - 14 characters: a
// playlist kept deeper than that is rewritten in place.
TEST_F(PersistFiles, AFolderTooLongForATemporaryNameHasTheFileRewrittenInPlace)
{
    const std::wstring folder = L"\\\\?\\" + m_dir.wstring() + L"\\" + std::wstring(240, L'f');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\rock.m3u";
    EXPECT_FALSE(WriteFileReplacing(path, "new", 3)); // nothing there to rewrite
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "old, longer bytes", 17, &written, nullptr);
    CloseHandle(file);

    ASSERT_TRUE(WriteFileReplacing(path, "new", 3));
    std::string got;
    ASSERT_TRUE(ReadWholeFile(path, got));
    EXPECT_EQ(got, "new");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L".", L"..", L"rock.m3u"}));
}
#endif

#ifndef _WIN32
TEST_F(PersistFiles, AWriteThatFailsPartWayKeepsTheOldFileAndLeavesNoTemporary)
{
    WriteRaw("settings.dat", "old settings");
    const std::string big(64 * 1024, 'n');
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(WriteFileReplacing(PathOf("settings.dat").c_str(), big.data(), big.size()));
    }
    EXPECT_EQ(ReadRaw("settings.dat"), "old settings");
    EXPECT_EQ(Entries(), Names{"settings.dat"});
}

TEST_F(PersistFiles, AFolderThatTakesNoNewFileHasTheFileRewrittenInPlace)
{
    WriteRaw("rock.m3u", "C:\\old\\one.mp3\r\nC:\\old\\two.mp3\r\n");
    if (!LockFolder())
        GTEST_SKIP() << "no way here to keep new files out of a folder";
    for (const std::string& bytes : {std::string("short\r\n"), std::string(5000, 'L'), std::string("C:\\x.mp3\r\n")}) {
        EXPECT_TRUE(WriteFileReplacing(PathOf("rock.m3u").c_str(), bytes.data(), bytes.size()));
        EXPECT_EQ(ReadRaw("rock.m3u"), bytes);
    }
    EXPECT_FALSE(WriteFileReplacing(PathOf("new.m3u").c_str(), "x", 1));

    // Cut short part-way through, the rewrite puts the old bytes back.
    const std::string big(64 * 1024, 'n');
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(WriteFileReplacing(PathOf("rock.m3u").c_str(), big.data(), big.size()));
    }
    EXPECT_EQ(ReadRaw("rock.m3u"), "C:\\x.mp3\r\n");
    EXPECT_EQ(Entries(), Names{"rock.m3u"});
}
#endif

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
