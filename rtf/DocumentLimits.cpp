#include "rtf/DocumentLimits.h"

#include <algorithm>

namespace Rtf {
namespace {

// The largest length up to Limit that does not end inside a UTF-8 character.
std::size_t CharacterBoundary(const std::string &text, std::size_t limit)
{
    std::size_t end = std::min(limit, text.size());
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

void Cut(Paragraph &paragraph, std::size_t length, std::string_view mark)
{
    paragraph.text.resize(length);
    std::size_t covered = 0;
    auto run = paragraph.runs.begin();
    for (; run != paragraph.runs.end() && covered < length; ++run) {
        run->length = std::min(run->length, length - covered);
        covered += run->length;
    }
    paragraph.runs.erase(run, paragraph.runs.end());
    const CharFormat format = paragraph.runs.empty() ? CharFormat{} : paragraph.runs.back().format;
    paragraph.text.append(mark);
    paragraph.runs.push_back(Run{mark.size(), format});
}

} // namespace

bool Shorten(Document &document, const ViewLimits &limits, const CutMarks &marks, bool moreFollows)
{
    bool shortened = false;
    std::size_t total = 0;
    std::size_t kept = 0;
    for (Paragraph &paragraph : document.paragraphs) {
        if (kept == limits.paragraphs || total >= limits.textBytes)
            break;
        const std::size_t room = std::min(limits.paragraphBytes, limits.textBytes - total);
        if (paragraph.text.size() > room) {
            Cut(paragraph, CharacterBoundary(paragraph.text, room), marks.cutMark);
            shortened = true;
        }
        total += paragraph.text.size();
        ++kept;
    }
    const bool omitted = moreFollows || kept < document.paragraphs.size();
    document.paragraphs.resize(kept);
    if (omitted) {
        Paragraph last;
        last.text = marks.omittedMark;
        last.runs.push_back(Run{last.text.size(), CharFormat{}});
        document.paragraphs.push_back(std::move(last));
    }
    return shortened || omitted;
}

} // namespace Rtf
