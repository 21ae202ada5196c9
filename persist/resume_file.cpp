#include "persist/resume_file.h"

#include <string>

#include "persist/file_io.h"

namespace {

void PutI32(std::vector<uint8_t>& out, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(bits >> shift));
}

int32_t GetI32(const uint8_t* in)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(in[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

} // namespace

std::vector<uint8_t> SerializeResume(int count, int current, const std::vector<int>& order)
{
    // The reader stops at the same bound, so nothing is written that it drops.
    if (count < 0)
        count = 0;
    if (count > kMaxResumeEntries)
        count = kMaxResumeEntries;
    std::vector<uint8_t> bytes;
    bytes.reserve(kResumeHeaderSize + 4 * static_cast<size_t>(count));
    PutI32(bytes, count);
    PutI32(bytes, current);
    for (size_t i = 0; i < static_cast<size_t>(count); ++i)
        PutI32(bytes, i < order.size() ? order[i] : -1);
    return bytes;
}

bool ParseResume(const uint8_t* data, size_t size, ResumeData& out)
{
    out = ResumeData{};
    if (!data || size < kResumeHeaderSize)
        return false;
    const int32_t storedCount = GetI32(data);
    out.current = GetI32(data + 4);
    size_t available = (size - kResumeHeaderSize) / 4;
    if (available > static_cast<size_t>(kMaxResumeEntries))
        available = kMaxResumeEntries;
    size_t count = storedCount < 0 ? 0 : static_cast<size_t>(storedCount);
    if (count > available)
        count = available;
    out.order.reserve(count);
    for (size_t i = 0; i < count; ++i)
        out.order.push_back(GetI32(data + kResumeHeaderSize + 4 * i));
    out.count = static_cast<int>(count);
    return true;
}

ResumePlan RebuildPlayOrder(const ResumeData& stored, int listCount)
{
    ResumePlan plan;
    if (listCount <= 0)
        return plan;
    const size_t n = static_cast<size_t>(listCount);
    // newPosition[k]: where list index k stands in the rebuilt order.
    std::vector<int> newPosition(n, -1);
    plan.order.reserve(n);
    for (int k : stored.order) {
        if (k < 0 || static_cast<size_t>(k) >= n || newPosition[k] >= 0)
            continue;
        newPosition[k] = static_cast<int>(plan.order.size());
        plan.order.push_back(k);
    }
    for (size_t k = 0; k < n; ++k) {
        if (newPosition[k] < 0) {
            newPosition[k] = static_cast<int>(plan.order.size());
            plan.order.push_back(static_cast<int>(k));
        }
    }
    // A repeated entry names the same track as the first one, so the current
    // position goes to wherever that track now stands.
    if (stored.current >= 0 && static_cast<size_t>(stored.current) < stored.order.size()) {
        const int k = stored.order[stored.current];
        if (k >= 0 && static_cast<size_t>(k) < n)
            plan.current = newPosition[k];
    }
    return plan;
}

bool LoadResumeFile(const std::wstring& fullName, ResumeData& out)
{
    std::string bytes;
    if (!ReadWholeFile(fullName, bytes, kResumeHeaderSize + 4 * static_cast<size_t>(kMaxResumeEntries))) {
        out = ResumeData{};
        return false;
    }
    return ParseResume(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

bool SaveResumeFile(const std::wstring& fullName, const std::vector<uint8_t>& bytes)
{
    return WriteFileReplacing(fullName, bytes.data(), bytes.size());
}
