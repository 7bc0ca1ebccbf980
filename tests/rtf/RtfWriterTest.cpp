// The rich text written for a view must read back as the document it came
// from, in pure ASCII, whatever the system's code page.
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

Rtf::Paragraph ParagraphOf(std::initializer_list<std::pair<std::string, Rtf::CharFormat>> runs)
{
    Rtf::Paragraph paragraph;
    for (const auto &[text, format] : runs) {
        paragraph.text += text;
        paragraph.runs.push_back({text.size(), format});
    }
    return paragraph;
}

// A format from its plain fields and colours.
Rtf::CharFormat Format(int halfPoints, std::optional<Rtf::Color> foreground, int font = -1,
                       std::optional<Rtf::Color> background = std::nullopt)
{
    Rtf::CharFormat format;
    format.halfPoints = halfPoints;
    format.foreground = foreground;
    format.background = background;
    format.font = font;
    return format;
}

TEST(RtfWriter, ReadsBackAsTheDocumentInAsciiOnly)
{
    const Rtf::Color red{200, 0, 0}, yellow{255, 255, 0};
    Rtf::CharFormat bold = Format(24, red), italic = Format(0, std::nullopt, 0, yellow), lines;
    bold.bold = true;
    italic.italic = true;
    lines.underline = lines.strike = true;
    const Rtf::ViewLook look{.fontFamily = "MS Sans Serif", .halfPoints = 16, .text = {0, 0, 128}};
    Rtf::Document source;
    source.fontFamilies = {"Courier New"};
    source.paragraphs.push_back(
        ParagraphOf({{"Zażółć gęślą jaźń {\\} ", {}}, {"pogrubione", bold}, {" i\tdalej\nwiersz 😀", italic}}));
    source.paragraphs.back().format = {.alignment = Rtf::Alignment::Center, .leftIndent = 360, .rightIndent = 120};
    source.paragraphs.push_back(ParagraphOf({{"punkt", lines}}));
    source.paragraphs.back().listText = "•\t";
    source.paragraphs.back().format = {.leftIndent = 720, .firstLineIndent = -360};

    const std::string written = Rtf::WriteRtf(source, look);
    EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](char c) { return c > 0 && c < 0x7F; }))
        << "every letter beyond ASCII is an escape";
    EXPECT_NE(written.find("\\fcharset238"), std::string::npos);

    const Rtf::Document read = Rtf::Read(written);
    EXPECT_EQ(read.PlainText(), source.PlainText());
    ASSERT_EQ(read.paragraphs.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(read.paragraphs[i].format, source.paragraphs[i].format) << "paragraph " << i;

    // Where the document leaves the look to the view, the view's look is written.
    const auto &first = read.paragraphs[0].runs;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].format, Format(16, look.text, 0));
    Rtf::CharFormat boldRead = Format(24, red, 0), italicRead = Format(16, look.text, 1, yellow);
    boldRead.bold = true;
    italicRead.italic = true;
    EXPECT_EQ(first[1].format, boldRead);
    EXPECT_EQ(first[2].format, italicRead);
    EXPECT_EQ(read.fontFamilies, (std::vector<std::string>{"MS Sans Serif", "Courier New"}));
    const auto &second = read.paragraphs[1].runs;
    ASSERT_FALSE(second.empty());
    EXPECT_TRUE(second.back().format.underline && second.back().format.strike);
}

} // namespace
