#include "audio/mci_audio.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "playlist/text_codec.h"

namespace {

bool IsMciSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The device's readings are whatever it says: a step from a position near
// either end of int is taken in a wider type and held at that end.
int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int ParseMciNumber(const char* text)
{
    if (!text)
        return 0;
    while (IsMciSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // keeps the sum bounded
    }
    return ClampToInt(negative ? -value : value);
}

CMciAudio::CMciAudio(IMciPort& mciPort) : port(mciPort) {}

unsigned long CMciAudio::Send(const char* command)
{
    return port.SendString(command, nullptr, 0);
}

unsigned long CMciAudio::SendFormatted(const char* format, int value)
{
    std::snprintf(commandBuffer, sizeof commandBuffer, format, value);
    return Send(commandBuffer);
}

int CMciAudio::QueryStatus(const char* command)
{
    char reply[kStatusBufferSize] = {};
    if (port.SendString(command, reply, sizeof reply) != 0)
        return -1;
    reply[sizeof reply - 1] = '\0'; // a port that fills the whole buffer still ends here
    return ParseMciNumber(reply);
}

bool CMciAudio::Open(const wchar_t* path)
{
    if (isOpen)
        return false;
    // A path that cannot be a file name is refused like a file that will not
    // open: too long for a track, or holding a quote that would end the quoted
    // name and smuggle words into the command.
    const size_t length = path ? std::wcslen(path) : 0;
    if (!path || length > kMaxTrackPath || std::wcschr(path, L'"')) {
        port.Beep(0);
        return false;
    }
    const std::string utf8 = Encode(std::wstring(path, length), TextEncoding::Utf8, CWindows1252());
    std::snprintf(commandBuffer, sizeof commandBuffer, "open \"%s\" alias qvmp3", utf8.c_str());
    isOpen = Send(commandBuffer) == 0;
    if (!isOpen) {
        port.Beep(0);
        return false;
    }
    Send("set qvmp3 time format ms");
    return true;
}

bool CMciAudio::Play(int fromMs)
{
    if (!isOpen)
        return false;
    if (isPaused) {
        Resume();
        return true;
    }
    if (isPlaying && fromMs == 0)
        return false;
    SendFormatted("setaudio qvmp3 volume to %d", volume);
    if (fromMs > 0) {
        Seek(fromMs);
        isPlaying = Send("play qvmp3") == 0;
        return isPlaying;
    }
    const int length = GetLength();
    isPlaying = SendFormatted("play qvmp3 from 0 to %d", length) == 0;
    return isPlaying;
}

bool CMciAudio::Stop()
{
    if (!isOpen || !isPlaying)
        return false;
    if (Send("stop qvmp3") != 0)
        return false;
    isPlaying = false;
    isPaused = false;
    return true;
}

bool CMciAudio::Close()
{
    if (!isOpen)
        return false;
    if (isPlaying)
        Stop();
    if (Send("close qvmp3") != 0)
        return false;
    isOpen = false;
    isPlaying = false;
    isPaused = false;
    return true;
}

bool CMciAudio::Pause()
{
    if (!isOpen || !isPlaying || isPaused)
        return false;
    isPaused = Send("pause qvmp3") == 0;
    return isPaused;
}

bool CMciAudio::Resume()
{
    if (!isOpen || !isPaused)
        return false;
    const bool resumed = Send("play qvmp3") == 0;
    isPaused = !resumed;
    return resumed;
}

void CMciAudio::Seek(int ms)
{
    isPlaying = SendFormatted("seek qvmp3 to %d", ms) == 0;
}

bool CMciAudio::Forward(int ms)
{
    if (!isPlaying)
        return false;
    return Play(ClampToInt(static_cast<long long>(GetPosition()) + ms));
}

bool CMciAudio::Rewind(int ms)
{
    if (!isPlaying)
        return false;
    return Play(ClampToInt(static_cast<long long>(GetPosition()) - ms));
}

int CMciAudio::GetLength()
{
    return QueryStatus("status qvmp3 length");
}

int CMciAudio::GetPosition()
{
    return QueryStatus("status qvmp3 position");
}

double CMciAudio::GetPercent()
{
    if (!isPlaying)
        return 0.0;
    // Single precision, rounded for real: the stores keep the x87 unit of the
    // 32-bit build from carrying extra bits, so both builds agree.
    volatile float position = static_cast<float>(GetPosition());
    const int length = GetLength();
    // Unguarded on purpose: two failed readings (-1 / -1) give exactly 100,
    // and 0 / 0 gives NaN, which StopIfAtEnd reads as "not at the end".
    volatile float ratio = position / static_cast<float>(length);
    return ratio * 100.0;
}

int CMciAudio::SetVolume(int v)
{
    volume = v;
    return SendFormatted("setaudio qvmp3 volume to %d", v) == 0 ? 1 : 0;
}

bool CMciAudio::StopIfAtEnd()
{
    if (!isPlaying)
        return false;
    if (!(GetPercent() >= 100.0))
        return false;
    Stop();
    return true;
}

void CMciAudio::Beep(unsigned type)
{
    port.Beep(type);
}
