#include "audio/mci_audio_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/ui_seam.h"

// Wine's MCI (8.0, MP3 through its DirectShow graph) differs from Windows' in
// two ways that break the player, and the commands are carried out here so
// that they behave as on Windows:
//
// 1. "seek qvmp3 to N" answers MCIERR_INTERNAL for every N and leaves the
//    device stopped, while "play qvmp3 from N" works. So a seek that fails
//    that way, to a place inside the track, is remembered and answered with
//    success; until the next play, close or open the position reads N, and
//    the next plain "play qvmp3" is sent as "play qvmp3 from N".
// 2. A play started from the stopped state that runs to its end reports the
//    position it started from (often 0) with mode "stopped", not the end, so
//    the end of a track would never be seen. So while a play that was started
//    here runs, a position that is not past the play's start, or that went
//    back from the last reading, is checked against the mode: "stopped" means
//    the play ended by itself, and the position reads as the end of that play.
//
// Where the MCI behaves, seeks succeed and positions move on, so neither path
// sends anything more or changes an answer; at most a reading taken the very
// moment a play starts costs one mode query.

namespace {

const char kSeekPrefix[] = "seek qvmp3 to ";
const char kPlay[] = "play qvmp3";

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The decimal value after word in command, if the word is there.
bool ValueAfter(const char* command, const char* word, int& value)
{
    const char* at = std::strstr(command, word);
    if (!at)
        return false;
    value = ParseMciNumber(at + std::strlen(word));
    return true;
}

void WriteNumber(char* buffer, unsigned size, int value)
{
    if (buffer && size > 0)
        std::snprintf(buffer, size, "%d", value);
}

} // namespace

unsigned long CWinMciPort::SendRaw(const char* command, char* returnBuffer, unsigned returnSize)
{
    // The command is UTF-8 (a track's name may hold any character); the
    // replies are numbers and mode words, ASCII.
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, command, -1, nullptr, 0);
    if (units <= 0)
        return MCIERR_UNRECOGNIZED_COMMAND;
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, command, -1, &wide[0], units);
    std::wstring reply(returnBuffer && returnSize > 0 ? returnSize : 0, L'\0');
    const unsigned long result = ::mciSendStringW(wide.c_str(), reply.empty() ? nullptr : &reply[0], returnSize, nullptr);
    if (!reply.empty()) {
        for (unsigned i = 0; i < returnSize; ++i)
            returnBuffer[i] = reply[i] < 0x80 ? static_cast<char>(reply[i]) : '?';
        returnBuffer[returnSize - 1] = '\0';
    }
    return result;
}

void CWinMciPort::Beep(unsigned type)
{
    ui::Ui().MessageBeep(type);
}

int CWinMciPort::Length()
{
    char reply[32] = {};
    if (SendRaw("status qvmp3 length", reply, sizeof reply) != 0)
        return -1;
    return ParseMciNumber(reply);
}

bool CWinMciPort::StoppedByItself()
{
    char mode[32] = {};
    return SendRaw("status qvmp3 mode", mode, sizeof mode) == 0 && std::strcmp(mode, "stopped") == 0;
}

unsigned long CWinMciPort::SendString(const char* command, char* returnBuffer, unsigned returnSize)
{
    if (StartsWith(command, kSeekPrefix)) {
        const int to = ParseMciNumber(command + sizeof kSeekPrefix - 1);
        const unsigned long result = SendRaw(command, returnBuffer, returnSize);
        playActive = false;
        seekPending = false;
        if (result == 0) {
            playStart = lastReading = to;
            return 0;
        }
        if (result == MCIERR_INTERNAL && to >= 0 && to <= Length()) {
            seekPending = true;
            seekTo = to;
            playStart = lastReading = to;
            return 0;
        }
        return result;
    }

    if (StartsWith(command, kPlay)) {
        const bool plain = std::strcmp(command, kPlay) == 0;
        char fromPending[48];
        if (plain && seekPending) {
            std::snprintf(fromPending, sizeof fromPending, "play qvmp3 from %d", seekTo);
            command = fromPending;
        }
        const unsigned long result = SendRaw(command, returnBuffer, returnSize);
        if (result == 0) {
            seekPending = false;
            playActive = true;
            int from = 0;
            if (ValueAfter(command, " from ", from))
                lastReading = from;
            playStart = lastReading; // a resume goes on from the last place known
            if (!ValueAfter(command, " to ", playEnd))
                playEnd = -1;
        }
        return result;
    }

    if (std::strcmp(command, "status qvmp3 position") == 0) {
        if (seekPending) {
            WriteNumber(returnBuffer, returnSize, seekTo);
            return 0;
        }
        const unsigned long result = SendRaw(command, returnBuffer, returnSize);
        if (result != 0 || !playActive || !returnBuffer || returnSize == 0)
            return result;
        returnBuffer[returnSize - 1] = '\0';
        const int position = ParseMciNumber(returnBuffer);
        if (position > playStart && position >= lastReading) {
            lastReading = position;
            return result;
        }
        if (StoppedByItself())
            WriteNumber(returnBuffer, returnSize, playEnd >= 0 ? playEnd : Length());
        return result;
    }

    const unsigned long result = SendRaw(command, returnBuffer, returnSize);
    if (std::strcmp(command, "stop qvmp3") == 0 || std::strcmp(command, "pause qvmp3") == 0) {
        playActive = false;
    } else if (std::strcmp(command, "close qvmp3") == 0 || StartsWith(command, "open ")) {
        seekPending = false;
        playActive = false;
        playStart = lastReading = 0;
        playEnd = -1;
    }
    return result;
}

CMciAudio& TheAudio()
{
    static CWinMciPort port;
    static CMciAudio audio(port);
    return audio;
}
