#include "platform/detail/CodePageTable.h"

#include <iconv.h>
#include <string>

namespace CodePage {

// The C library's converters know every Windows code page; one byte at a time
// gives the whole table.
Table BuildTable(int codePage)
{
    Table table{};
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    for (int b = 0; b < 256; ++b) {
        table[b] = b < 0x80 ? char32_t(b) : U'\uFFFD';
        if (b < 0x80 || cd == iconv_t(-1))
            continue;
        char in = char(b);
        unsigned char out[4] = {};
        char *inp = &in;
        char *outp = reinterpret_cast<char *>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && outLeft == 0)
            table[b] = char32_t(out[0] | out[1] << 8 | out[2] << 16 | char32_t(out[3]) << 24);
        else
            table[b] = UndefinedByte(static_cast<unsigned char>(b));
    }
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return table;
}

} // namespace CodePage
