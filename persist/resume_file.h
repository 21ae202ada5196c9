#pragma once
// continue.dat: the play order and the current track, so that the next start
// puts the player back where it was in the reloaded playlist. The file is
// int32 count, int32 current, then count int32 list indexes, little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr const wchar_t kResumeFileName[] = L"continue.dat";
constexpr size_t kResumeHeaderSize = 8;
// Far beyond what the track list holds; a larger file is read only this far,
// so a damaged or foreign file never costs more than a few megabytes.
constexpr int kMaxResumeEntries = 1 << 20;

struct ResumeData {
    int count = 0;           // entries in order (after cutting to the file)
    int current = -1;        // a position in the stored order, as stored
    std::vector<int> order;  // list indexes in play order, as stored
};

// The play queue rebuilt over the reloaded list: every list index exactly
// once, and the current position (-1 for none) in that order.
struct ResumePlan {
    std::vector<int> order;
    int current = -1;
};

// count entries of order go out; missing ones are written as -1. A negative
// count writes an empty order, one above kMaxResumeEntries is cut to it.
std::vector<uint8_t> SerializeResume(int count, int current, const std::vector<int>& order);

// False (out empty, current -1) for fewer than 8 bytes: such a file counts as
// not read, and the playlist is loaded as by File > Open. A negative count
// reads as 0; a count beyond the bytes that follow is cut to the whole
// entries there. Nothing else is judged here: see RebuildPlayOrder.
bool ParseResume(const uint8_t* data, size_t size, ResumeData& out);

// Stored indexes outside 0..listCount-1 and repeats are dropped; list
// indexes the stored order lacks (tracks gained since the save) follow in
// list order. The current position follows its track; it is -1 when the
// stored current is no position of the stored order or its track is gone.
ResumePlan RebuildPlayOrder(const ResumeData& stored, int listCount);

// False when the file is missing, unreadable or shorter than 8 bytes.
bool LoadResumeFile(const std::wstring& fullName, ResumeData& out);
bool SaveResumeFile(const std::wstring& fullName, const std::vector<uint8_t>& bytes);
