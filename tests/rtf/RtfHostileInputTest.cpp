// Broken and hostile input: the reader must finish, keep what it could read,
// and produce a result no larger than a small multiple of the input.
#include "rtf/RtfInterpreter.h"
#include "rtf/RtfReader.h"
#include "tests/rtf/DocumentChecks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using Rtf::Read;

std::string Repeat(std::string_view piece, std::size_t count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

void ExpectSoundDocument(const Rtf::Document &document, std::size_t inputSize)
{
    EXPECT_EQ(rtfcheck::DocumentFault(document, inputSize), "");
}

TEST(RtfHostileGroups, DeepNestingIsCappedAndReadingGoesOn)
{
    const std::size_t deep = 100000;
    const std::string hostile = "{\\rtf1 przed" + std::string(deep, '{') + "\\b gleboko" + std::string(deep, '}') + " po}";
    const Rtf::Document document = Read(hostile);
    EXPECT_EQ(document.PlainText(), "przed po") << "text beyond the cap is dropped, the rest is read";
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].runs.size(), 1u) << "formatting beyond the cap does not leak out";

    // The outermost group counts: MaxGroupDepth groups in all are read, one more is not.
    const std::size_t inner = Rtf::MaxGroupDepth - 1;
    EXPECT_EQ(Read("{\\rtf1 " + std::string(inner, '{') + "x" + std::string(inner, '}') + "}").PlainText(), "x");
    EXPECT_EQ(Read("{\\rtf1 " + std::string(inner + 1, '{') + "x" + std::string(inner + 1, '}') + "}").PlainText(), "");

    EXPECT_EQ(Read("{\\rtf1 otwarte" + std::string(deep, '{')).PlainText(), "otwarte");
}

TEST(RtfHostileGroups, UnbalancedBraces)
{
    EXPECT_EQ(Read("{\\rtf1 a}}}}b{c}").PlainText(), "a") << "reading ends with the outermost group";
    const Rtf::Document unclosed = Read("{\\rtf1 {\\b pogrubione {\\i i kursywa");
    EXPECT_EQ(unclosed.PlainText(), "pogrubione i kursywa");
    ASSERT_EQ(unclosed.paragraphs.at(0).runs.size(), 2u);
    EXPECT_TRUE(unclosed.paragraphs[0].runs[1].format.italic);
    EXPECT_EQ(Read("{\\rtf1 a\\").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\'").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\'4").PlainText(), "a4") << "a broken escape leaves its digit as text";
    EXPECT_EQ(Read("{\\rtf1 a\\'zzb}").PlainText(), "azzb");
}

TEST(RtfHostileNumbers, BinarySkipsAtMostWhatIsThere)
{
    EXPECT_EQ(Read("{\\rtf1 a\\bin2147483647 xyz").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\bin99999999999999999999999 xyz}").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\bin4 {}\\}b}").PlainText(), "ab") << "binary bytes are not syntax";
    EXPECT_EQ(Read("{\\rtf1 a\\bin-5 b}").PlainText(), "ab");
    EXPECT_EQ(Read("{\\rtf1 a\\bin b}").PlainText(), "ab");
}

TEST(RtfHostileNumbers, GiantParametersAreClamped)
{
    const Rtf::Document document = Read("{\\rtf1\\ansicpg99999999999999 "
                                        "\\fs99999999999999999999\\li-99999999999999\\ri99999999999\\fi-2147483648 "
                                        "\\'b9{\\cf99999999999 a}{\\fs-99999999999 b}\\u99999999999?"
                                        "\\uc99999999999 \\u261 skipped to the group end}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const Rtf::Paragraph &paragraph = document.paragraphs[0];
    EXPECT_EQ(paragraph.text, "ąab\uFFFFą") << "the huge \\uc skips to the group end";
    ASSERT_EQ(paragraph.runs.size(), 3u);
    EXPECT_EQ(paragraph.runs[0].length, 3u) << "a colour beyond the table is no colour: \"ąa\" is one run";
    EXPECT_EQ(paragraph.runs[0].format.halfPoints, 3276);
    EXPECT_FALSE(paragraph.runs[0].format.foreground);
    EXPECT_EQ(paragraph.runs[1].format.halfPoints, 24);
    EXPECT_EQ(paragraph.format.leftIndent, -31680);
    EXPECT_EQ(paragraph.format.rightIndent, 31680);
    EXPECT_EQ(paragraph.format.firstLineIndent, -31680);

    const std::string longWord = "{\\rtf1 \\" + std::string(100000, 'b') + "123456789012345678901234567890 x}";
    EXPECT_EQ(Read(longWord).PlainText(), "x") << "an over-long control word is an unknown one";
}

TEST(RtfHostileSize, FiftyMegabytesReadWhole)
{
    const std::string paragraph = Repeat("{\\b pogrubiony} zwykly \\'b9\\'e6 \\u380? ", 20) + "\\par\r\n";
    const std::string expectedParagraph = Repeat("pogrubiony zwykly ąć ż ", 20);
    const std::size_t count = 50'000'000 / paragraph.size() + 1;
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}" + Repeat(paragraph, count) + "}";
    ASSERT_GE(rtf.size(), 50'000'000u);

    const Rtf::Document document = Read(rtf);
    ASSERT_EQ(document.paragraphs.size(), count);
    EXPECT_EQ(document.paragraphs.front().text, expectedParagraph);
    EXPECT_EQ(document.paragraphs.back().text, expectedParagraph);
    EXPECT_EQ(document.paragraphs.back().runs.size(), 40u);
}

TEST(RtfHostileSize, ParagraphsBeyondTheLimitBecomeLines)
{
    const std::size_t lines = 50'000'000 / 30;
    std::string expected = Repeat("Zmiana w programie łódzkim\n", lines);
    expected.pop_back();

    const Rtf::Document plain = Read(Repeat("Zmiana w programie \xB3\xF3" "dzkim\r\n", lines));
    EXPECT_EQ(plain.paragraphs.size(), Rtf::MaxParagraphs);
    EXPECT_EQ(plain.PlainText(), expected);

    const Rtf::Document rich = Read("{\\rtf1 " + Repeat("Zmiana w programie \\'b3\\'f3dzkim\\par\r\n", lines) + "}");
    EXPECT_EQ(rich.paragraphs.size(), Rtf::MaxParagraphs);
    EXPECT_EQ(rich.PlainText(), expected);

    const std::string item = "\\par\\par\\page {\\listtext 1.\\tab}x";
    const Rtf::Document list = Read("{\\rtf1 " + Repeat(item, 2 * Rtf::MaxParagraphs) + "}");
    EXPECT_EQ(list.paragraphs.size(), Rtf::MaxParagraphs);
    EXPECT_EQ(list.PlainText(), Repeat("\n\n1.\tx", 2 * Rtf::MaxParagraphs)) << "breaks and numbers go on as lines";
}

TEST(RtfHostileGarbage, RandomBytesAndRandomSyntax)
{
    std::mt19937 random(20240315);
    const std::string_view pieces[] = {"{", "}", "\\", "\\'", "\\u", "\\bin", "\\par", "\\cell", "\\row", "\\*",
                                       "\\fonttbl", "\\colortbl", "\\pntext", "\\f", "\\b", "-", "12", "99999999999",
                                       ";", " ", "a", "\xB9", "\r\n", "\\uc"};
    for (int round = 0; round < 200; ++round) {
        std::string bytes(2000, '\0');
        for (char &byte : bytes)
            byte = static_cast<char>(random() & 0xFF);
        ExpectSoundDocument(Read(bytes), bytes.size());
        ExpectSoundDocument(Read("{\\rtf1" + bytes), bytes.size() + 6);

        std::string syntax = "{\\rtf1";
        for (int i = 0; i < 2000; ++i)
            syntax += pieces[random() % std::size(pieces)];
        ExpectSoundDocument(Read(syntax), syntax.size());
    }
}

} // namespace
