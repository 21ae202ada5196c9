#pragma once
// The real link between CMciAudio and Windows: mciSendStringW from winmm and
// MessageBeep through the UI seam; and the one process-wide device.

#include "audio/mci_audio.h"

class CWinMciPort : public IMciPort {
public:
    unsigned long SendString(const char* command, char* returnBuffer, unsigned returnSize) override;
    void Beep(unsigned type) override;

protected:
    // mciSendStringW itself, the command given in UTF-8; tests put a
    // scripted MCI in its place.
    virtual unsigned long SendRaw(const char* command, char* returnBuffer, unsigned returnSize);

private:
    int Length();
    bool StoppedByItself();

    // See the comment in mci_port_win.cpp.
    bool seekPending = false;
    int seekTo = 0;
    bool playActive = false;
    int playStart = 0;
    int lastReading = 0;
    int playEnd = -1; // -1: the end of the file
};

// The device the whole program plays through.
CMciAudio& TheAudio();
