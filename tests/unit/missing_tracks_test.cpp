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
    const FakeTrackList list({L"C:\\m\\a.mp3", L"C:\\m\\gone1.mp3", L"b.mp3", L"sub\\gone2.mp3", L"d:\\x\\1.mp3",
                              L"D:\\x\\2.mp3", L"\\\\nas\\music\\3.mp3", L"http://radio/live", L"\\\\NAS\\Music\\4.mp3",
                              L"E:\\flaky\\5.mp3"});
    for (int budget : {100, 3, 1}) {
        SCOPED_TRACE(budget);
        FakeProbe probe;
        probe.answers = {{L"C:\\", FileState::Present},         {L"E:\\", FileState::Present},
                         {L"d:\\", FileState::Unreachable},     {L"\\\\nas\\music\\", FileState::Missing},
                         {L"C:\\m\\a.mp3", FileState::Present}, {L"C:\\Lists\\b.mp3", FileState::Present},
                         {L"E:\\flaky\\5.mp3", FileState::Unreachable}};
        CMissingTracks check(list, L"C:\\Lists");
        int rounds = 0;
        while (!check.Check(list, probe, budget)) {
            ++rounds;
            EXPECT_EQ(check.Checked(), rounds * budget);
        }
        EXPECT_EQ(rounds, (10 + budget - 1) / budget - 1);
        EXPECT_EQ(States(check), "PMPMUUUPUU");
        EXPECT_EQ(check.Missing(), (std::vector<int>{1, 3}));
        EXPECT_EQ(check.KeptUnreachable(), 5);
        EXPECT_EQ(check.UnreachableRoots(), (std::vector<TrackText>{L"D:", L"\\\\nas\\music", L"E:"}));
        EXPECT_EQ(probe.asked[L"C:\\Lists\\sub\\gone2.mp3"], 1);
        for (const wchar_t* root : {L"C:\\", L"d:\\", L"\\\\nas\\music\\", L"E:\\"})
            EXPECT_EQ(probe.asked[root], 1) << root;
        EXPECT_EQ(probe.asked.size(), 9u); // nothing on D: or the share, nothing for the URL
        EXPECT_EQ(check.Question(), L"2 of 10 tracks cannot be found. Remove them from the playlist?\r\n"
                                    L"\r\ngone1.mp3\r\ngone2.mp3\r\n"
                                    L"\r\nTracks on D:, \\\\nas\\music, E: were kept: they cannot be reached.");
    }
    FakeProbe probe;
    CMissingTracks check(list, L"C:\\Lists");
    EXPECT_FALSE(check.Check(list, probe, 0));
    EXPECT_EQ(check.Checked(), 0);
}

TEST(MissingTracksTest, TheQuestionNamesTenAndCountsTheRest)
{
    std::vector<TrackText> entries{L"unreachable.mp3"};
    TrackText names;
    for (int i = 1; i <= 12; ++i) {
        entries.push_back(L"x\\" + std::to_wstring(i) + L".mp3");
        names += i <= 10 ? L"\r\n" + std::to_wstring(i) + L".mp3" : L"";
    }
    const FakeTrackList list(entries);
    FakeProbe probe;
    probe.answers[L"unreachable.mp3"] = FileState::Unreachable;
    CMissingTracks check(list, L""); // untitled: entries as written, without a root
    EXPECT_TRUE(check.Check(list, probe, 1000));
    EXPECT_EQ(check.Question(), L"12 of 13 tracks cannot be found. Remove them from the playlist?\r\n" + names
                                    + L"\r\n...and 2 more\r\n\r\nTracks that cannot be reached were kept.");
    EXPECT_EQ(CMissingTracks(FakeTrackList(), L"C:\\").Question(),
              L"0 of 0 tracks cannot be found. Remove them from the playlist?\r\n");
}

} // namespace
