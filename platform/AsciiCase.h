#pragma once
// Upper-casing that turns only the ASCII letters a to z into A to Z: settings
// codes and protocol words are compared this way, whatever else a text holds.
#include <string>
#include <string_view>

inline std::string UpperCaseAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}
