#pragma once
// Single-byte code pages. Files and the network carry text in code page 1250;
// the screen and the source code speak Unicode. These are the conversions.
#include <string>
#include <string_view>

namespace CodePage {

// The code pages the program can decode (Windows numbering).
constexpr int Cp1250 = 1250;

// Whether Decode knows this single-byte code page (1250 to 1254, 1257).
bool IsSupported(int codePage);

// Unicode code point of byte B in the given code page: an undefined byte from
// 0x80 to 0x9F is the control of its value (as Windows has it), any other
// undefined byte U+FFFD.
char32_t Decode(int codePage, unsigned char b);

// Single-byte text in code page 1250 -> UTF-8.
std::string ToUtf8(std::string_view cp1250);
// UTF-8 -> code page 1250; a character the code page lacks becomes "?".
std::string FromUtf8(std::string_view utf8);

// Code page 1250 <-> UTF-16, the text of the system's wide-character calls;
// as above, a character the code page lacks becomes "?".
std::u16string ToUtf16(std::string_view cp1250);
std::string FromUtf16(std::u16string_view utf16);

// The code point of UTF-8 Text at Offset, which it moves past; a byte that
// starts no valid sequence is U+FFFD and is passed alone.
char32_t NextUtf8(std::string_view utf8, std::size_t &offset);

// Appends code point C to Out as UTF-8.
void AppendUtf8(std::string &out, char32_t c);

// Whether Text is valid UTF-8 throughout (RFC 3629): no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

} // namespace CodePage

// A program text written in the source as UTF-8, in the code page 1250 form
// every text of the program takes.
inline std::string Cp(std::string_view utf8) { return CodePage::FromUtf8(utf8); }
