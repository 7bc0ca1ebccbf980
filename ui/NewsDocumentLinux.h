#pragma once
// Shows a read news file in a Qt text document: paragraphs become blocks,
// runs become fragments with their character formats.
#include "rtf/RtfDocument.h"
#include "ui/NewsBounds.h"

class QTextDocument;

// Replaces the content of Target by Source. Formats that Source leaves to the
// viewer (size, colours, font) are not set, so the view's own apply. Tab
// stops become every half inch, as word processors place them.
void FillNewsDocument(QTextDocument &target, const Rtf::Document &source);

// FillNewsDocument with Source cut to NewsViewLimits, marked where it was
// cut. MoreFollows: the file went on beyond what was read.
void FillBoundedNewsDocument(QTextDocument &target, Rtf::Document source, bool moreFollows);
