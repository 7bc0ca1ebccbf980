#include "platform/CodePage.h"

#include "platform/detail/CodePageTable.h"

#include <map>
#include <mutex>
#include <unordered_map>

namespace CodePage {
namespace {

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

// The code page 1250 byte of code point C, or "?" when the code page lacks it.
char Encode(char32_t c)
{
    if (c < 0x80)
        return char(c);
    const auto &encoder = Cp1250Encoder();
    const auto it = encoder.find(c);
    return it == encoder.end() ? '?' : char(it->second);
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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

char32_t NextUtf8(std::string_view utf8, size_t &offset)
{
    const auto lead = static_cast<unsigned char>(utf8[offset]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && offset + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[offset + k]);
        valid = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
        ++offset;
        return U'\uFFFD';
    }
    offset += length;
    return c;
}

bool IsUtf8(std::string_view text)
{
    for (size_t offset = 0; offset < text.size();) {
        const size_t start = offset;
        const char32_t c = NextUtf8(text, offset);
        const size_t length = offset - start;
        // The shortest form's length for C; a lone invalid byte decodes as U+FFFD, which takes three.
        const size_t shortest = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (length != shortest || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return false;
    }
    return true;
}

std::string FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    // U+FFFD is not in the code page either: an invalid byte becomes "?".
    for (size_t i = 0; i < utf8.size();)
        out += Encode(NextUtf8(utf8, i));
    return out;
}

std::u16string ToUtf16(std::string_view cp1250)
{
    std::u16string out;
    out.reserve(cp1250.size());
    // Every character of code page 1250 lies in the basic plane: one unit each.
    for (unsigned char b : cp1250)
        out += char16_t(Decode(Cp1250, b));
    return out;
}

std::string FromUtf16(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        // A lone surrogate is no character: no table holds it.
        out += Encode(c);
    }
    return out;
}

} // namespace CodePage
