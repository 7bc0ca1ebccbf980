// The rich text written for a view must read back as the document it came
// from, in pure ASCII, whatever the system's code page.
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(RtfWriter, ReadsBackAsTheDocumentInAsciiOnly)
{
    const Rtf::Color red{200, 0, 0}, yellow{255, 255, 0};
    const Rtf::ViewLook look{.fontFamily = "MS Sans Serif", .halfPoints = 16, .text = {0, 0, 128}};
    Rtf::Document source;
    source.fontFamilies = {"Courier New"};
    source.paragraphs.push_back(ParagraphOf({{"Zażółć gęślą jaźń {\\} ", {}},
                                             {"pogrubione", {.bold = true, .halfPoints = 24, .foreground = red}},
                                             {" i\tdalej\nwiersz 😀", {.italic = true, .background = yellow, .font = 0}}}));
    source.paragraphs.back().format = {.alignment = Rtf::Alignment::Center, .leftIndent = 360, .rightIndent = 120};
    source.paragraphs.push_back(ParagraphOf({{"punkt", {.underline = true, .strike = true}}}));
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
    EXPECT_EQ(first[0].format, (Rtf::CharFormat{.halfPoints = 16, .foreground = look.text, .font = 0}));
    EXPECT_EQ(first[1].format, (Rtf::CharFormat{.bold = true, .halfPoints = 24, .foreground = red, .font = 0}));
    EXPECT_EQ(first[2].format,
              (Rtf::CharFormat{.italic = true, .halfPoints = 16, .foreground = look.text, .background = yellow, .font = 1}));
    EXPECT_EQ(read.fontFamilies, (std::vector<std::string>{"MS Sans Serif", "Courier New"}));
    const auto &second = read.paragraphs[1].runs;
    ASSERT_FALSE(second.empty());
    EXPECT_TRUE(second.back().format.underline && second.back().format.strike);
}

} // namespace
