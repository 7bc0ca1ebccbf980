#pragma once
// Integer fields as the user types them: a signed 32-bit number, decimal, or
// hexadecimal after "$" or "0x", with blanks allowed before it.
#include <string>
#include <string_view>

namespace IntConvert {

bool TryStrToInt(std::string_view text, int &value);
// The same; a text that is no integer raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const std::string &text);

} // namespace IntConvert
