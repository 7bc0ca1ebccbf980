#include "platform/detail/CodePageTable.h"

#include <windows.h>

namespace CodePage {

// Windows' own converter, one byte at a time. Every byte of these code pages
// is one UTF-16 unit; a byte it refuses is undefined.
Table BuildTable(int codePage)
{
    Table table{};
    for (int b = 0; b < 256; ++b) {
        const char in = char(b);
        wchar_t out[2] = {};
        if (b < 0x80)
            table[b] = char32_t(b);
        else if (MultiByteToWideChar(UINT(codePage), MB_ERR_INVALID_CHARS, &in, 1, out, 2) == 1)
            table[b] = char32_t(out[0]);
        else
            table[b] = UndefinedByte(static_cast<unsigned char>(b));
    }
    return table;
}

} // namespace CodePage
