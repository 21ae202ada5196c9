#include "support/gui_objects.h"

#include <windows.h>

#include <cstdint>

namespace testing_support {

int GdiObjectCount()
{
    DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n > 0 || !::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return static_cast<int>(n);
    // Wine keeps its GDI handle table in the PEB: entries of 24 bytes, a
    // non-zero type byte for a handle in use.
#pragma pack(push, 1)
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
#pragma pack(pop)
    const char* peb = nullptr;
    asm("movl %%fs:0x30, %0" : "=r"(peb)); // the PEB of this 32-bit process
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb + 0x94);
    int count = 0;
    for (int i = 0; table && i < 0x10000; ++i)
        count += table[i].type != 0;
    return count;
}

} // namespace testing_support
