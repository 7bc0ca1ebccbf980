// A document cut to what a view can lay out at once, with marks where text
// was left out.
#include "rtf/DocumentLimits.h"
#include "rtf/RtfReader.h"

#include <gtest/gtest.h>

namespace {

constexpr Rtf::CutMarks kMarks{.cutMark = "<cut>", .omittedMark = "<omitted>"};

Rtf::Document Shortened(const std::string &rtf, const Rtf::ViewLimits &limits, bool moreFollows = false)
{
    Rtf::Document document = Rtf::Read(rtf);
    Rtf::Shorten(document, limits, kMarks, moreFollows);
    return document;
}

} // namespace

TEST(RtfDocumentLimits, DocumentWithinTheLimitsIsLeftAsItIs)
{
    Rtf::Document document = Rtf::Read("{\\rtf1 ab\\par cd}");
    EXPECT_FALSE(Rtf::Shorten(document, {.paragraphs = 2, .paragraphBytes = 2, .textBytes = 4}, kMarks, false));
    EXPECT_EQ(document.PlainText(), "ab\ncd");
}

TEST(RtfDocumentLimits, LongParagraphIsCutBetweenCharactersAndMarked)
{
    // "ż" takes two bytes: a cut after three bytes keeps one letter.
    const Rtf::Document document =
        Shortened("{\\rtf1\\ansi\\ansicpg1250 \\'bf\\'bf{\\b xyz}\\par next}",
                  {.paragraphs = 9, .paragraphBytes = 3, .textBytes = 99});
    EXPECT_EQ(document.PlainText(), "\xC5\xBC<cut>\nnex<cut>");
    const Rtf::Paragraph &first = document.paragraphs.front();
    ASSERT_EQ(first.runs.size(), 2u);
    EXPECT_EQ(first.runs[0].length + first.runs[1].length, first.text.size());
}

TEST(RtfDocumentLimits, TextBeyondTheTotalIsLeftOutAndMarked)
{
    const Rtf::Document document =
        Shortened("{\\rtf1 abcd\\par efgh\\par ijkl}", {.paragraphs = 9, .paragraphBytes = 9, .textBytes = 6});
    EXPECT_EQ(document.PlainText(), "abcd\nef<cut>\n<omitted>");
}

TEST(RtfDocumentLimits, ParagraphsBeyondTheCountAreLeftOutAndMarked)
{
    const Rtf::Document document =
        Shortened("{\\rtf1 a\\par b\\par c}", {.paragraphs = 2, .paragraphBytes = 9, .textBytes = 99});
    EXPECT_EQ(document.PlainText(), "a\nb\n<omitted>");
}

TEST(RtfDocumentLimits, SourceGoingOnBeyondWhatWasReadIsMarked)
{
    const Rtf::Document document =
        Shortened("{\\rtf1 a}", {.paragraphs = 9, .paragraphBytes = 9, .textBytes = 99}, true);
    EXPECT_EQ(document.PlainText(), "a\n<omitted>");
}
