// The audio device against the real MCI (under Wine in the test run), with
// MP3 tones made by scripts/make-fixtures.sh; and the real port's adapter,
// checked command by command against a scripted MCI that behaves like
// Windows' and one that behaves like Wine's.

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "audio/mci_audio.h"
#include "audio/mci_audio_win.h"
#include "playlist/play_queue.h"
#include "support/fake_ui.h"

namespace {

using testing_support::FakeUi;
using testing_support::FixturePath;

// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(stepMs);
    }
}

// Calls StopIfAtEnd the way the player's timer does, once a tick, starting
// half a tick after start so that no call falls right on the end; returns the
// tick count of the call that saw the end, 0 if none did by start + limitMs.
DWORD TickUntilEnd(CMciAudio& audio, DWORD start, DWORD limitMs)
{
    for (DWORD due = 375; due <= limitMs; due += 750) {
        const DWORD now = ::GetTickCount() - start;
        if (now < due)
            ::Sleep(due - now);
        if (audio.StopIfAtEnd())
            return ::GetTickCount();
    }
    return 0;
}

// Positions read while the sound runs are compared with what the wall clock
// says; Wine's reports move in steps, hence the room.
constexpr int kLengthTolerance = 100;
constexpr int kLandingTolerance = 400;
constexpr DWORD kTick = 750; // the player's end-of-track timer

class RealMciTest : public ::testing::Test {
protected:
    FakeUi ui;
    CMciAudio& audio = TheAudio();

    void SetUp() override
    {
        ASSERT_FALSE(audio.isOpen) << "an earlier test left the device open";
    }
    void TearDown() override
    {
        audio.Close();
        EXPECT_FALSE(audio.isOpen);
    }
    void OpenFixture(const char* name)
    {
        const std::string path = FixturePath(name);
        ASSERT_TRUE(audio.Open(path.c_str())) << path << " (run scripts/make-fixtures.sh, set QUILLON_FIXTURES)";
    }
    // Waits until the position has reached at least ms.
    bool ReachPosition(int ms, DWORD timeoutMs) { return WaitFor([&] { return audio.GetPosition() >= ms; }, timeoutMs); }
};

TEST_F(RealMciTest, OpenPlayPauseResumeStopClose)
{
    OpenFixture("tone5s.mp3");
    EXPECT_TRUE(audio.isOpen);
    EXPECT_FALSE(audio.isPlaying);
    EXPECT_NEAR(audio.GetLength(), 5000, kLengthTolerance);

    EXPECT_EQ(audio.SetVolume(500), 1);
    ASSERT_TRUE(audio.Play(0));
    EXPECT_TRUE(audio.isPlaying);
    EXPECT_FALSE(audio.Play(0)); // already playing

    // The position moves on.
    ASSERT_TRUE(ReachPosition(300, 3000));
    const int early = audio.GetPosition();
    ASSERT_TRUE(ReachPosition(early + 300, 3000));
    EXPECT_GT(audio.GetPercent(), 0.0);
    EXPECT_LT(audio.GetPercent(), 100.0);

    // Paused, it stays where it is.
    ASSERT_TRUE(audio.Pause());
    EXPECT_TRUE(audio.isPaused);
    EXPECT_TRUE(audio.isPlaying);
    const int held = audio.GetPosition();
    const bool moved = WaitFor([&] { return std::abs(audio.GetPosition() - held) > 50; }, 500, 50);
    EXPECT_FALSE(moved) << "the position moved while paused";

    // Resumed, it goes on from there, not from the start.
    ASSERT_TRUE(audio.Resume());
    EXPECT_FALSE(audio.isPaused);
    ASSERT_TRUE(ReachPosition(held + 200, 3000));
    EXPECT_GE(audio.GetPosition(), held);

    ASSERT_TRUE(audio.Stop());
    EXPECT_FALSE(audio.isPlaying);
    EXPECT_FALSE(audio.isPaused);
    EXPECT_TRUE(audio.isOpen);
    EXPECT_FALSE(audio.StopIfAtEnd());

    ASSERT_TRUE(audio.Close());
    EXPECT_FALSE(audio.isOpen);
    EXPECT_TRUE(ui.beeps.empty());
}

TEST_F(RealMciTest, StopIfAtEndSeesTheEndWithinATick)
{
    OpenFixture("tone3s.mp3");
    const int length = audio.GetLength();
    ASSERT_NEAR(length, 3000, kLengthTolerance);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(audio.Play(0));

    const DWORD seenAt = TickUntilEnd(audio, start, length + 3 * kTick);
    ASSERT_NE(seenAt, 0u) << "the end of the track was never reported";
    const long late = static_cast<long>(seenAt - start) - length;
    EXPECT_GE(late, -100) << "reported before the end";
    EXPECT_LE(late, static_cast<long>(kTick)) << "reported more than a tick after the end";
    EXPECT_FALSE(audio.isPlaying);
    EXPECT_TRUE(audio.isOpen);
}

TEST_F(RealMciTest, ForwardRewindAndSeekWhilePausedLandWhereTheyShould)
{
    OpenFixture("tone8s.mp3");
    ASSERT_NEAR(audio.GetLength(), 8000, kLengthTolerance);
    ASSERT_TRUE(audio.Play(0));
    ASSERT_TRUE(ReachPosition(500, 3000));

    int before = audio.GetPosition();
    ASSERT_TRUE(audio.Forward(3000));
    EXPECT_TRUE(audio.isPlaying);
    EXPECT_NEAR(audio.GetPosition(), before + 3000, kLandingTolerance);
    ASSERT_TRUE(ReachPosition(before + 3200, 3000)) << "does not play on after Forward";

    before = audio.GetPosition();
    ASSERT_TRUE(audio.Rewind(2000));
    EXPECT_NEAR(audio.GetPosition(), before - 2000, kLandingTolerance);
    ASSERT_TRUE(ReachPosition(before - 1800, 3000)) << "does not play on after Rewind";

    // While paused, the position trackbar seeks; Resume plays on from there.
    ASSERT_TRUE(audio.Pause());
    audio.Seek(6000);
    EXPECT_TRUE(audio.isPaused);
    EXPECT_NEAR(audio.GetPosition(), 6000, kLandingTolerance);
    ASSERT_TRUE(audio.Resume());
    ASSERT_TRUE(ReachPosition(6200, 3000));
    EXPECT_NEAR(audio.GetPosition(), 6200, kLandingTolerance);

    // Back past the start plays the track from its beginning.
    ASSERT_TRUE(audio.Rewind(20000));
    EXPECT_LT(audio.GetPosition(), kLandingTolerance);
    ASSERT_TRUE(ReachPosition(200, 3000));
    EXPECT_TRUE(ui.beeps.empty());
}

TEST_F(RealMciTest, PlayFromAPlaceAlsoEndsWithinATick)
{
    OpenFixture("tone3s.mp3");
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(audio.Play(2000));
    EXPECT_NEAR(audio.GetPosition(), 2000, kLandingTolerance);
    const DWORD seenAt = TickUntilEnd(audio, start, 1000 + 3 * kTick);
    ASSERT_NE(seenAt, 0u) << "the end of the track was never reported";
    const long late = static_cast<long>(seenAt - start) - 1000;
    EXPECT_GE(late, -100) << "reported before the end";
    EXPECT_LE(late, static_cast<long>(kTick)) << "reported more than a tick after the end";
}

TEST_F(RealMciTest, APausedTrackStillEndsWithinATick)
{
    OpenFixture("tone2s.mp3");
    const int length = audio.GetLength();
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(audio.Play(0));
    ASSERT_TRUE(ReachPosition(500, 3000));
    ASSERT_TRUE(audio.Pause());
    const DWORD pausedAt = ::GetTickCount();
    EXPECT_FALSE(WaitFor([&] { return audio.StopIfAtEnd(); }, 300, 50)) << "a pause is not the end";
    ASSERT_TRUE(audio.Play(0)); // resumes
    const DWORD paused = ::GetTickCount() - pausedAt;
    const DWORD seenAt = TickUntilEnd(audio, start, length + paused + 3 * kTick);
    ASSERT_NE(seenAt, 0u) << "the end of the track was never reported";
    const long late = static_cast<long>(seenAt - start - paused) - length;
    EXPECT_GE(late, -150) << "reported before the end";
    EXPECT_LE(late, static_cast<long>(kTick) + 150) << "reported more than a tick after the end";
}

TEST_F(RealMciTest, AMissingFileFailsWithABeep)
{
    const std::string missing = FixturePath("no-such-tone.mp3");
    EXPECT_FALSE(audio.Open(missing.c_str()));
    EXPECT_FALSE(audio.isOpen);
    EXPECT_EQ(ui.beeps, (std::vector<UINT>{0}));

    // A name that cannot be a file is refused the same way.
    EXPECT_FALSE(audio.Open("C:\\a\" alias x.mp3"));
    EXPECT_EQ(ui.beeps, (std::vector<UINT>{0, 0}));
    EXPECT_FALSE(audio.Play(0));
}

TEST_F(RealMciTest, TheQueueMovesOnAtTheEndOfATrack)
{
    CPlayQueue queue(audio);
    queue.Add(0, FixturePath("tone1s.mp3").c_str());
    queue.Add(1, FixturePath("tone2s.mp3").c_str());
    queue.SetRepeat(false);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(queue.PlayListIndex(0));
    EXPECT_NEAR(audio.GetLength(), 1000, kLengthTolerance);
    ASSERT_NE(TickUntilEnd(audio, start, 1000 + 3 * kTick), 0u);
    ASSERT_TRUE(queue.Next());
    EXPECT_EQ(queue.Current(), 1);
    EXPECT_NEAR(audio.GetLength(), 2000, kLengthTolerance);
    ASSERT_TRUE(ReachPosition(200, 3000));
    queue.Clear();
    EXPECT_FALSE(audio.isOpen);
    EXPECT_TRUE(ui.beeps.empty());
}

// ---------------------------------------------------------------------------
// The adapter inside the real port, against scripted MCIs.

struct ScriptedMci {
    std::vector<std::string> sent;
    std::map<std::string, unsigned long> results;
    std::map<std::string, std::string> replies;
};

class ScriptedPort : public CWinMciPort {
public:
    explicit ScriptedPort(ScriptedMci& mci) : mci(mci) {}

protected:
    unsigned long SendRaw(const char* command, char* returnBuffer, unsigned returnSize) override
    {
        mci.sent.push_back(command);
        auto reply = mci.replies.find(command);
        if (returnBuffer && returnSize > 0)
            std::snprintf(returnBuffer, returnSize, "%s", reply == mci.replies.end() ? "" : reply->second.c_str());
        auto result = mci.results.find(command);
        return result == mci.results.end() ? 0 : result->second;
    }

private:
    ScriptedMci& mci;
};

std::string Ask(IMciPort& port, const char* command, unsigned long* result = nullptr)
{
    char reply[128] = "unset";
    const unsigned long r = port.SendString(command, reply, sizeof reply);
    if (result)
        *result = r;
    return reply;
}

using Log = std::vector<std::string>;

TEST(MciAdapter, PassesEverythingThroughWhereTheMciBehaves)
{
    ScriptedMci mci;
    ScriptedPort port(mci);
    mci.replies["status qvmp3 length"] = "3000";
    CMciAudio audio(port);
    ASSERT_TRUE(audio.Open("C:\\a.mp3"));
    ASSERT_TRUE(audio.Play(0));
    mci.replies["status qvmp3 position"] = "1200";
    EXPECT_EQ(audio.GetPosition(), 1200);
    ASSERT_TRUE(audio.Forward(1000)); // the seek succeeds
    mci.replies["status qvmp3 position"] = "2300";
    EXPECT_EQ(audio.GetPosition(), 2300);
    mci.replies["status qvmp3 position"] = "3000";
    EXPECT_TRUE(audio.StopIfAtEnd());
    ASSERT_TRUE(audio.Close());
    EXPECT_EQ(mci.sent, (Log{"open \"C:\\a.mp3\" alias qvmp3", "set qvmp3 time format ms",
                             "setaudio qvmp3 volume to 0", "status qvmp3 length", "play qvmp3 from 0 to 3000",
                             "status qvmp3 position", "status qvmp3 position", "setaudio qvmp3 volume to 0",
                             "seek qvmp3 to 2200", "play qvmp3", "status qvmp3 position", "status qvmp3 position",
                             "status qvmp3 length", "stop qvmp3", "close qvmp3"}));
}

TEST(MciAdapter, AFailedSeekIsCarriedOutByTheNextPlay)
{
    ScriptedMci mci;
    ScriptedPort port(mci);
    mci.replies["status qvmp3 length"] = "8000";
    mci.replies["status qvmp3 position"] = "1500";
    mci.results["seek qvmp3 to 6000"] = MCIERR_INTERNAL;
    mci.results["seek qvmp3 to 9000"] = MCIERR_INTERNAL;
    mci.results["seek qvmp3 to -5"] = MCIERR_INTERNAL;
    mci.results["seek qvmp3 to 4000"] = MCIERR_OUTOFRANGE;

    EXPECT_EQ(port.SendString("seek qvmp3 to 6000", nullptr, 0), 0u);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "6000");
    EXPECT_EQ(port.SendString("pause qvmp3", nullptr, 0), 0u);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "6000");
    mci.sent.clear();
    EXPECT_EQ(port.SendString("play qvmp3", nullptr, 0), 0u);
    EXPECT_EQ(mci.sent, (Log{"play qvmp3 from 6000"}));
    // Once played, positions come from the device again.
    EXPECT_EQ(port.SendString("stop qvmp3", nullptr, 0), 0u);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "1500");

    // Outside the track, or another error: the failure stands.
    EXPECT_EQ(port.SendString("seek qvmp3 to 9000", nullptr, 0), static_cast<unsigned long>(MCIERR_INTERNAL));
    EXPECT_EQ(port.SendString("seek qvmp3 to -5", nullptr, 0), static_cast<unsigned long>(MCIERR_INTERNAL));
    EXPECT_EQ(port.SendString("seek qvmp3 to 4000", nullptr, 0), static_cast<unsigned long>(MCIERR_OUTOFRANGE));
    mci.sent.clear();
    port.SendString("play qvmp3", nullptr, 0);
    EXPECT_EQ(mci.sent, (Log{"play qvmp3"}));

    // Close forgets a pending seek.
    port.SendString("seek qvmp3 to 6000", nullptr, 0);
    port.SendString("close qvmp3", nullptr, 0);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "1500");
}

TEST(MciAdapter, APlayThatStoppedByItselfReadsAsItsEnd)
{
    ScriptedMci mci;
    ScriptedPort port(mci);
    mci.replies["status qvmp3 length"] = "3000";
    mci.replies["status qvmp3 mode"] = "playing";
    port.SendString("open \"C:\\a.mp3\" alias qvmp3", nullptr, 0);
    port.SendString("play qvmp3 from 0 to 2500", nullptr, 0);

    // At the start the position has not moved: the mode says it plays.
    mci.replies["status qvmp3 position"] = "0";
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "0");
    mci.replies["status qvmp3 position"] = "1000";
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "1000");
    // Back at the start and stopped: the play has ended, at its "to".
    mci.replies["status qvmp3 position"] = "0";
    mci.replies["status qvmp3 mode"] = "stopped";
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "2500");

    // Without a "to", the end is the length.
    port.SendString("stop qvmp3", nullptr, 0);
    mci.replies["status qvmp3 mode"] = "playing";
    port.SendString("play qvmp3 from 1200", nullptr, 0);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "0"); // still "0": below the start, but playing
    mci.replies["status qvmp3 mode"] = "stopped";
    mci.replies["status qvmp3 position"] = "1200";
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "3000");

    // A stopped or paused device is taken at its word.
    port.SendString("stop qvmp3", nullptr, 0);
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "1200");
    port.SendString("play qvmp3 from 0 to 3000", nullptr, 0);
    port.SendString("pause qvmp3", nullptr, 0);
    mci.replies["status qvmp3 position"] = "0";
    mci.sent.clear();
    EXPECT_EQ(Ask(port, "status qvmp3 position"), "0");
    EXPECT_EQ(mci.sent, (Log{"status qvmp3 position"}));

    // A failed reading stays a failure.
    mci.results["status qvmp3 position"] = MCIERR_INTERNAL;
    unsigned long result = 0;
    Ask(port, "status qvmp3 position", &result);
    EXPECT_EQ(result, static_cast<unsigned long>(MCIERR_INTERNAL));
}

} // namespace
