#pragma once
// A stand-in for the MCI: records every command string and beep in order,
// answers each command with a scripted result (0 unless told otherwise) and
// each status query with a scripted reply text.

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "audio/mci_audio.h"

class FakeMciPort : public IMciPort {
public:
    struct Call {
        std::string command;
        bool withBuffer;
        unsigned bufferSize;
    };

    unsigned long SendString(const char* command, char* returnBuffer, unsigned returnSize) override
    {
        calls.push_back({command, returnBuffer != nullptr, returnSize});
        log.push_back(command);
        auto reply = replies.find(command);
        if (returnBuffer && returnSize > 0 && reply != replies.end()) {
            // Copies without a terminator when the reply fills the buffer, as
            // a careless driver might.
            const size_t n = reply->second.size() < returnSize ? reply->second.size() + 1 : returnSize;
            std::memcpy(returnBuffer, reply->second.c_str(), n);
        }
        auto result = results.find(command);
        return result == results.end() ? 0 : result->second;
    }

    void Beep(unsigned type) override
    {
        beeps.push_back(type);
        log.push_back("beep " + std::to_string(type));
    }

    // Answers command with result from now on.
    void Fail(const std::string& command, unsigned long result = 277) { results[command] = result; }
    void Succeed(const std::string& command) { results.erase(command); }
    void Reply(const std::string& command, const std::string& text) { replies[command] = text; }
    void SetLength(int ms) { Reply("status qvmp3 length", std::to_string(ms)); }
    void SetPosition(int ms) { Reply("status qvmp3 position", std::to_string(ms)); }
    void ClearLog()
    {
        log.clear();
        calls.clear();
        beeps.clear();
    }

    std::vector<std::string> log; // commands and "beep N", in order
    std::vector<Call> calls;
    std::vector<unsigned> beeps;
    std::map<std::string, unsigned long> results;
    std::map<std::string, std::string> replies;
};
