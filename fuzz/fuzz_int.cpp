// Integer fields: TryStrToInt must agree with a plain reference reading of the
// same rules (blanks, sign, decimal or "$"/"0x" hexadecimal, 32 bits).
#include "platform/IntConvert.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

std::optional<int> Reference(std::string_view text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+')
        ++i;
    int base = 10;
    if (text.substr(i, 1) == "$") {
        base = 16;
        i += 1;
    } else if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    }
    const std::string_view digits = text.substr(i);
    if (digits.empty())
        return std::nullopt;
    __int128 magnitude = 0;
    for (const char c : digits) {
        int digit = base;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFll)
            return std::nullopt;
    }
    if (base == 16)  // all 32 bits, as two's complement
        return static_cast<int>(static_cast<uint32_t>(negative ? -magnitude : magnitude));
    const __int128 value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    int value = 0;
    const bool read = IntConvert::TryStrToInt(text, value);
    const std::optional<int> expected = Reference(text);
    if (read != expected.has_value() || (read && value != *expected))
        std::abort();
    return 0;
}
