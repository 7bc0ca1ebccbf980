#include "platform/IntConvert.h"

#include "platform/Exception.h"

#include <cstdint>

namespace IntConvert {

bool TryStrToInt(std::string_view text, int &value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';

    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }

    // Hexadecimal spans all 32 bits (as "$FFFFFFFF" is -1); decimal stays signed.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t magnitude = 0;
    const size_t first = i;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    if (i == first)
        return false;
    const auto bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int>(negative ? 0u - bits : bits);
    return true;
}

int StrToInt(const std::string &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(FormatText("'%s' is not a valid integer value", text));
    return value;
}

} // namespace IntConvert
