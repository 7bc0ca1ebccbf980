#pragma once
// Writes a read document back as a small rich text of our own, for a view
// that takes rich text (Windows' RichEdit). Only what the reader produced is
// written, so hostile input reaches the view as plain, bounded formatting.
// Every character beyond ASCII is a \uN escape and every font is Central
// European, so the view decodes nothing by the system's code page.
#include "rtf/RtfDocument.h"

#include <string>

namespace Rtf {

// What the view shows where the document leaves a format to it.
struct ViewLook {
    std::string fontFamily;  // ASCII; fixed pitch
    int halfPoints = 16;
    Color text;
};

std::string WriteRtf(const Document &document, const ViewLook &look);

} // namespace Rtf
