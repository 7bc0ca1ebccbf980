#pragma once
// How much of a news file the news view is given, on every system: enough
// for any real news, little enough that a view lays it out at once.
#include "rtf/DocumentLimits.h"
#include "rtf/RtfDocument.h"

// The most the news view is given, so that any news file is shown within a
// fraction of a second. Measured on Qt's layout: a paragraph without break
// points costs about the square of its length (100 000 letters over a
// second; 30 paragraphs of 10 000 letters a second; 75 of 4 000, 0.3 s), and
// short paragraphs about 0.4 s per megabyte.
inline constexpr Rtf::ViewLimits NewsViewLimits{
    .paragraphs = 10000,
    .paragraphBytes = 4000,
    .textBytes = 200000,
};

// Cuts Source to NewsViewLimits and marks where it was cut. MoreFollows: the
// file went on beyond what was read.
void BoundNews(Rtf::Document &source, bool moreFollows);
