#pragma once
// A stand-in for the MCI: records every command and beep in order, answers
// each command with a scripted result (0 unless told) and each status query
// with a scripted reply.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "audio/mci_audio.h"

class FakeMciPort : public IMciPort {
public:
    unsigned long SendString(const char* command, char* returnBuffer, unsigned returnSize) override
    {
        log.push_back(command);
        buffers.push_back(returnBuffer ? returnSize : 0);
        auto reply = replies.find(command);
        if (returnBuffer && returnSize > 0 && reply != replies.end()) {
            // No terminator when the reply fills the buffer, as a careless driver might.
            const size_t n = reply->second.size() < returnSize ? reply->second.size() + 1 : returnSize;
            std::memcpy(returnBuffer, reply->second.c_str(), n);
        }
        auto result = results.find(command);
        return result == results.end() ? 0 : result->second;
    }
    void Beep(unsigned type) override { log.push_back("beep " + std::to_string(type)); }

    void Fail(const std::string& command, unsigned long result = 277) { results[command] = result; }
    void SetLength(const std::string& ms) { replies["status qvmp3 length"] = ms; }
    void SetLength(int ms) { SetLength(std::to_string(ms)); }
    void SetPosition(const std::string& ms) { replies["status qvmp3 position"] = ms; }
    void Clear() { log.clear(), buffers.clear(); }

    std::vector<std::string> log;  // commands and "beep N", in order
    std::vector<unsigned> buffers; // the reply room of each command, 0 for none
    std::map<std::string, unsigned long> results;
    std::map<std::string, std::string> replies;
};
