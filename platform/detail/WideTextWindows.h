#pragma once
// File names stay UTF-8 inside the program; Windows' wide-character calls take
// and give UTF-16. These convert at that boundary.
#include <string>
#include <string_view>

namespace WideText {

// Invalid UTF-8 or UTF-16 becomes U+FFFD.
std::wstring FromUtf8(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

} // namespace WideText
