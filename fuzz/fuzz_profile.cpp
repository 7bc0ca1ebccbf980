// Profile texts: reading any key of any text is safe, and writing a key that
// WriteString accepts, then reading it back, gives the value without its
// surrounding blanks while every other key reads as before.
#include "platform/PrivateProfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The next field of the input, up to a zero byte.
std::string_view Field(std::string_view &input)
{
    const std::size_t end = input.find('\0');
    const std::string_view field = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return field;
}

// Blanks around a name or value do not count, nor a carriage return at its end.
std::string_view TrimBlanks(std::string_view s)
{
    const std::size_t last = s.find_last_not_of(" \t\r");
    if (last == std::string_view::npos)
        return {};
    s = s.substr(0, last + 1);
    return s.substr(s.find_first_not_of(" \t"));
}

bool SameName(std::string_view a, std::string_view b)
{
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::string_view section = Field(input), key = Field(input), value = Field(input);
    const std::string_view otherSection = Field(input), otherKey = Field(input);
    const std::string_view text = input;

    const std::string otherBefore = PrivateProfile::ReadValue(text, otherSection, otherKey);
    if (!PrivateProfile::CanWrite(section, key, value))
        return 0;
    const std::string written = PrivateProfile::WithValue(text, section, key, value);
    if (PrivateProfile::ReadValue(written, section, key) != TrimBlanks(value))
        Fail("the value written does not read back");
    const bool sameKey = SameName(section, otherSection) && SameName(key, otherKey);
    if (!sameKey && PrivateProfile::ReadValue(written, otherSection, otherKey) != otherBefore)
        Fail("another key changed");
    return 0;
}
