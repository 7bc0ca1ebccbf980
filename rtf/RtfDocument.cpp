#include "rtf/RtfDocument.h"

namespace Rtf {

std::string Document::PlainText() const
{
    std::string text;
    for (const Paragraph &paragraph : paragraphs) {
        if (&paragraph != &paragraphs.front())
            text += '\n';
        text += paragraph.listText;
        text += paragraph.text;
    }
    return text;
}

} // namespace Rtf
