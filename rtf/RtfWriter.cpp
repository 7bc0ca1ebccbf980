#include "rtf/RtfWriter.h"

#include "platform/CodePage.h"

#include <string_view>

namespace Rtf {
namespace {

// Colour 1 is the view's text colour; the document's own colours follow.
class ColorIndex {
public:
    explicit ColorIndex(const Color &text) : colors_{text} {}

    int Of(const Color &color)
    {
        for (std::size_t i = 0; i < colors_.size(); ++i)
            if (colors_[i] == color)
                return static_cast<int>(i) + 1;
        colors_.push_back(color);
        return static_cast<int>(colors_.size());
    }

    std::string Table() const
    {
        std::string table = "{\\colortbl;";
        for (const Color &color : colors_)
            table += "\\red" + std::to_string(color.red) + "\\green" + std::to_string(color.green) + "\\blue" +
                     std::to_string(color.blue) + ";";
        return table + "}";
    }

private:
    std::vector<Color> colors_;
};

// \uN takes a signed 16-bit number; one "?" follows for readers without it.
void AppendUnicode(std::string &out, char32_t unit)
{
    out += "\\u" + std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit))) + "?";
}

void AppendText(std::string &out, std::string_view text)
{
    for (std::size_t offset = 0; offset < text.size();) {
        const char32_t c = CodePage::NextUtf8(text, offset);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20) {
            // No other control character has a meaning in a view.
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c <= 0xFFFF) {
            AppendUnicode(out, c);
        } else {
            AppendUnicode(out, 0xD800 + ((c - 0x10000) >> 10));
            AppendUnicode(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
}

std::string FontTable(const Document &document, const ViewLook &look)
{
    // Font 0 is the view's; the document's fonts follow from 1.
    std::string table = "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset238 ";
    AppendText(table, look.fontFamily);
    table += ";}";
    for (std::size_t i = 0; i < document.fontFamilies.size(); ++i) {
        table += "{\\f" + std::to_string(i + 1) + "\\fnil\\fcharset238 ";
        std::string name;
        for (const char c : document.fontFamilies[i])
            if (c != ';')
                name += c;
        AppendText(table, name);
        table += ";}";
    }
    return table + "}";
}

std::string CharControls(const CharFormat &format, const Document &document, const ViewLook &look, ColorIndex &colors)
{
    const bool ownFont = format.font >= 0 && static_cast<std::size_t>(format.font) < document.fontFamilies.size();
    std::string controls = "\\f" + std::to_string(ownFont ? format.font + 1 : 0);
    controls += "\\fs" + std::to_string(format.halfPoints > 0 ? format.halfPoints : look.halfPoints);
    controls += "\\cf" + std::to_string(colors.Of(format.foreground.value_or(look.text)));
    if (format.background)
        controls += "\\highlight" + std::to_string(colors.Of(*format.background));
    if (format.bold)
        controls += "\\b";
    if (format.italic)
        controls += "\\i";
    if (format.underline)
        controls += "\\ul";
    if (format.strike)
        controls += "\\strike";
    return controls + " ";
}

std::string ParagraphControls(const ParagraphFormat &format)
{
    static constexpr std::string_view alignments[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
    std::string controls = "\\pard";
    controls += alignments[static_cast<int>(format.alignment)];
    controls += "\\li" + std::to_string(format.leftIndent) + "\\ri" + std::to_string(format.rightIndent) + "\\fi" +
                std::to_string(format.firstLineIndent);
    // A hanging indent's text lines up after the bullet's tab.
    if (format.firstLineIndent < 0)
        controls += "\\tx" + std::to_string(format.leftIndent);
    return controls + " ";
}

void AppendRun(std::string &out, std::string_view text, const std::string &controls)
{
    out += "{";
    out += controls;
    AppendText(out, text);
    out += "}";
}

} // namespace

std::string WriteRtf(const Document &document, const ViewLook &look)
{
    ColorIndex colors(look.text);
    std::string body;
    for (const Paragraph &paragraph : document.paragraphs) {
        if (&paragraph != &document.paragraphs.front())
            body += "\\par\n";
        body += ParagraphControls(paragraph.format);
        if (!paragraph.listText.empty()) {
            // The bullet takes the look of its text, without a line across its tab.
            CharFormat listFormat = paragraph.runs.empty() ? CharFormat{} : paragraph.runs.front().format;
            listFormat.underline = false;
            listFormat.strike = false;
            AppendRun(body, paragraph.listText, CharControls(listFormat, document, look, colors));
        }
        std::size_t offset = 0;
        const std::string_view text = paragraph.text;
        for (const Run &run : paragraph.runs) {
            AppendRun(body, text.substr(offset, run.length), CharControls(run.format, document, look, colors));
            offset += run.length;
        }
    }
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1" + FontTable(document, look) + colors.Table() + "\n" + body + "}";
}

} // namespace Rtf
