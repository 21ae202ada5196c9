#include "playlist/text_codec.h"

#include <climits>

#include <windows.h>

namespace {

class CSystemAnsiCodePage final : public IAnsiCodePage {
public:
    unsigned Id() const override { return ::GetACP(); }

    std::wstring Decode(const char* data, size_t size) const override
    {
        // Larger than one call takes: the codec's check then finds the text
        // wanting and goes line by line.
        if (size == 0 || size > INT_MAX)
            return {};
        const int length = static_cast<int>(size);
        const int units = ::MultiByteToWideChar(CP_ACP, 0, data, length, nullptr, 0);
        if (units <= 0)
            return {};
        std::wstring text(static_cast<size_t>(units), L'\0');
        const int written = ::MultiByteToWideChar(CP_ACP, 0, data, length, &text[0], units);
        text.resize(written > 0 ? static_cast<size_t>(written) : 0);
        return text;
    }

    bool Encode(const wchar_t* text, size_t length, std::string& out) const override
    {
        if (length == 0)
            return true;
        if (length > INT_MAX)
            return false;
        // Best fit would write "A" for "Ā" and report nothing; the used-default
        // flag is the code page's own word that a character had no bytes.
        // UTF-8 and UTF-7 take neither.
        const UINT page = ::GetACP();
        const bool flagsAllowed = page != CP_UTF8 && page != CP_UTF7;
        const DWORD flags = flagsAllowed ? WC_NO_BEST_FIT_CHARS : 0;
        BOOL usedDefault = FALSE;
        BOOL* usedDefaultOut = flagsAllowed ? &usedDefault : nullptr;
        const int units = static_cast<int>(length);
        const int bytes = ::WideCharToMultiByte(CP_ACP, flags, text, units, nullptr, 0, nullptr, usedDefaultOut);
        if (bytes <= 0)
            return false;
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(bytes));
        const int written =
            ::WideCharToMultiByte(CP_ACP, flags, text, units, &out[at], bytes, nullptr, usedDefaultOut);
        out.resize(at + (written > 0 ? static_cast<size_t>(written) : 0));
        return written == bytes && !usedDefault;
    }

    size_t CharLength(unsigned char lead) const override { return ::IsDBCSLeadByte(lead) ? 2 : 1; }
};

} // namespace

const IAnsiCodePage& SystemAnsiCodePage()
{
    static const CSystemAnsiCodePage page;
    return page;
}
