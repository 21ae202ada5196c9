#pragma once
// A track's text as the editor's store and the play queue keep it: immutable,
// NUL-terminated and shared. A copy costs a count, not a heap block, so the
// queue's own copies of a list of 100,000 come almost free, and texts made
// together (a playlist read from its file) share a few large blocks instead
// of one block each. A block goes when the last text in it does.

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

class SharedText {
public:
    SharedText() noexcept = default;
    // A text of its own, in a block of its own. Implicit, so that a wide
    // string goes wherever a shared text is wanted.
    SharedText(std::wstring_view text);
    SharedText(const std::wstring& text) : SharedText(std::wstring_view(text)) {}
    SharedText(const wchar_t* text) : SharedText(std::wstring_view(text ? text : L"")) {}

    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept;
    SharedText& operator=(SharedText other) noexcept;
    ~SharedText();

    const wchar_t* c_str() const noexcept { return m_text ? m_text : L""; }
    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    wchar_t operator[](size_t i) const noexcept { return m_text[i]; }
    const wchar_t* begin() const noexcept { return c_str(); }
    const wchar_t* end() const noexcept { return c_str() + m_size; }
    std::wstring_view View() const noexcept { return {c_str(), m_size}; }
    std::wstring Str() const { return std::wstring(c_str(), m_size); }

    friend void swap(SharedText& a, SharedText& b) noexcept;

private:
    friend class SharedTextBuilder;
    struct Block {
        std::atomic<long> refs;
        size_t units; // the room after the header
    };

    // Takes a new reference to block.
    SharedText(Block* block, const wchar_t* text, size_t size) noexcept;
    static Block* NewBlock(size_t units);
    static wchar_t* Units(Block* block) noexcept;
    static void Release(Block* block) noexcept;

    Block* m_block = nullptr;
    const wchar_t* m_text = nullptr;
    size_t m_size = 0;
};

inline bool operator==(const SharedText& a, const SharedText& b) noexcept { return a.View() == b.View(); }
inline bool operator!=(const SharedText& a, const SharedText& b) noexcept { return !(a == b); }
inline bool operator==(const SharedText& a, std::wstring_view b) noexcept { return a.View() == b; }
inline bool operator!=(const SharedText& a, std::wstring_view b) noexcept { return !(a == b); }
inline bool operator==(std::wstring_view a, const SharedText& b) noexcept { return a == b.View(); }
inline bool operator!=(std::wstring_view a, const SharedText& b) noexcept { return !(a == b); }
inline bool operator==(const SharedText& a, const std::wstring& b) noexcept { return a.View() == std::wstring_view(b); }
inline bool operator!=(const SharedText& a, const std::wstring& b) noexcept { return !(a == b); }
inline bool operator==(const std::wstring& a, const SharedText& b) noexcept { return b == a; }
inline bool operator!=(const std::wstring& a, const SharedText& b) noexcept { return !(a == b); }
inline bool operator==(const SharedText& a, const wchar_t* b) noexcept { return a.View() == std::wstring_view(b); }
inline bool operator!=(const SharedText& a, const wchar_t* b) noexcept { return !(a == b); }

// Makes many texts into shared blocks: each one is written into the room
// Reserve gives, then made a text by Commit; a text that does not fit what
// is left of the block starts the next one. Blocks of the full size that are
// given back are kept for the next texts, up to kKeptBlocks of them: a list
// closed and another opened reuse the same memory, where fresh memory would
// be handed out a page fault at a time (some microseconds each under Wine).
class SharedTextBuilder {
public:
    static constexpr size_t kBlockUnits = 32 * 1024;
    static constexpr size_t kKeptBlocks = 256; // 16 MiB

    // About how many units the texts will take, NULs included: blocks are
    // no larger than that, so that a few texts do not hold a large block.
    explicit SharedTextBuilder(size_t expectedUnits = kBlockUnits) : m_blockUnits(expectedUnits) {}
    ~SharedTextBuilder();
    SharedTextBuilder(const SharedTextBuilder&) = delete;
    SharedTextBuilder& operator=(const SharedTextBuilder&) = delete;

    // Room for a text of up to maxUnits units (the NUL after it is the
    // builder's); valid until the next Reserve or Commit.
    wchar_t* Reserve(size_t maxUnits);
    // The first units of the room Reserve gave, as a text.
    SharedText Commit(size_t units);
    SharedText Append(std::wstring_view text);

private:
    SharedText::Block* m_block = nullptr; // the builder's own reference
    wchar_t* m_next = nullptr;            // the room of the block not yet taken
    size_t m_left = 0;                    // units from m_next to the block's end
    size_t m_blockUnits;
};
