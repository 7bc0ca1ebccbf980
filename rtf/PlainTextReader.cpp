#include "rtf/PlainTextReader.h"

#include "platform/CodePage.h"
#include "rtf/ByteDecoder.h"
#include "rtf/DocumentBuilder.h"

namespace Rtf {

Document ReadPlainText(std::string_view cp1250)
{
    const ByteDecoder &decoder = DecoderFor(CodePage::Cp1250);
    DocumentBuilder builder;
    std::string line;
    while (!cp1250.empty()) {
        const std::size_t end = cp1250.find_first_of("\r\n");
        line.clear();
        decoder.AppendUtf8(line, cp1250.substr(0, end));
        builder.AppendText(line, CharFormat{}, ParagraphFormat{});
        if (end == std::string_view::npos)
            break;
        builder.EndParagraph(ParagraphFormat{});
        const bool crlf = cp1250[end] == '\r' && end + 1 < cp1250.size() && cp1250[end + 1] == '\n';
        cp1250.remove_prefix(end + (crlf ? 2 : 1));
    }
    return builder.Finish({});
}

} // namespace Rtf
