// Can this machine play an MP3 through MCI at all? Opens the file given on
// the command line, plays it for a moment and checks that the position moved.
// Exit code 0: it plays; 2: MCI cannot open it; 3: it opens but does not play;
// 1: bad usage. One line on stdout says which. Run by the scripts before any
// test or demo, so that a machine without an MP3 decoder is named at once
// instead of showing up as dozens of failing tests.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string MciError(MCIERROR code)
{
    char text[256] = "";
    if (!mciGetErrorStringA(code, text, sizeof text))
        std::snprintf(text, sizeof text, "MCI error %lu", static_cast<unsigned long>(code));
    return text;
}

long Status(const char* what)
{
    char reply[64] = "";
    std::string command = std::string("status preflight ") + what;
    if (mciSendStringA(command.c_str(), reply, sizeof reply, nullptr) != 0)
        return -1;
    return std::strtol(reply, nullptr, 10);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: mci_check FILE.mp3\n");
        return 1;
    }
    const std::string open = std::string("open \"") + argv[1] + "\" alias preflight";
    const MCIERROR opened = mciSendStringA(open.c_str(), nullptr, 0, nullptr);
    if (opened != 0) {
        std::printf("open failed: %s\n", MciError(opened).c_str());
        return 2;
    }
    mciSendStringA("set preflight time format ms", nullptr, 0, nullptr);
    const long length = Status("length");
    const MCIERROR played = mciSendStringA("play preflight", nullptr, 0, nullptr);
    long position = -1;
    // A bounded wait for the position to move: a few hundred milliseconds.
    for (int i = 0; played == 0 && i < 40 && position <= 0; ++i) {
        ::Sleep(25);
        position = Status("position");
    }
    mciSendStringA("close preflight", nullptr, 0, nullptr);
    if (played != 0 || length <= 0 || position <= 0) {
        std::printf("opened but did not play (length %ld, position %ld%s%s)\n", length, position,
                    played ? ", " : "", played ? MciError(played).c_str() : "");
        return 3;
    }
    std::printf("plays (length %ld ms)\n", length);
    return 0;
}
