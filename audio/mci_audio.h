#pragma once
// CMciAudio: plays one MP3 at a time by sending MCI command strings on the one
// device alias "qvmp3", and keeps the open, playing and paused flags that the
// queue and the player read. Everything it sends goes through IMciPort, so the
// same logic runs against the real MCI or a recorder in tests.

#include <cstddef>

// The device's link to the system.
class IMciPort {
public:
    virtual ~IMciPort() = default;
    // mciSendString without callback window; 0 means success. The command is
    // UTF-8 (ASCII but for a track's path); replies are ASCII. returnBuffer is
    // null (and returnSize 0) for every command but the status queries.
    virtual unsigned long SendString(const char* command, char* returnBuffer, unsigned returnSize) = 0;
    // MessageBeep.
    virtual void Beep(unsigned type) = 0;
};

// Longest track path the program handles in UTF-16 units, without its
// terminating NUL.
constexpr size_t kMaxTrackPath = 259;

class CMciAudio {
public:
    explicit CMciAudio(IMciPort& port);

    CMciAudio(const CMciAudio&) = delete;
    CMciAudio& operator=(const CMciAudio&) = delete;

    bool Open(const wchar_t* path);
    bool Play(int fromMs);
    bool Stop();
    bool Close();
    bool Pause();
    bool Resume();
    void Seek(int ms);
    bool Forward(int ms);
    bool Rewind(int ms);
    int GetLength();
    int GetPosition();
    double GetPercent();
    int SetVolume(int v);
    bool StopIfAtEnd();
    // Sounds MessageBeep through the device's port, so the queue's beeps go
    // the same way as the device's own.
    void Beep(unsigned type);

    bool isOpen = false;
    bool isPlaying = false;
    bool isPaused = false;
    int volume = 0;

    // Room for the open command of the longest track path, at most three
    // UTF-8 bytes a unit: 'open "' + path + '" alias qvmp3' + NUL.
    static constexpr size_t kCommandBufferSize = 3 * kMaxTrackPath + sizeof("open \"\" alias qvmp3");
    static constexpr unsigned kStatusBufferSize = 128;

private:
    unsigned long Send(const char* command);
    unsigned long SendFormatted(const char* format, int value);
    int QueryStatus(const char* command);

    IMciPort& port;
    char commandBuffer[kCommandBufferSize] = {};
};

// Reads a status reply the way the device's numbers are written: optional
// leading white space and sign, then decimal digits up to the first other
// character; no digits reads as 0. Saturates instead of overflowing.
int ParseMciNumber(const char* text);
