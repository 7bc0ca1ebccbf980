#include "rtf/DocumentBuilder.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Rtf {

void DocumentBuilder::AppendText(std::string_view utf8, const CharFormat &format, const ParagraphFormat &paragraph)
{
    if (utf8.empty())
        return;
    current_.format = paragraph;
    AppendRepeated('\n', std::exchange(pendingBreaks_, 0), format);
    AppendRepeated('\t', std::exchange(pendingCells_, 0), format);
    AppendToRun(utf8, format);
}

void DocumentBuilder::AppendListText(std::string_view utf8)
{
    // In the last paragraph the document may hold, an item's number goes on
    // as text once the paragraph has text or breaks.
    if (AtLimit() && (pendingBreaks_ > 0 || !current_.text.empty()))
        AppendText(utf8, LastFormat(), current_.format);
    else
        current_.listText.append(utf8);
}

void DocumentBuilder::EndParagraph(const ParagraphFormat &paragraph)
{
    if (paragraph.tableRow)
        AppendText("\n", LastFormat(), paragraph);
    else
        Complete(paragraph);
}

void DocumentBuilder::Break(const ParagraphFormat &paragraph)
{
    if (HasContent() && pendingBreaks_ == 0)
        Complete(paragraph);
}

void DocumentBuilder::EndCell() { pendingCells_ = std::min(pendingCells_ + 1, std::numeric_limits<int>::max() - 1); }

void DocumentBuilder::EndRow(const ParagraphFormat &paragraph)
{
    // The last cell needs no separator after it, but empty cells before it
    // do: "a\cell\cell\row" is "a" and an empty cell.
    AppendRepeated('\t', pendingCells_ - 1, LastFormat());
    ParagraphFormat row = paragraph;
    row.tableRow = true;
    Complete(row);
}

Document DocumentBuilder::Finish(std::vector<std::string> fontFamilies)
{
    if (HasContent())
        document_.paragraphs.push_back(std::move(current_));
    current_ = {};
    document_.fontFamilies = std::move(fontFamilies);
    return std::move(document_);
}

bool DocumentBuilder::AtLimit() const { return document_.paragraphs.size() + 1 >= MaxParagraphs; }

bool DocumentBuilder::HasContent() const { return !current_.text.empty() || !current_.listText.empty(); }

CharFormat DocumentBuilder::LastFormat() const { return current_.runs.empty() ? CharFormat{} : current_.runs.back().format; }

void DocumentBuilder::AppendRepeated(char c, int count, const CharFormat &format)
{
    if (count > 0)
        AppendToRun(std::string(static_cast<std::size_t>(count), c), format);
}

void DocumentBuilder::AppendToRun(std::string_view utf8, const CharFormat &format)
{
    current_.text.append(utf8);
    if (current_.runs.empty() || !(current_.runs.back().format == format))
        current_.runs.push_back(Run{0, format});
    current_.runs.back().length += utf8.size();
}

void DocumentBuilder::Complete(const ParagraphFormat &paragraph)
{
    pendingCells_ = 0;
    if (AtLimit()) {
        pendingBreaks_ = std::min(pendingBreaks_ + 1, std::numeric_limits<int>::max() - 1);
        return;
    }
    current_.format = paragraph;
    document_.paragraphs.push_back(std::move(current_));
    current_ = {};
}

} // namespace Rtf
