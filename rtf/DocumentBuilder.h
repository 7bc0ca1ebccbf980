#pragma once
// Assembles paragraphs and runs from a reader's stream of text and breaks.
#include "rtf/RtfDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace Rtf {

class DocumentBuilder {
public:
    void AppendText(std::string_view utf8, const CharFormat &format, const ParagraphFormat &paragraph);
    void AppendListText(std::string_view utf8);
    // \par: ends the paragraph; inside a table cell it only breaks the line,
    // so that a row stays one paragraph.
    void EndParagraph(const ParagraphFormat &paragraph);
    // \sect, \page: ends the paragraph unless it is still empty.
    void Break(const ParagraphFormat &paragraph);
    void EndCell();
    void EndRow(const ParagraphFormat &paragraph);
    Document Finish(std::vector<std::string> fontFamilies);

private:
    bool AtLimit() const; // the current paragraph is the last the document may hold
    bool HasContent() const;
    CharFormat LastFormat() const;
    void AppendRepeated(char c, int count, const CharFormat &format);
    void AppendToRun(std::string_view utf8, const CharFormat &format);
    void Complete(const ParagraphFormat &paragraph);

    Document document_;
    Paragraph current_;
    // Separators go in when the next text arrives, so that neither a row nor
    // the document ends in one.
    int pendingCells_ = 0;   // cells ended in this row
    int pendingBreaks_ = 0;  // paragraphs ended beyond MaxParagraphs
};

} // namespace Rtf
