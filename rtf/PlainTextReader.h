#pragma once
// Content that is not rich text: single-byte text in code page 1250 whose
// lines become paragraphs.
#include "rtf/RtfDocument.h"

#include <string_view>

namespace Rtf {

// CR LF, LF and CR each end a line; a last line without a break still counts.
// The runs carry no formatting, so the viewer's own font and colours apply.
Document ReadPlainText(std::string_view cp1250);

} // namespace Rtf
