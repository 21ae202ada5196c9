// Remove Missing Files' check: each entry sorted into present, missing and
// unreachable with one probe per drive or share, in chunks, and the question.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fake_track_list.h"
#include "playlist/missing_tracks.h"

namespace {

class FakeProbe : public IFileProbe {
public:
    FileState Probe(const TrackText& path) override
    {
        ++asked[path];
        const auto answer = answers.find(path);
        return answer == answers.end() ? FileState::Missing : answer->second;
    }
    std::map<TrackText, FileState> answers;
    std::map<TrackText, int> asked;
};

std::string States(const CMissingTracks& check)
{
    std::string states;
    for (int i = 0; i < check.Total(); ++i)
        states += "PMU"[static_cast<int>(check.StateOf(i))];
    EXPECT_EQ(check.StateOf(check.Total()), FileState::Present);
    EXPECT_EQ(check.StateOf(-1), FileState::Present);
    return states;
}

TEST(MissingTracksTest, SortsEveryEntryAndAsksEachRootOnce)
{
    const FakeTrackList list({"C:\\m\\a.mp3", "C:\\m\\gone1.mp3", "b.mp3", "sub\\gone2.mp3", "d:\\x\\1.mp3",
                              "D:\\x\\2.mp3", "\\\\nas\\music\\3.mp3", "http://radio/live", "\\\\NAS\\Music\\4.mp3",
                              "E:\\flaky\\5.mp3"});
    for (int budget : {100, 3, 1}) {
        SCOPED_TRACE(budget);
        FakeProbe probe;
        probe.answers = {{"C:\\", FileState::Present},         {"E:\\", FileState::Present},
                         {"d:\\", FileState::Unreachable},     {"\\\\nas\\music\\", FileState::Missing},
                         {"C:\\m\\a.mp3", FileState::Present}, {"C:\\Lists\\b.mp3", FileState::Present},
                         {"E:\\flaky\\5.mp3", FileState::Unreachable}};
        CMissingTracks check(list, "C:\\Lists");
        int rounds = 0;
        while (!check.Check(list, probe, budget)) {
            ++rounds;
            EXPECT_EQ(check.Checked(), rounds * budget);
        }
        EXPECT_EQ(rounds, (10 + budget - 1) / budget - 1);
        EXPECT_EQ(States(check), "PMPMUUUPUU");
        EXPECT_EQ(check.Missing(), (std::vector<int>{1, 3}));
        EXPECT_EQ(check.KeptUnreachable(), 5);
        EXPECT_EQ(check.UnreachableRoots(), (std::vector<TrackText>{"D:", "\\\\nas\\music", "E:"}));
        EXPECT_EQ(probe.asked["C:\\Lists\\sub\\gone2.mp3"], 1);
        for (const char* root : {"C:\\", "d:\\", "\\\\nas\\music\\", "E:\\"})
            EXPECT_EQ(probe.asked[root], 1) << root;
        EXPECT_EQ(probe.asked.size(), 9u); // nothing on D: or the share, nothing for the URL
        EXPECT_EQ(check.Question(), "2 of 10 tracks cannot be found. Remove them from the playlist?\r\n"
                                    "\r\ngone1.mp3\r\ngone2.mp3\r\n"
                                    "\r\nTracks on D:, \\\\nas\\music, E: were kept: they cannot be reached.");
    }
    FakeProbe probe;
    CMissingTracks check(list, "C:\\Lists");
    EXPECT_FALSE(check.Check(list, probe, 0));
    EXPECT_EQ(check.Checked(), 0);
}

TEST(MissingTracksTest, TheQuestionNamesTenAndCountsTheRest)
{
    std::vector<TrackText> entries{"unreachable.mp3"};
    TrackText names;
    for (int i = 1; i <= 12; ++i) {
        entries.push_back("x\\" + std::to_string(i) + ".mp3");
        names += i <= 10 ? "\r\n" + std::to_string(i) + ".mp3" : "";
    }
    const FakeTrackList list(entries);
    FakeProbe probe;
    probe.answers["unreachable.mp3"] = FileState::Unreachable;
    CMissingTracks check(list, ""); // untitled: entries as written, without a root
    EXPECT_TRUE(check.Check(list, probe, 1000));
    EXPECT_EQ(check.Question(), "12 of 13 tracks cannot be found. Remove them from the playlist?\r\n" + names
                                    + "\r\n...and 2 more\r\n\r\nTracks that cannot be reached were kept.");
    EXPECT_EQ(CMissingTracks(FakeTrackList(), "C:\\").Question(),
              "0 of 0 tracks cannot be found. Remove them from the playlist?\r\n");
}

} // namespace
