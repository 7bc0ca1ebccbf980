#pragma once
// Bounds a document to what a view can lay out at once. Laying out a
// paragraph costs about the square of its length when it has no place to
// break, and every paragraph and character costs on top; a news file of
// megabytes would keep a view busy for minutes.
#include "rtf/RtfDocument.h"

#include <cstddef>
#include <string_view>

namespace Rtf {

struct ViewLimits {
    std::size_t paragraphs = 0;      // paragraphs kept
    std::size_t paragraphBytes = 0;  // text bytes kept of one paragraph
    std::size_t textBytes = 0;       // text bytes kept of all paragraphs
};

// What stands where text was left out: CutMark after the kept part of a
// shortened paragraph, OmittedMark as a paragraph of its own after the last
// one kept when later paragraphs were left out. UTF-8.
struct CutMarks {
    std::string_view cutMark;
    std::string_view omittedMark;
};

// Cuts Document to Limits, never inside a UTF-8 character, and puts the marks
// where it cut. MoreFollows says that the source went on beyond what was
// read, so that the end is marked as omitted too. Returns whether anything
// was left out.
bool Shorten(Document &document, const ViewLimits &limits, const CutMarks &marks, bool moreFollows);

} // namespace Rtf
