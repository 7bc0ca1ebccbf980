// The reader against files that LibreOffice wrote or read: our text must be
// LibreOffice's own text export of the same file, letter for letter, once
// the few differences of representation below are evened out.
#include "rtf/RtfReader.h"
#include "tests/rtf/RtfTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Normalisations of LibreOffice's export:
//  - the byte order mark at its start is dropped, and so are the line breaks
//    at its end (it ends every line; we join paragraphs);
//  - a list item starts with an indent of four blanks per level, the bullet
//    or number and one blank; it becomes "<marker> ", the marker as it is,
//    except that LibreOffice's bullets of deeper levels (◦ ▪) count as "•".
std::vector<std::string> NormaliseLibreOffice(std::string text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    while (text.ends_with('\n'))
        text.pop_back();
    std::vector<std::string> lines = Lines(text);
    for (std::string &line : lines) {
        const auto indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || indent < 4 || indent % 4 != 0)
            continue;
        line.erase(0, indent);
        for (const std::string_view deeper : {"◦ ", "▪ "})
            if (line.starts_with(deeper))
                line.replace(0, deeper.size(), "• ");
    }
    return lines;
}

// Normalisations of ours:
//  - the list text, which word processors write as the marker and a tab,
//    becomes "<marker> ", as in the export above;
//  - a table row, one paragraph with its cells separated by tabs, becomes
//    one line per cell, as LibreOffice writes a table.
std::vector<std::string> NormaliseOurs(const Rtf::Document &document)
{
    std::string text;
    for (const Rtf::Paragraph &paragraph : document.paragraphs) {
        if (&paragraph != &document.paragraphs.front())
            text += '\n';
        const auto first = paragraph.listText.find_first_not_of(" \t");
        const auto last = paragraph.listText.find_last_not_of(" \t");
        if (first != std::string::npos)
            text += paragraph.listText.substr(first, last - first + 1) + " ";
        std::string body = paragraph.text;
        if (paragraph.format.tableRow)
            std::replace(body.begin(), body.end(), '\t', '\n');
        text += body;
    }
    return Lines(text);
}

class RtfLibreOffice : public testing::TestWithParam<const char *> {};

TEST_P(RtfLibreOffice, TextIsLibreOfficesExport)
{
    const std::string name = GetParam();
    const std::vector<std::string> expected = NormaliseLibreOffice(ReadRtfTestFile(name + ".txt"));
    const std::string rtf = ReadRtfTestFile(name + ".rtf");
    ASSERT_TRUE(Rtf::LooksLikeRtf(rtf));
    const std::vector<std::string> actual = NormaliseOurs(Rtf::Read(rtf));
    ASSERT_GT(expected.size(), 3u);
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, RtfLibreOffice,
                         testing::Values("lo-news", "lo-formatting", "lo-lists-table", "old-wordpad-news",
                                         "old-word97", "old-word-table"),
                         [](const testing::TestParamInfo<const char *> &param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The paragraph formats LibreOffice wrote for its formatting sample; its
// character formats are checked where the view shows them.
TEST(RtfLibreOfficeFormatting, ParagraphsCarryTheirFormats)
{
    const Rtf::Document document = Rtf::Read(ReadRtfTestFile("lo-formatting.rtf"));
    ASSERT_GE(document.paragraphs.size(), 5u);
    EXPECT_EQ(document.paragraphs[1].format.alignment, Rtf::Alignment::Center);
    EXPECT_EQ(document.paragraphs[2].format.alignment, Rtf::Alignment::Right);
    EXPECT_EQ(document.paragraphs[3].format.alignment, Rtf::Alignment::Justify);
    EXPECT_GT(document.paragraphs[4].format.leftIndent, 1000) << "2 cm is 1134 twips";
}

} // namespace
