#pragma once
// Shows a read news file in a Qt text document: paragraphs become blocks,
// runs become fragments with their character formats.
#include "rtf/DocumentLimits.h"
#include "rtf/RtfDocument.h"

class QTextDocument;

// Replaces the content of Target by Source. Formats that Source leaves to the
// viewer (size, colours, font) are not set, so the view's own apply. Tab
// stops become every half inch, as word processors place them.
void FillNewsDocument(QTextDocument &target, const Rtf::Document &source);

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

// FillNewsDocument with Source cut to NewsViewLimits, marked where it was
// cut. MoreFollows: the file went on beyond what was read.
void FillBoundedNewsDocument(QTextDocument &target, Rtf::Document source, bool moreFollows);
