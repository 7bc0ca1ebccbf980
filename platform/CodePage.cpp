#include "platform/CodePage.h"

#include <array>
#include <iconv.h>
#include <map>
#include <mutex>
#include <unordered_map>

namespace CodePage {
namespace {

using Table = std::array<char32_t, 256>;

// The C library's converters know every Windows code page; one byte at a time
// gives the whole table, built once per code page.
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
        // A byte the code page leaves undefined stands for the control of
        // its own value, as in Windows' conversion, so that it survives a
        // round trip through Unicode.
        else if (b < 0xA0)
            table[b] = char32_t(b);
    }
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return table;
}

const Table &TableFor(int codePage)
{
    static std::mutex guard;
    static std::map<int, Table> tables;
    std::lock_guard lock(guard);
    auto it = tables.find(codePage);
    if (it == tables.end())
        it = tables.emplace(codePage, BuildTable(codePage)).first;
    return it->second;
}

const std::unordered_map<char32_t, unsigned char> &Cp1250Encoder()
{
    static const auto encoder = [] {
        std::unordered_map<char32_t, unsigned char> map;
        const Table &table = TableFor(Cp1250);
        for (int b = 0; b < 256; ++b)
            if (table[b] != U'\uFFFD')
                map.emplace(table[b], static_cast<unsigned char>(b));
        return map;
    }();
    return encoder;
}

} // namespace

bool IsSupported(int codePage)
{
    return (codePage >= 1250 && codePage <= 1254) || codePage == 1257;
}

char32_t Decode(int codePage, unsigned char b)
{
    if (b < 0x80)
        return b;
    return TableFor(IsSupported(codePage) ? codePage : Cp1250)[b];
}

void AppendUtf8(std::string &out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = U'\uFFFD';
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(std::string_view cp1250)
{
    std::string out;
    out.reserve(cp1250.size());
    for (unsigned char b : cp1250)
        AppendUtf8(out, Decode(Cp1250, b));
    return out;
}

std::string FromUtf8(std::string_view utf8)
{
    const auto &encoder = Cp1250Encoder();
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        i += length;
        if (c < 0x80) {
            out += char(c);
        } else {
            const auto it = encoder.find(c);
            out += it == encoder.end() ? '?' : char(it->second);
        }
    }
    return out;
}

} // namespace CodePage
