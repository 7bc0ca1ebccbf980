#pragma once
// Turns the bytes of a news file into the document the view shows: rich text
// when the bytes are rich text, plain text in code page 1250 otherwise.
// Never throws on content and never loads anything beyond the given bytes;
// broken or hostile input yields whatever text could be read.
#include "rtf/RtfDocument.h"

#include <string_view>

namespace Rtf {

// Whether the bytes start with "{\rtf", after optional whitespace.
bool LooksLikeRtf(std::string_view bytes);

Document Read(std::string_view bytes);

} // namespace Rtf
