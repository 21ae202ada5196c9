// The audio device against a recording port: every command string, its
// order and reply room, the three flags, the results and the beeps. (The end
// of a track, through Wine's MCI: tests/win/player_test.cpp.)
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "fake_mci_port.h"
#include "playlist/text_codec.h"

namespace {

using Log = std::vector<std::string>;
const wchar_t kPath[] = L"C:\\Music\\a b.mp3";
const char kOpen[] = "open \"C:\\Music\\a b.mp3\" alias qvmp3";
const std::string kVolume = "setaudio qvmp3 volume to 0", kLength = "status qvmp3 length", kPosition = "status qvmp3 position";
const Log kFromTheTop = {kVolume, kLength, "play qvmp3 from 0 to 3000"};
enum Flags { kClosed = 0, kOpened = 1, kPlaying = 3, kPaused = 7 }; // open, +playing, +paused

class MciAudioTest : public ::testing::Test {
protected:
    FakeMciPort port;
    CMciAudio audio{port};

    void SetUp() override { port.SetLength("3000"); }
    // The device in a state, a command that fails, a clean log.
    void Put(Flags f, const char* failing = nullptr)
    {
        audio.isOpen = f & 1;
        audio.isPlaying = f & 2;
        audio.isPaused = f & 4;
        port.results.clear();
        if (failing)
            port.Fail(failing);
        port.Clear();
    }
    int Now() const { return audio.isOpen + 2 * audio.isPlaying + 4 * audio.isPaused; }
};

TEST_F(MciAudioTest, OpenSendsTheQuotedPathThenTheTimeFormat)
{
    EXPECT_TRUE(Now() == kClosed && audio.volume == 0 && audio.Open(kPath) && !audio.Open(L"C:\\other.mp3")); // open: nothing more sent
    EXPECT_TRUE(port.log == (Log{kOpen, "set qvmp3 time format ms"}) && port.buffers == (std::vector<unsigned>{0, 0}) && Now() == kOpened);
    Put(kClosed, "set qvmp3 time format ms");
    EXPECT_TRUE(audio.Open(kPath)) << "the time format's answer does not matter";
    Put(kClosed, kOpen);
    EXPECT_TRUE(!audio.Open(kPath) && port.log == (Log{kOpen, "beep 0"}));
    // A quote would end the quoted name and smuggle words into the command;
    // a path longer than 259 UTF-16 units is no track (an emoji is two).
    const std::wstring emoji{wchar_t(0xD83C), wchar_t(0xDFB5)};
    for (const std::wstring& bad : {std::wstring(L"C:\\a\" alias x type waveaudio \"b.mp3"), std::wstring(kMaxTrackPath + 1, L'x'),
                                    std::wstring(kMaxTrackPath - 1, L'x') + emoji}) {
        Put(kClosed);
        EXPECT_FALSE(audio.Open(bad.c_str()) || Now() != kClosed || port.log != Log{"beep 0"});
    }
    // The path goes as UTF-8; the longest, of three-byte characters, fills the buffer.
    Put(kClosed);
    EXPECT_TRUE(audio.Open((L"C:\\\u03b1" + emoji + std::wstring(kMaxTrackPath - 6, L'z')).c_str()));
    EXPECT_EQ(port.log.at(0), "open \"C:\\\xce\xb1\xf0\x9f\x8e\xb5" + std::string(kMaxTrackPath - 6, 'z') + "\" alias qvmp3");
    Put(kClosed);
    const std::wstring longest(kMaxTrackPath, wchar_t(0x672C));
    EXPECT_TRUE(!audio.Open(nullptr) && audio.Open(longest.c_str()) && port.log.at(1) == "open \"" + Encode(longest, TextEncoding::Utf8, CWindows1252()) + "\" alias qvmp3");
    EXPECT_EQ(port.log[1].size() + 1, CMciAudio::kCommandBufferSize);
}

TEST_F(MciAudioTest, CommandsTheirGuardsAndFailures)
{
    using Op = std::function<bool(CMciAudio&)>;
    const auto play = [](int from) { return Op([from](CMciAudio& a) { return a.Play(from); }); };
    const Op stop = &CMciAudio::Stop, close = &CMciAudio::Close, pause = &CMciAudio::Pause, resume = &CMciAudio::Resume;
    const Log seek1200 = {kVolume, "seek qvmp3 to 1200", "play qvmp3"};
    const struct { Op op; Flags before; const char* failing; bool result; Log sent; Flags after; } rows[] = {
        {play(500), kClosed, nullptr, false, {}, kClosed},         {play(0), kPlaying, nullptr, false, {}, kPlaying},
        {play(5000), kPlaying, nullptr, true, {kVolume, "seek qvmp3 to 5000", "play qvmp3"}, kPlaying},
        {play(-2000), kOpened, nullptr, true, kFromTheTop, kPlaying}, {play(0), kOpened, "play qvmp3 from 0 to 3000", false, kFromTheTop, kOpened},
        {play(0), kOpened, "setaudio qvmp3 volume to 0", true, kFromTheTop, kPlaying},
        {play(0), kOpened, "status qvmp3 length", true, {kVolume, kLength, "play qvmp3 from 0 to -1"}, kPlaying},
        {play(1200), kOpened, "seek qvmp3 to 1200", true, seek1200, kPlaying}, {play(1200), kOpened, "play qvmp3", false, seek1200, kOpened},
        {play(2500), kPaused, nullptr, true, {"play qvmp3"}, kPlaying}, {play(0), kPaused, "play qvmp3", true, {"play qvmp3"}, kPaused},
        {stop, kClosed, nullptr, false, {}, kClosed},              {stop, kOpened, nullptr, false, {}, kOpened},
        {stop, kPlaying, nullptr, true, {"stop qvmp3"}, kOpened},  {stop, kPaused, nullptr, true, {"stop qvmp3"}, kOpened},
        {stop, kPaused, "stop qvmp3", false, {"stop qvmp3"}, kPaused}, {close, kClosed, nullptr, false, {}, kClosed},
        {close, kOpened, nullptr, true, {"close qvmp3"}, kClosed}, {close, kPaused, nullptr, true, {"stop qvmp3", "close qvmp3"}, kClosed},
        {close, kOpened, "close qvmp3", false, {"close qvmp3"}, kOpened},
        {close, kPlaying, "stop qvmp3", true, {"stop qvmp3", "close qvmp3"}, kClosed},
        {pause, kClosed, nullptr, false, {}, kClosed},             {pause, kOpened, nullptr, false, {}, kOpened},
        {pause, kPaused, nullptr, false, {}, kPaused},             {pause, kPlaying, nullptr, true, {"pause qvmp3"}, kPaused},
        {pause, kPlaying, "pause qvmp3", false, {"pause qvmp3"}, kPlaying}, {resume, kClosed, nullptr, false, {}, kClosed},
        {resume, kPlaying, nullptr, false, {}, kPlaying},          {resume, kPaused, nullptr, true, {"play qvmp3"}, kPlaying},
        {resume, kPaused, "play qvmp3", false, {"play qvmp3"}, kPaused},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        Put(rows[i].before, rows[i].failing);
        EXPECT_EQ(rows[i].op(audio), rows[i].result) << "row " << i;
        EXPECT_TRUE(port.log == rows[i].sent && Now() == rows[i].after) << "row " << i;
    }
    Put(kOpened);
    EXPECT_TRUE(audio.Play(0) && port.buffers == (std::vector<unsigned>{0, CMciAudio::kStatusBufferSize, 0}));
    Put(kPaused, "seek qvmp3 to 0"); // Seek sets the playing flag from its result alone
    audio.Seek(4200);
    audio.Seek(0);
    EXPECT_TRUE(port.log == (Log{"seek qvmp3 to 4200", "seek qvmp3 to 0"}) && Now() == 5);
    Put(kClosed);
    audio.Seek(-5);
    EXPECT_EQ(Now(), 2);
}

// Forward and Rewind play from the shifted place, held at the ends of int
// whatever the device reports; landing on 0 while playing is refused.
TEST_F(MciAudioTest, ForwardAndRewindPlayFromTheShiftedPlace)
{
    const Log to = {kPosition, kVolume, "seek qvmp3 to ", "play qvmp3"}, top = {kPosition, kVolume, kLength, "play qvmp3 from 0 to 3000"};
    const struct { Flags before; const char* position; bool forward; int step; bool result; Log sent; } rows[] = {
        {kOpened, "3000", true, 5000, false, {}}, {kClosed, "3000", false, 5000, false, {}}, {kPlaying, "3000", true, 5000, true, to},
        {kPlaying, "3000", false, 1000, true, to}, {kPlaying, "3000", false, 5000, true, top}, {kPlaying, "3000", false, 3000, false, {kPosition}},
        {kPaused, "3000", true, 5000, true, {kPosition, "play qvmp3"}}, {kPaused, "3000", false, 5000, true, {kPosition, "play qvmp3"}},
        {kPlaying, "2147483000", true, INT_MAX, true, to}, {kPlaying, "0", false, INT_MIN, true, to}, {kPlaying, "-1", true, INT_MIN, true, top},
        {kPlaying, "-2147483648", true, INT_MAX, true, top}, {kPlaying, "2147483647", false, INT_MAX, false, {kPosition}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.position << (r.forward ? " forward " : " rewind ") << r.step);
        Put(r.before);
        port.SetPosition(r.position);
        EXPECT_EQ(r.forward ? audio.Forward(r.step) : audio.Rewind(r.step), r.result);
        Log sent = r.sent;
        if (sent.size() == 4 && sent[2] == "seek qvmp3 to ") // the place: 8000, 2000, or held at the end of int
            sent[2] += r.step == 1000 ? "2000" : r.position == std::string("3000") ? "8000" : "2147483647";
        EXPECT_EQ(port.log, sent);
    }
}

// Status replies are decimal numbers in their buffer; the volume is kept
// even when the device refuses it, and Play sends it again.
TEST_F(MciAudioTest, StatusRepliesAndTheVolume)
{
    const std::pair<const char*, int> rows[] = {
        {"  42ms", 42}, {"\t\n\v\f\r7", 7}, {"-7", -7}, {"+8", 8}, {"abc", 0}, {"- 5", 0}, {"12 34", 12},
        {"2147483647", INT_MAX}, {"99999999999999999999", INT_MAX}, {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN},
    };
    for (const auto& r : rows) {
        port.SetLength(r.first);
        port.SetPosition(r.first);
        EXPECT_TRUE(audio.GetLength() == r.second && audio.GetPosition() == r.second) << '"' << r.first << '"';
    }
    EXPECT_EQ(ParseMciNumber(nullptr), 0);
    port.SetLength(std::string(500, '1'));
    port.SetPosition(std::string(127, '0') + "9"); // the 128th byte is the terminator
    EXPECT_TRUE(audio.GetLength() == INT_MAX && audio.GetPosition() == 0);
    port.Fail(kLength, 263);
    port.Fail(kPosition, 263);
    EXPECT_TRUE(audio.GetLength() == -1 && audio.GetPosition() == -1);
    Put(kOpened, "setaudio qvmp3 volume to 640");
    EXPECT_TRUE(audio.SetVolume(350) == 1 && audio.SetVolume(640) == 0 && audio.volume == 640);
    audio.Beep(1);
    EXPECT_EQ(port.log, (Log{"setaudio qvmp3 volume to 350", "setaudio qvmp3 volume to 640", "beep 1"}));
}

} // namespace
