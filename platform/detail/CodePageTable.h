#pragma once
// The one part of decoding a code page that each system does its own way: the
// code point of each byte, asked of the system's converters once per code page.
#include <array>

namespace CodePage {

using Table = std::array<char32_t, 256>;

// The code points of the 256 bytes of CodePage. A byte the code page leaves
// undefined (or one the system cannot convert) is UndefinedByte's.
Table BuildTable(int codePage);

// An undefined byte from 0x80 to 0x9F stands for the control of its own
// value, as in Windows' conversion, so that it survives a round trip through
// Unicode; any other is U+FFFD.
constexpr char32_t UndefinedByte(unsigned char b) { return b < 0xA0 ? char32_t(b) : U'\uFFFD'; }

} // namespace CodePage
