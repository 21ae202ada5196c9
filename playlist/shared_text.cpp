#include "playlist/shared_text.h"

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

// The block's header and then its units: the first unit stands right after
// the header, suitably aligned for wchar_t.
template <class Header>
constexpr size_t HeaderSize()
{
    return (sizeof(Header) + alignof(wchar_t) - 1) / alignof(wchar_t) * alignof(wchar_t);
}

// Full-size blocks given back, for the next ones to be made.
class CKeptBlocks {
public:
    void* Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_blocks.empty())
            return nullptr;
        void* block = m_blocks.back();
        m_blocks.pop_back();
        return block;
    }
    bool Keep(void* block)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_blocks.size() >= SharedTextBuilder::kKeptBlocks)
            return false;
        if (m_blocks.capacity() == 0)
            m_blocks.reserve(SharedTextBuilder::kKeptBlocks); // no allocation while a block is given back
        m_blocks.push_back(block);
        return true;
    }

private:
    std::mutex m_mutex;
    std::vector<void*> m_blocks;
};

// Never destroyed: a text in a static object may outlive any other static.
CKeptBlocks& KeptBlocks()
{
    static CKeptBlocks* kept = new CKeptBlocks;
    return *kept;
}

} // namespace

SharedText::Block* SharedText::NewBlock(size_t units)
{
    constexpr size_t header = HeaderSize<Block>();
    if (units > (SIZE_MAX - header) / sizeof(wchar_t))
        throw std::bad_alloc();
    void* memory = units == SharedTextBuilder::kBlockUnits ? KeptBlocks().Take() : nullptr;
    if (!memory)
        memory = ::operator new(header + units * sizeof(wchar_t));
    return new (memory) Block{{1}, units};
}

wchar_t* SharedText::Units(Block* block) noexcept
{
    return reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(block) + HeaderSize<Block>());
}

void SharedText::Release(Block* block) noexcept
{
    if (block && block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        const bool keep = block->units == SharedTextBuilder::kBlockUnits;
        block->~Block();
        bool kept = false;
        try {
            kept = keep && KeptBlocks().Keep(block);
        } catch (...) { // no room for the list of kept blocks, or no lock
        }
        if (!kept)
            ::operator delete(block);
    }
}

SharedText::SharedText(std::wstring_view text)
{
    if (text.empty())
        return;
    Block* block = NewBlock(text.size() + 1);
    auto* units = SharedText::Units(block);
    std::wmemcpy(units, text.data(), text.size());
    units[text.size()] = L'\0';
    m_block = block; // the new block's one reference is this text's
    m_text = units;
    m_size = text.size();
}

SharedText::SharedText(Block* block, const wchar_t* text, size_t size) noexcept
    : m_block(block), m_text(text), m_size(size)
{
    m_block->refs.fetch_add(1, std::memory_order_relaxed);
}

SharedText::SharedText(const SharedText& other) noexcept
    : m_block(other.m_block), m_text(other.m_text), m_size(other.m_size)
{
    if (m_block)
        m_block->refs.fetch_add(1, std::memory_order_relaxed);
}

SharedText::SharedText(SharedText&& other) noexcept
    : m_block(std::exchange(other.m_block, nullptr)), m_text(std::exchange(other.m_text, nullptr)),
      m_size(std::exchange(other.m_size, 0))
{
}

SharedText& SharedText::operator=(SharedText other) noexcept
{
    swap(*this, other);
    return *this;
}

SharedText::~SharedText()
{
    Release(m_block);
}

void swap(SharedText& a, SharedText& b) noexcept
{
    std::swap(a.m_block, b.m_block);
    std::swap(a.m_text, b.m_text);
    std::swap(a.m_size, b.m_size);
}

SharedTextBuilder::~SharedTextBuilder()
{
    SharedText::Release(m_block);
}

wchar_t* SharedTextBuilder::Reserve(size_t maxUnits)
{
    if (maxUnits >= m_left) { // the NUL needs a unit too
        const size_t units = std::max(std::min(kBlockUnits, m_blockUnits), maxUnits + 1);
        SharedText::Block* block = SharedText::NewBlock(units);
        SharedText::Release(m_block);
        m_block = block;
        m_next = SharedText::Units(block);
        m_left = units;
    }
    return m_next;
}

SharedText SharedTextBuilder::Commit(size_t units)
{
    if (units == 0)
        return SharedText();
    m_next[units] = L'\0';
    SharedText text(m_block, m_next, units);
    m_next += units + 1;
    m_left -= units + 1;
    return text;
}

SharedText SharedTextBuilder::Append(std::wstring_view text)
{
    wchar_t* room = Reserve(text.size());
    std::wmemcpy(room, text.data(), text.size());
    return Commit(text.size());
}
