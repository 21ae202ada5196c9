// The editor's questions in real modal loops: what a question is about is
// taken before it is asked, a close asked for meanwhile waits for the answer,
// and the Print dialog is modal to the editor and prints in a fixed pitch.
#include "editor/editor_dlg.h"
#include "player/player_dlg.h"
#include "res/resource.h"
#include "tray/tray_icon.h"
#include "support/editor_session.h"
#include "support/modal_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

const std::string kT1 = FixturePath("tone1s.mp3"), kT2 = FixturePath("track2.mp3"), kT3 = FixturePath("track3.mp3");

struct ModalEditor {
    RealBoxesUi ui;
    EditorSession session{"modal"};
    HWND editor = session.Hwnd();
    HWND player = session->Player().GetHwnd();
    HWND list = session->List().GetHwnd();

    void Select(int index) const
    {
        ::SendMessageA(list, LB_SETSEL, FALSE, -1);
        ::SendMessageA(list, LB_SETSEL, TRUE, index);
    }
    void Command(int id) const { ::SendMessageA(editor, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void Drop(const std::vector<std::string>& files) const
    {
        ::SendMessageA(editor, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
    }
    // From the answering thread: item 2 alone is selected, as a change to track 2 leaves it.
    bool Track2Selected() const
    {
        return Poll([&] {
            DWORD_PTR count = 0, second = 0;
            return ::SendMessageTimeoutA(list, LB_GETSELCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) && count == 1 &&
                   ::SendMessageTimeoutA(list, LB_GETSEL, 1, 0, SMTO_NORMAL, 5000, &second) && second > 0;
        });
    }
    bool trayRefused = false;
};

struct AskRow {
    const char* name;
    std::vector<std::string> tracks;
    std::function<void(ModalEditor&)> start;
    int button;
    bool viaNext; // the track changes by the player's Next, else by its end on the timer
    std::vector<std::string> expected;
};

// Track 1 plays, item 3 is selected; while the question is up the player
// moves on to track 2, which selects item 2, and a drop arrives.
TEST(ModalLoops, TheQuestionActsOnWhatWasThereWhenItWasAsked)
{
    const AskRow rows[] = {
        {"Remove, Next", {kT1, kT2, kT3}, [](ModalEditor& m) { m.Command(IDC_REMOVE); }, IDYES, true, {kT1, kT2}},
        {"Remove, end of track", {kT1, kT2, kT3}, [](ModalEditor& m) { m.Command(IDC_REMOVE); }, IDYES, false,
         {kT1, kT2}},
        {"Clear Dupes", {kT1, kT2, kT3, kT2}, [](ModalEditor& m) { m.Command(IDC_CLEAR_DUPES); }, IDYES, true,
         {kT1, kT2, kT3}},
        {"Add Tracks", {kT1, kT2, kT3},
         [](ModalEditor& m) {
             m.ui.fileAnswers = {FakeUi::ChooseMany("C:\\add", {"x.mp3", "y.wav", "z.mp3"})};
             m.Command(IDC_ADD_TRACKS);
         },
         IDOK, true, {kT1, kT2, kT3, "C:\\add\\x.mp3", "C:\\add\\z.mp3"}},
        {"drop", {kT1, kT2, kT3}, [](ModalEditor& m) { m.Drop({"C:\\p.wav", "C:\\q.mp3"}); }, IDOK, false,
         {kT1, kT2, kT3, "C:\\p.wav", "C:\\q.mp3"}},
    };
    for (const AskRow& row : rows) {
        SCOPED_TRACE(row.name);
        ModalEditor m;
        ASSERT_TRUE(LoadTracks(m.session, row.tracks));
        m.session->Player().OnPlayPause();
        m.Select(2);
        bool moved = false;
        BoxAnswerer answerer(m.editor, {{[&] {
                                             if (row.viaNext)
                                                 PostCommand(m.player, IDC_NEXT);
                                             moved = m.Track2Selected();
                                             ::PostMessageA(m.editor, WM_DROPFILES,
                                                            reinterpret_cast<WPARAM>(MakeDrop({kT1})), 0);
                                         },
                                         row.button}});
        row.start(m);
        EXPECT_EQ(answerer.Captions().size(), 1u);
        EXPECT_TRUE(moved) << "the track did not change while the question was up";
        EXPECT_EQ(ListItems(*m.session.Editor()), row.expected);
        EXPECT_TRUE(QueueInStep(*m.session.Editor()));
        ASSERT_NE(m.session->Player().Queue().CurrentEntry(), nullptr);
        EXPECT_EQ(m.session->Player().Queue().CurrentEntry()->path, kT2) << "the playing track stays current";
        EXPECT_EQ(m.ui.beeps, std::vector<UINT>{MB_OK}) << "the drop meanwhile is refused";
    }
}

struct CloseRow {
    const char* name;
    std::function<void(ModalEditor&)> start;
    int button;
    std::function<void(ModalEditor&)> close; // from the answering thread
    std::vector<std::string> captions;
    int count; // items written to continue.dat by the close
};

// Whatever asks for the close, the handler under the box finishes first: the
// list the close saves holds what the handler did after the answer.
TEST(ModalLoops, AClosePostedUnderABoxComesOnceTheHandlerHasReturned)
{
    auto remove = [](ModalEditor& m) { m.Select(2), m.Command(IDC_REMOVE); };
    const CloseRow rows[] = {
        {"tray Exit, Remove", remove, IDYES,
         [](ModalEditor& m) {
             // The tray menu is not offered while the editor waits for an
             // answer: its loop would hold the callback until it closed.
             DWORD_PTR result = 0;
             m.trayRefused = ::SendMessageTimeoutA(m.session->Tray().GetHwnd(), m.session->Tray().CallbackMessage(),
                                                   0, WM_RBUTTONUP, SMTO_NORMAL, 5000, &result) != 0;
             if (!m.trayRefused)
                 ::PostMessageA(::FindWindowA("#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
             PostCommand(m.editor, ID_TRAY_EXIT);
         },
         {"Delete?", "Save Changes?"}, 2},
        {"player's close button, Add Tracks' warning",
         [](ModalEditor& m) {
             m.ui.fileAnswers = {FakeUi::ChooseMany("C:\\add", {"y.wav", "z.mp3"})};
             m.Command(IDC_ADD_TRACKS);
         },
         IDOK,
         [](ModalEditor& m) {
             DWORD_PTR result = 0; // the button's click reaches the player at once, its close request is posted
             ::SendMessageTimeoutA(m.player, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0, SMTO_NORMAL, 5000,
                                   &result);
         },
         {"Warning", "Save Changes?"}, 4},
        {"IDCANCEL, the drop's warning", [](ModalEditor& m) { m.Drop({"C:\\p.wav", "C:\\q.mp3"}); }, IDOK,
         [](ModalEditor& m) { PostCommand(m.editor, IDCANCEL); }, {"Warning!", "Save Changes?"}, 5},
        {"WM_CLOSE, a failed Save as",
         [](ModalEditor& m) {
             m.ui.fileAnswers = {FakeUi::Choose("C:\\no such folder\\x.m3u")};
             m.Command(ID_FILE_SAVE_AS);
         },
         IDOK, [](ModalEditor& m) { ::PostMessageA(m.editor, WM_CLOSE, 0, 0); }, {"File Open Error"}, 3},
    };
    for (const CloseRow& row : rows) {
        SCOPED_TRACE(row.name);
        ModalEditor m;
        ASSERT_TRUE(LoadTracks(m.session, {kT1, kT2, kT3}));
        std::vector<Answer> answers = {{[&] { row.close(m); }, row.button}};
        if (row.captions.size() > 1)
            answers.push_back({nullptr, IDNO});
        BoxAnswerer answerer(m.editor, answers);
        row.start(m);
        EXPECT_TRUE(m.session.Alive()) << "the window went while its handler ran";
        EXPECT_TRUE(fw::PumpUntil([&] { return !m.session.Alive(); }, 15000));
        EXPECT_EQ(answerer.Captions(), row.captions);
        EXPECT_TRUE(m.trayRefused || row.button != IDYES);
        const std::string resume = ReadFileBytes(m.session.File("continue.dat"));
        EXPECT_EQ(resume.substr(0, 4), Int32s({row.count}));
    }
}

// The session may end under a box: it is refused while the list has changes
// that cannot be asked about, and its end writes the data files at once.
TEST(ModalLoops, TheSessionEndingUnderABoxDestroysNothing)
{
    ModalEditor m;
    ASSERT_TRUE(LoadTracks(m.session, {kT1, kT2, kT3}));
    m.Select(0);
    m.Command(IDC_MOVE_DOWN);
    DWORD_PTR query = 1, end = 1;
    BoxAnswerer answerer(m.editor, {{[&] {
                                         ::SendMessageTimeoutA(m.editor, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000,
                                                               &query);
                                         ::SendMessageTimeoutA(m.editor, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000,
                                                               &end);
                                     },
                                     IDYES}});
    m.Select(2);
    m.Command(IDC_REMOVE);
    EXPECT_EQ(answerer.Captions().size(), 1u);
    EXPECT_EQ(query, 0u) << "unsaved changes and an open question refuse the end";
    EXPECT_TRUE(m.session.Alive());
    EXPECT_EQ(ListItems(*m.session.Editor()), (std::vector<std::string>{kT2, kT1}));
    EXPECT_EQ(ReadFileBytes(m.session.File("continue.dat")).substr(0, 4), Int32s({3}));
    EXPECT_EQ(ReadFileBytes(m.session.File("settings.dat")).size(), 884u);
}

// What poppler reads from the PDF whose name holds `tag`, in the printer's
// folder (QUILLON_PDF_DIR, or the one cups-pdf is set to write to now): its
// text and its fonts.
bool ReadPdf(const std::string& tag, std::string& text, std::string& fonts)
{
    char dir[MAX_PATH] = "";
    const DWORD n = ::GetEnvironmentVariableA("QUILLON_PDF_DIR", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        return false;
    std::string windowsDir = std::string("Z:") + dir;
    for (char& c : windowsDir)
        c = c == '/' ? '\\' : c;
    const std::string out = std::string(dir) + "/" + tag;
    // The file appears before the spooler is done with it.
    WriteFileBytes(windowsDir + "\\" + tag + ".sh",
                   "for i in $(seq 300); do\n"
                   "  f=$(ls -t '" + std::string(dir) + "'/*" + tag + "*.pdf $(sed -n 's|^Out ||p' "
                   "/etc/cups/cups-pdf.conf)/*" + tag + "*.pdf 2>/dev/null | head -n1)\n"
                   "  [ -n \"$f\" ] && [ -z \"$(lpstat -o)\" ] && pdfinfo \"$f\" >/dev/null 2>&1 && break\n"
                   "  sleep 0.1\ndone\npdftotext -layout \"$f\" " + out + ".txt\npdffonts \"$f\" >" + out +
                   ".fonts\nrm -f \"$f\"\ntouch " + out + ".done\n");
    const std::string done = windowsDir + "\\" + tag + ".done";
    if (!StartUnix("/bin/sh " + out + ".sh") || !fw::PumpUntil([&] { return FileExists(done); }, 60000))
        return false;
    text = ReadFileBytes(windowsDir + "\\" + tag + ".txt");
    fonts = ReadFileBytes(windowsDir + "\\" + tag + ".fonts");
    for (const char* ext : {".sh", ".txt", ".fonts", ".done"})
        ::DeleteFileA((windowsDir + "\\" + tag + ext).c_str());
    return true;
}

// The Print dialog is the editor's: while it is up a second Print, an edit
// and a drop are refused, and the list printed is the list at OK, in a font
// of fixed pitch.
TEST(ModalLoops, PrintIsModalToTheEditorAndPrintsTheListAtOk)
{
    ModalEditor m;
    const std::string tag = "qp" + std::to_string(::GetTickCount() % 1000000);
    ASSERT_TRUE(LoadTracks(m.session, {kT1, kT2, kT3}, (tag + ".m3u").c_str()));
    m.Select(1);
    bool disabled = false;
    BoxAnswerer answerer(m.editor, {{[&] {
                                         disabled = !::IsWindowEnabled(m.editor);
                                         PostCommand(m.editor, ID_FILE_PRINT);
                                         PostCommand(m.editor, IDC_MOVE_DOWN);
                                         ::PostMessageA(m.editor, WM_DROPFILES,
                                                        reinterpret_cast<WPARAM>(MakeDrop({kT1})), 0);
                                     },
                                     IDOK}});
    m.Command(ID_FILE_PRINT);
    EXPECT_EQ(answerer.Captions(), std::vector<std::string>{"Print"});
    EXPECT_TRUE(disabled);
    EXPECT_EQ(m.ui.printDialogs, 1);
    EXPECT_EQ(m.ui.beeps.size(), 3u);
    std::string text, fonts;
    ASSERT_TRUE(ReadPdf(tag, text, fonts));
    // pdftotext gives '-' back as a soft hyphen.
    for (size_t at; (at = text.find("\xC2\xAD")) != std::string::npos;)
        text.replace(at, 2, "-");
    EXPECT_NE(text.find(kT1 + "\n" + kT2 + "\n" + kT3 + "\n"), std::string::npos) << text;
    EXPECT_NE(fonts.find("Mono"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find("Sans"), std::string::npos) << fonts;
}

} // namespace
