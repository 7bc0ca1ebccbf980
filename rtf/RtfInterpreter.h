#pragma once
// Reads rich text into the neutral document: groups and their formatting
// state, destinations, code pages and Unicode escapes.
#include "rtf/RtfDocument.h"

#include <cstddef>
#include <string_view>

namespace Rtf {

// Groups nested deeper than this are read as skipped destinations: real
// documents stay far below it, and the state stack stays small.
constexpr std::size_t MaxGroupDepth = 256;

// Reads bytes that start with "{\rtf" (after optional whitespace). Reading
// ends with the group that "{\rtf" opened, or with the bytes.
Document ReadRtf(std::string_view bytes);

} // namespace Rtf
