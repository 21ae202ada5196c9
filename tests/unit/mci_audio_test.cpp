// CMciAudio against a recording port: every command string, its order, the
// three flags, the results and the beeps.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "audio/mci_audio.h"
#include "fake_mci_port.h"

namespace {

using Log = std::vector<std::string>;

const char kOpenCmd[] = "open \"C:\\Music\\a b.mp3\" alias qvmp3";
const char kPath[] = "C:\\Music\\a b.mp3";

struct Flags {
    bool open, playing, paused;
};

class MciAudioTest : public ::testing::Test {
protected:
    FakeMciPort port;
    CMciAudio audio{port};

    void SetUp() override { port.SetLength(3000); }

    // Brings the device into a state without going through the commands.
    void Put(Flags f)
    {
        audio.isOpen = f.open;
        audio.isPlaying = f.playing;
        audio.isPaused = f.paused;
    }
    void ExpectFlags(Flags f)
    {
        EXPECT_EQ(audio.isOpen, f.open);
        EXPECT_EQ(audio.isPlaying, f.playing);
        EXPECT_EQ(audio.isPaused, f.paused);
    }
};

const Flags kClosed{false, false, false};
const Flags kOpened{true, false, false};
const Flags kPlaying{true, true, false};
const Flags kPaused{true, true, true};

TEST_F(MciAudioTest, StartsClosedWithVolumeZero)
{
    ExpectFlags(kClosed);
    EXPECT_EQ(audio.volume, 0);
    EXPECT_TRUE(port.log.empty());
}

TEST_F(MciAudioTest, OpenSendsOpenThenTimeFormatWithoutReturnBuffers)
{
    EXPECT_TRUE(audio.Open(kPath));
    EXPECT_EQ(port.log, (Log{kOpenCmd, "set qvmp3 time format ms"}));
    for (const auto& call : port.calls) {
        EXPECT_FALSE(call.withBuffer) << call.command;
        EXPECT_EQ(call.bufferSize, 0u) << call.command;
    }
    ExpectFlags(kOpened);
}

TEST_F(MciAudioTest, OpenIgnoresTheTimeFormatResult)
{
    port.Fail("set qvmp3 time format ms");
    EXPECT_TRUE(audio.Open(kPath));
    ExpectFlags(kOpened);
}

TEST_F(MciAudioTest, FailedOpenBeepsOnceAndSendsNothingMore)
{
    port.Fail(kOpenCmd, 275);
    EXPECT_FALSE(audio.Open(kPath));
    EXPECT_EQ(port.log, (Log{kOpenCmd, "beep 0"}));
    ExpectFlags(kClosed);
}

TEST_F(MciAudioTest, OpenWhileOpenSendsNothing)
{
    ASSERT_TRUE(audio.Open(kPath));
    port.ClearLog();
    EXPECT_FALSE(audio.Open("C:\\other.mp3"));
    EXPECT_TRUE(port.log.empty());
    ExpectFlags(kOpened);
}

// A path holding a quote would close the quoted name early and let the rest
// of the path become words of the open command.
TEST_F(MciAudioTest, OpenRefusesPathsThatCannotBeFileNames)
{
    const struct {
        const char* name;
        std::string path;
    } refused[] = {
        {"quote", "C:\\a\" alias other type waveaudio \"b.mp3"},
        {"lone quote", "\""},
        {"260 characters", std::string(kMaxTrackPath + 1, 'x')},
        {"far too long", std::string(5000, 'y')},
    };
    for (const auto& c : refused) {
        port.ClearLog();
        EXPECT_FALSE(audio.Open(c.path.c_str())) << c.name;
        EXPECT_EQ(port.log, (Log{"beep 0"})) << c.name;
        ExpectFlags(kClosed);
    }
    port.ClearLog();
    EXPECT_FALSE(audio.Open(nullptr));
    EXPECT_EQ(port.log, (Log{"beep 0"}));
}

TEST_F(MciAudioTest, TheLongestTrackPathIsSentWhole)
{
    const std::string longest = "C:\\" + std::string(kMaxTrackPath - 3, 'z');
    ASSERT_EQ(longest.size(), kMaxTrackPath);
    EXPECT_TRUE(audio.Open(longest.c_str()));
    ASSERT_FALSE(port.log.empty());
    EXPECT_EQ(port.log[0], "open \"" + longest + "\" alias qvmp3");
    EXPECT_EQ(port.log[0].size() + 1, CMciAudio::kCommandBufferSize);
}

TEST_F(MciAudioTest, PlayFromStartSetsVolumeReadsLengthAndPlaysToIt)
{
    Put(kOpened);
    audio.volume = 640;
    EXPECT_TRUE(audio.Play(0));
    EXPECT_EQ(port.log, (Log{"setaudio qvmp3 volume to 640", "status qvmp3 length", "play qvmp3 from 0 to 3000"}));
    ASSERT_EQ(port.calls.size(), 3u);
    EXPECT_TRUE(port.calls[1].withBuffer);
    EXPECT_EQ(port.calls[1].bufferSize, 128u);
    EXPECT_FALSE(port.calls[2].withBuffer);
    ExpectFlags(kPlaying);
}

TEST_F(MciAudioTest, PlayGuardsAndResults)
{
    const struct {
        const char* name;
        Flags before;
        int fromMs;
        const char* failing; // command answered with an error, or null
        bool result;
        Log sent;
        Flags after;
    } cases[] = {
        {"closed", kClosed, 0, nullptr, false, {}, kClosed},
        {"closed, from 500", kClosed, 500, nullptr, false, {}, kClosed},
        {"playing from 0", kPlaying, 0, nullptr, false, {}, kPlaying},
        {"playing from 5000", kPlaying, 5000, nullptr, true,
         {"setaudio qvmp3 volume to 0", "seek qvmp3 to 5000", "play qvmp3"}, kPlaying},
        {"negative start plays from the beginning", kOpened, -2000, nullptr, true,
         {"setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to 3000"}, kPlaying},
        {"play refused", kOpened, 0, "play qvmp3 from 0 to 3000", false,
         {"setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to 3000"}, kOpened},
        {"volume refused does not matter", kOpened, 0, "setaudio qvmp3 volume to 0", true,
         {"setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to 3000"}, kPlaying},
        {"length unreadable", kOpened, 0, "status qvmp3 length", true,
         {"setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to -1"}, kPlaying},
        {"seek refused, play decides", kOpened, 1200, "seek qvmp3 to 1200", true,
         {"setaudio qvmp3 volume to 0", "seek qvmp3 to 1200", "play qvmp3"}, kPlaying},
        {"play after seek refused", kOpened, 1200, "play qvmp3", false,
         {"setaudio qvmp3 volume to 0", "seek qvmp3 to 1200", "play qvmp3"}, kOpened},
        {"paused resumes, start unused", kPaused, 2500, nullptr, true, {"play qvmp3"}, kPlaying},
        {"paused, resume refused still true", kPaused, 0, "play qvmp3", true, {"play qvmp3"}, kPaused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.results.clear();
        port.ClearLog();
        if (c.failing)
            port.Fail(c.failing);
        Put(c.before);
        EXPECT_EQ(audio.Play(c.fromMs), c.result);
        EXPECT_EQ(port.log, c.sent);
        ExpectFlags(c.after);
    }
}

TEST_F(MciAudioTest, StopCloseGuardsAndFailures)
{
    using Op = bool (CMciAudio::*)();
    const struct {
        const char* name;
        Op op;
        Flags before;
        const char* failing;
        bool result;
        Log sent;
        Flags after;
    } cases[] = {
        {"stop closed", &CMciAudio::Stop, kClosed, nullptr, false, {}, kClosed},
        {"stop not playing", &CMciAudio::Stop, kOpened, nullptr, false, {}, kOpened},
        {"stop playing", &CMciAudio::Stop, kPlaying, nullptr, true, {"stop qvmp3"}, kOpened},
        {"stop paused", &CMciAudio::Stop, kPaused, nullptr, true, {"stop qvmp3"}, kOpened},
        {"stop refused", &CMciAudio::Stop, kPaused, "stop qvmp3", false, {"stop qvmp3"}, kPaused},
        {"close closed", &CMciAudio::Close, kClosed, nullptr, false, {}, kClosed},
        {"close stopped", &CMciAudio::Close, kOpened, nullptr, true, {"close qvmp3"}, kClosed},
        {"close playing stops first", &CMciAudio::Close, kPlaying, nullptr, true,
         {"stop qvmp3", "close qvmp3"}, kClosed},
        {"close paused", &CMciAudio::Close, kPaused, nullptr, true, {"stop qvmp3", "close qvmp3"}, kClosed},
        {"close refused", &CMciAudio::Close, kOpened, "close qvmp3", false, {"close qvmp3"}, kOpened},
        {"close after refused stop", &CMciAudio::Close, kPlaying, "stop qvmp3", true,
         {"stop qvmp3", "close qvmp3"}, kClosed},
        {"pause closed", &CMciAudio::Pause, kClosed, nullptr, false, {}, kClosed},
        {"pause stopped", &CMciAudio::Pause, kOpened, nullptr, false, {}, kOpened},
        {"pause paused", &CMciAudio::Pause, kPaused, nullptr, false, {}, kPaused},
        {"pause playing", &CMciAudio::Pause, kPlaying, nullptr, true, {"pause qvmp3"}, kPaused},
        {"pause refused", &CMciAudio::Pause, kPlaying, "pause qvmp3", false, {"pause qvmp3"}, kPlaying},
        {"resume closed", &CMciAudio::Resume, kClosed, nullptr, false, {}, kClosed},
        {"resume playing", &CMciAudio::Resume, kPlaying, nullptr, false, {}, kPlaying},
        {"resume paused", &CMciAudio::Resume, kPaused, nullptr, true, {"play qvmp3"}, kPlaying},
        {"resume refused", &CMciAudio::Resume, kPaused, "play qvmp3", false, {"play qvmp3"}, kPaused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.results.clear();
        port.ClearLog();
        if (c.failing)
            port.Fail(c.failing);
        Put(c.before);
        EXPECT_EQ((audio.*c.op)(), c.result);
        EXPECT_EQ(port.log, c.sent);
        ExpectFlags(c.after);
        EXPECT_TRUE(port.beeps.empty());
    }
}

TEST_F(MciAudioTest, SeekSetsOnlyThePlayingFlagFromItsResult)
{
    Put(kPaused);
    audio.Seek(4200);
    EXPECT_EQ(port.log, (Log{"seek qvmp3 to 4200"}));
    ExpectFlags(kPaused);

    port.Fail("seek qvmp3 to 0");
    audio.Seek(0);
    ExpectFlags({true, false, true});

    // Seek does not look at the flags at all.
    Put(kClosed);
    port.ClearLog();
    audio.Seek(-5);
    EXPECT_EQ(port.log, (Log{"seek qvmp3 to -5"}));
    ExpectFlags({false, true, false});
}

TEST_F(MciAudioTest, ForwardAndRewindPlayFromTheShiftedPosition)
{
    port.SetPosition(3000);
    const struct {
        const char* name;
        Flags before;
        bool forward;
        int step;
        bool result;
        Log sent;
        Flags after;
    } cases[] = {
        {"forward stopped", kOpened, true, 5000, false, {}, kOpened},
        {"rewind closed", kClosed, false, 5000, false, {}, kClosed},
        {"forward", kPlaying, true, 5000, true,
         {"status qvmp3 position", "setaudio qvmp3 volume to 0", "seek qvmp3 to 8000", "play qvmp3"}, kPlaying},
        {"rewind inside the track", kPlaying, false, 1000, true,
         {"status qvmp3 position", "setaudio qvmp3 volume to 0", "seek qvmp3 to 2000", "play qvmp3"}, kPlaying},
        {"rewind past the start plays it all", kPlaying, false, 5000, true,
         {"status qvmp3 position", "setaudio qvmp3 volume to 0", "status qvmp3 length",
          "play qvmp3 from 0 to 3000"}, kPlaying},
        {"rewind to exactly 0 is refused while playing", kPlaying, false, 3000, false,
         {"status qvmp3 position"}, kPlaying},
        {"forward while paused only resumes", kPaused, true, 5000, true,
         {"status qvmp3 position", "play qvmp3"}, kPlaying},
        {"rewind while paused only resumes", kPaused, false, 5000, true,
         {"status qvmp3 position", "play qvmp3"}, kPlaying},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.ClearLog();
        Put(c.before);
        EXPECT_EQ(c.forward ? audio.Forward(c.step) : audio.Rewind(c.step), c.result);
        EXPECT_EQ(port.log, c.sent);
        ExpectFlags(c.after);
    }
}

// Whatever the device reports, a step is taken without overflow and held at
// the ends of int; the commands are those of any other step.
TEST_F(MciAudioTest, ForwardAndRewindHoldAtTheEndsOfInt)
{
    const Log fromTheTop = {"status qvmp3 position", "setaudio qvmp3 volume to 0", "status qvmp3 length",
                            "play qvmp3 from 0 to 3000"};
    const Log toTheEnd = {"status qvmp3 position", "setaudio qvmp3 volume to 0", "seek qvmp3 to 2147483647",
                          "play qvmp3"};
    const struct {
        const char* position;
        bool forward;
        int step;
        bool result;
        Log sent;
    } cases[] = {
        {"2147483647", true, 5000, true, toTheEnd},
        {"2147483000", true, INT_MAX, true, toTheEnd},
        {"0", false, INT_MIN, true, toTheEnd},
        {"-2147483648", false, 5000, true, fromTheTop},
        {"-1", true, INT_MIN, true, fromTheTop},
        {"-2147483648", true, INT_MAX, true, fromTheTop},
        {"2147483647", false, INT_MAX, false, {"status qvmp3 position"}}, // lands on 0 while playing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.position) + (c.forward ? " forward " : " rewind ") + std::to_string(c.step));
        port.ClearLog();
        port.Reply("status qvmp3 position", c.position);
        Put(kPlaying);
        EXPECT_EQ(c.forward ? audio.Forward(c.step) : audio.Rewind(c.step), c.result);
        EXPECT_EQ(port.log, c.sent);
    }
}

// Any readings give a defined answer: the end is reached at 100 % or more,
// and a result that is not a number is not the end.
TEST_F(MciAudioTest, StopIfAtEndForReadingsAtTheEndsOfInt)
{
    const struct {
        const char* position;
        const char* length;
        bool atEnd;
    } cases[] = {
        {"2147483647", "1", true},         {"-2147483648", "-1", true},  {"-2147483648", "2147483647", false},
        {"2147483647", "2147483647", true}, {"2147483647", "-2147483648", false}, {"-1", "0", false},
        {"1", "0", true},                  {"0", "-1", false},           {"-1", "-1", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.position) + " of " + c.length);
        port.Reply("status qvmp3 position", c.position);
        port.Reply("status qvmp3 length", c.length);
        Put(kPlaying);
        EXPECT_EQ(audio.StopIfAtEnd(), c.atEnd);
        ExpectFlags(c.atEnd ? kOpened : kPlaying);
    }
}

TEST_F(MciAudioTest, StatusRepliesAreReadAsDecimalNumbers)
{
    const struct {
        const char* reply;
        int value;
    } cases[] = {
        {"3000", 3000},   {"  42ms", 42},        {"\t\n7", 7},           {"-7", -7},
        {"+8", 8},        {"abc", 0},            {"", 0},                {"- 5", 0},
        {"12 34", 12},    {"2147483647", INT_MAX}, {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        port.Reply("status qvmp3 length", c.reply);
        port.Reply("status qvmp3 position", c.reply);
        EXPECT_EQ(audio.GetLength(), c.value) << '"' << c.reply << '"';
        EXPECT_EQ(audio.GetPosition(), c.value) << '"' << c.reply << '"';
        EXPECT_EQ(ParseMciNumber(c.reply), c.value) << '"' << c.reply << '"';
    }
    EXPECT_EQ(ParseMciNumber(nullptr), 0);

    port.Fail("status qvmp3 length", 263);
    port.Fail("status qvmp3 position", 263);
    EXPECT_EQ(audio.GetLength(), -1);
    EXPECT_EQ(audio.GetPosition(), -1);
}

TEST_F(MciAudioTest, AFullUnterminatedReplyIsReadWithinItsBuffer)
{
    port.Reply("status qvmp3 length", std::string(500, '1'));
    EXPECT_EQ(audio.GetLength(), INT_MAX);
    port.Reply("status qvmp3 position", std::string(127, '0') + "9");
    // The last byte of the 128 is the terminator: the 9 is never read.
    EXPECT_EQ(audio.GetPosition(), 0);
}

TEST_F(MciAudioTest, PercentReadsPositionThenLength)
{
    EXPECT_EQ(audio.GetPercent(), 0.0);
    EXPECT_TRUE(port.log.empty());

    Put(kPlaying);
    port.SetPosition(1500);
    EXPECT_DOUBLE_EQ(audio.GetPercent(), 50.0);
    EXPECT_EQ(port.log, (Log{"status qvmp3 position", "status qvmp3 length"}));

    const struct {
        const char* name;
        const char* position; // null: the query fails
        const char* length;
        double expected;      // NaN expected when it is NaN
    } cases[] = {
        {"both readings fail", nullptr, nullptr, 100.0},
        {"at the end", "3000", "3000", 100.0},
        {"past the end", "3100", "3000", static_cast<double>(3100.0f / 3000.0f) * 100.0},
        {"zero over zero", "0", "0", NAN},
        {"position over zero length", "10", "0", INFINITY},
        // The position goes through single precision: 16777217 becomes 16777216.
        {"single precision", "16777217", "16777216", 100.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.results.clear();
        if (c.position)
            port.Reply("status qvmp3 position", c.position);
        else
            port.Fail("status qvmp3 position");
        if (c.length)
            port.Reply("status qvmp3 length", c.length);
        else
            port.Fail("status qvmp3 length");
        const double percent = audio.GetPercent();
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(percent));
        else
            EXPECT_DOUBLE_EQ(percent, c.expected);
    }
}

TEST_F(MciAudioTest, StopIfAtEnd)
{
    const struct {
        const char* name;
        Flags before;
        const char* position;
        const char* stopFails;
        bool result;
        Log sent;
        Flags after;
    } cases[] = {
        {"not playing", kOpened, "3000", nullptr, false, {}, kOpened},
        {"before the end", kPlaying, "2999", nullptr, false,
         {"status qvmp3 position", "status qvmp3 length"}, kPlaying},
        {"at the end", kPlaying, "3000", nullptr, true,
         {"status qvmp3 position", "status qvmp3 length", "stop qvmp3"}, kOpened},
        {"paused at the end", kPaused, "3000", nullptr, true,
         {"status qvmp3 position", "status qvmp3 length", "stop qvmp3"}, kOpened},
        {"stop refused still reports the end", kPlaying, "3000", "stop qvmp3", true,
         {"status qvmp3 position", "status qvmp3 length", "stop qvmp3"}, kPlaying},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.results.clear();
        port.ClearLog();
        if (c.stopFails)
            port.Fail(c.stopFails);
        port.Reply("status qvmp3 position", c.position);
        Put(c.before);
        EXPECT_EQ(audio.StopIfAtEnd(), c.result);
        EXPECT_EQ(port.log, c.sent);
        ExpectFlags(c.after);
    }

    // Zero over zero is not a number and so not the end.
    port.results.clear();
    Put(kPlaying);
    port.SetPosition(0);
    port.SetLength(0);
    EXPECT_FALSE(audio.StopIfAtEnd());
    ExpectFlags(kPlaying);
}

TEST_F(MciAudioTest, VolumeIsKeptEvenWhenRefusedAndSentAgainByPlay)
{
    EXPECT_EQ(audio.SetVolume(350), 1);
    EXPECT_EQ(audio.volume, 350);
    port.Fail("setaudio qvmp3 volume to 0");
    EXPECT_EQ(audio.SetVolume(0), 0);
    EXPECT_EQ(audio.volume, 0);
    EXPECT_EQ(port.log, (Log{"setaudio qvmp3 volume to 350", "setaudio qvmp3 volume to 0"}));

    port.results.clear();
    ASSERT_TRUE(audio.Open(kPath));
    port.ClearLog();
    ASSERT_TRUE(audio.Play(0));
    ASSERT_FALSE(port.log.empty());
    EXPECT_EQ(port.log.front(), "setaudio qvmp3 volume to 0");
    EXPECT_EQ(port.log.back(), "play qvmp3 from 0 to 3000");
}

TEST_F(MciAudioTest, AWholeSessionWalksTheStates)
{
    audio.SetVolume(800);
    EXPECT_TRUE(audio.Open(kPath));
    ExpectFlags(kOpened);
    EXPECT_TRUE(audio.Play(0));
    ExpectFlags(kPlaying);
    EXPECT_TRUE(audio.Pause());
    ExpectFlags(kPaused);
    audio.Seek(1000);
    ExpectFlags(kPaused);
    EXPECT_TRUE(audio.Resume());
    ExpectFlags(kPlaying);
    EXPECT_TRUE(audio.Stop());
    ExpectFlags(kOpened);
    EXPECT_TRUE(audio.Close());
    ExpectFlags(kClosed);
    EXPECT_EQ(port.log, (Log{"setaudio qvmp3 volume to 800", kOpenCmd, "set qvmp3 time format ms",
                             "setaudio qvmp3 volume to 800", "status qvmp3 length", "play qvmp3 from 0 to 3000",
                             "pause qvmp3", "seek qvmp3 to 1000", "play qvmp3", "stop qvmp3", "close qvmp3"}));
    EXPECT_TRUE(port.beeps.empty());
}

TEST_F(MciAudioTest, BeepGoesThroughThePort)
{
    audio.Beep(1);
    EXPECT_EQ(port.log, (Log{"beep 1"}));
}

} // namespace
