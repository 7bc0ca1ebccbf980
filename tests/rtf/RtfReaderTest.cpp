// The reader on small hand-made inputs, one feature of the format per group.
#include "rtf/RtfReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rtf::Alignment;
using Rtf::Color;
using Rtf::Document;
using Rtf::Read;

std::string TextOf(std::string_view rtf) { return Read(rtf).PlainText(); }

// The format of the run that holds Needle.
Rtf::CharFormat FormatOf(const Document &document, std::string_view needle)
{
    for (const Rtf::Paragraph &paragraph : document.paragraphs) {
        std::size_t offset = 0;
        for (const Rtf::Run &run : paragraph.runs) {
            if (std::string_view(paragraph.text).substr(offset, run.length).find(needle) != std::string_view::npos)
                return run.format;
            offset += run.length;
        }
    }
    ADD_FAILURE() << "no run holds " << needle;
    return {};
}

TEST(RtfLooksLikeRtf, NeedsTheRtfGroupAfterOptionalWhitespace)
{
    EXPECT_TRUE(Rtf::LooksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(Rtf::LooksLikeRtf(" \r\n\t{\\rtf"));
    EXPECT_FALSE(Rtf::LooksLikeRtf(""));
    EXPECT_FALSE(Rtf::LooksLikeRtf("   "));
    EXPECT_FALSE(Rtf::LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(Rtf::LooksLikeRtf("x{\\rtf1}"));
    EXPECT_FALSE(Rtf::LooksLikeRtf("{\\RTF1}"));
    EXPECT_FALSE(Rtf::LooksLikeRtf("\xEF\xBB\xBF{\\rtf1}"));
}

TEST(RtfPlainText, LinesBecomeParagraphsInCodePage1250)
{
    const Document document = Read("Zmiany w \xB3\xF3" "dce\r\ndruga\nmac\rkoniec");
    EXPECT_EQ(document.PlainText(), "Zmiany w łódce\ndruga\nmac\nkoniec");
    ASSERT_EQ(document.paragraphs.size(), 4u);
    ASSERT_EQ(document.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].runs[0].length, document.paragraphs[0].text.size());
    EXPECT_EQ(document.paragraphs[0].runs[0].format, Rtf::CharFormat{}) << "plain text keeps the view's look";

    EXPECT_EQ(Read("a\r\n\r\nb\n").PlainText(), "a\n\nb");
    EXPECT_EQ(Read("a\n\r").PlainText(), "a\n") << "LF then CR are two breaks";
    EXPECT_TRUE(Read("").paragraphs.empty());
    EXPECT_EQ(Read("a\tb\x01\x7F" "c").PlainText(), "a\tb\x7F" "c") << "control bytes other than tab carry no text";
}

TEST(RtfDestinations, NonTextDestinationsAreSkipped)
{
    EXPECT_EQ(TextOf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                     "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Tytul}{\\author Ja}}"
                     "{\\header naglowek}{\\footerr stopka}{\\headerf h}{\\footnote przypis}"
                     "{\\pict\\wmetafile8 0102ff}{\\object\\objemb{\\*\\objdata 01}{\\result x}}"
                     "{\\*\\generator Writer;}{\\*\\nieznany cokolwiek}{\\*\\listtable{\\list x}}"
                     "{\\listoverridetable{\\listoverride y}}tekst}"),
              "tekst");
    EXPECT_EQ(TextOf("{\\rtf1 a{\\*\\bkmkstart zakladka}b{\\nowe c}d}"), "abcd")
        << "an unknown group without \\* is read as text";
    EXPECT_EQ(TextOf("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt strona}}}"), "strona");
    EXPECT_EQ(TextOf("{\\rtf1 {\\pict{\\*\\blipuid 00}\\bin4 }}{x}\\par after}"), "\nafter")
        << "binary data inside a picture may hold braces";
    EXPECT_EQ(TextOf("{\\rtf1 a}ignored after the document"), "a");
}

TEST(RtfCodePages, DocumentCodePageAndFontCharsetDecodeEscapes)
{
    EXPECT_EQ(TextOf("{\\rtf1\\ansi \\'b9\\'e6\\'ea\\'b3\\'f1\\'f3\\'9c\\'9f\\'bf\\'a5\\'8c\\'af}"), "ąćęłńóśźżĄŚŻ")
        << "code page 1250 when unstated";
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}"), "Пр");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg65001 \\'b9}"), "ą") << "an unsupported code page reads as 1250";

    const std::string fonts = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset238 Arial CE;}"
                              "{\\f1\\fcharset0 Arial;}{\\f2\\fcharset204 Arial Cyr;}{\\f3\\fcharset161 Arial Greek;}"
                              "{\\f4\\fcharset162 Arial Tur;}{\\f5\\fcharset186 Arial Baltic;}{\\f6\\fcharset2 Symbol;}"
                              "{\\f7 NoCharset;}{\\f8\\cpg1251 Cpg;}}";
    EXPECT_EQ(TextOf(fonts + "\\'b9{\\f1\\'e0}{\\f2\\'e0}{\\f3\\'e1}{\\f4\\'f0}{\\f5\\'c8}{\\f6\\'b7}{\\f7\\'e0}{\\f8\\'e0}\\'b9}"),
              "ąàаαğČ•àаą")
        << "the default font's charset, then each font's; a font without one uses the document's";
    EXPECT_EQ(TextOf("{\\rtf1\\ansicpg1250{\\fonttbl{\\f0 Gro\\'9f;}}x}"), "x");
}

TEST(RtfUnicode, EscapesWithFallbackSkipping)
{
    EXPECT_EQ(TextOf("{\\rtf1 \\u261?\\u-3972?x}"), "ą\uF07Cx") << "negative values are unsigned 16-bit";
    EXPECT_EQ(TextOf("{\\rtf1 \\u380\\'bfa}"), "ża") << "an escape is one fallback character";
    EXPECT_EQ(TextOf("{\\rtf1\\uc2 \\u380 zzb\\uc0 \\u261 c}"), "żbąc");
    EXPECT_EQ(TextOf("{\\rtf1\\uc3 \\u380 z}y}"), "ż") << "the group end stops the skipping";
    EXPECT_EQ(TextOf("{\\rtf1 {\\uc2}\\u380 ??}"), "ż?") << "\\uc belongs to its group";
    EXPECT_EQ(TextOf("{\\rtf1 \\u380\\par b}"), "żb") << "a control word is one fallback character";
    EXPECT_EQ(TextOf("{\\rtf1 \\u-10179?\\u-8704?!}"), "😀!") << "a surrogate pair";
    EXPECT_EQ(TextOf("{\\rtf1 \\u-10179?x\\u-8704?y}"), "\uFFFDx\uFFFDy") << "halves without partners";
    EXPECT_EQ(TextOf("{\\rtf1 a\\u0?\\u9?b}"), "a\tb");
}

TEST(RtfCharacterFormat, ControlWordsAndGroupScopes)
{
    const Document document = Read(
        "{\\rtf1{\\colortbl;\\red192\\green0\\blue0;\\red255\\green255\\blue0;}"
        "{\\b gruby}{\\i kursywa}{\\ul podkreslony}{\\ul\\ulnone zwykly}{\\uldb podwojny}{\\strike skreslony}"
        "{\\fs32 duzy}{\\cf1 czerwony}{\\cb2 tlo}{\\highlight2 zakreslony}{\\b\\i\\plain zerowany}"
        "\\b wlaczony\\b0 wylaczony{\\cf99 poza}{\\fs0 zero}}");
    EXPECT_TRUE(FormatOf(document, "gruby").bold);
    EXPECT_TRUE(FormatOf(document, "kursywa").italic);
    EXPECT_TRUE(FormatOf(document, "podkreslony").underline);
    EXPECT_FALSE(FormatOf(document, "zwykly").underline);
    EXPECT_TRUE(FormatOf(document, "podwojny").underline);
    EXPECT_TRUE(FormatOf(document, "skreslony").strike);
    EXPECT_EQ(FormatOf(document, "duzy").halfPoints, 32);
    EXPECT_EQ(FormatOf(document, "czerwony").foreground, (Color{192, 0, 0}));
    EXPECT_EQ(FormatOf(document, "tlo").background, (Color{255, 255, 0}));
    EXPECT_EQ(FormatOf(document, "zakreslony").background, (Color{255, 255, 0}));
    Rtf::CharFormat plain;
    plain.halfPoints = 24;
    EXPECT_EQ(FormatOf(document, "zerowany"), plain);
    EXPECT_TRUE(FormatOf(document, "wlaczony").bold);
    EXPECT_FALSE(FormatOf(document, "wylaczony").bold);
    EXPECT_FALSE(FormatOf(document, "poza").foreground) << "a colour beyond the table is automatic";
    EXPECT_EQ(FormatOf(document, "zero").halfPoints, 24);

    const Document hidden = Read("{\\rtf1 jawny {\\v ukryty }\\v ukryty\\v0  jawny}");
    EXPECT_EQ(hidden.PlainText(), "jawny  jawny");
}

TEST(RtfCharacterFormat, RunsMergeAndNameTheirFont)
{
    const Document document = Read("{\\rtf1\\deff1{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}a{\\b b}{\\b c}\\f0 d\\f7 e}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto &runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].length, 2u) << "b and c share one run";
    EXPECT_EQ(document.fontFamilies.at(static_cast<std::size_t>(runs[0].format.font)), "Arial");
    EXPECT_EQ(document.fontFamilies.at(static_cast<std::size_t>(runs[2].format.font)), "Courier New");
    EXPECT_EQ(runs[3].format.font, -1) << "a font not in the table";
}

TEST(RtfParagraphs, BreaksAlignmentAndIndents)
{
    const Document document = Read("{\\rtf1 \\qc\\li720\\ri360\\fi-360 pierwszy\\par drugi\\par\\pard\\qr trzeci\\par"
                                   "\\pard\\qj czwarty\\line nowa linia\\tab po\\par\\pard\\ql\\sect piaty\\page\\page szosty\\\n"
                                   "siodmy}");
    EXPECT_EQ(document.PlainText(), "pierwszy\ndrugi\ntrzeci\nczwarty\nnowa linia\tpo\npiaty\nszosty\nsiodmy");
    ASSERT_EQ(document.paragraphs.size(), 7u);
    EXPECT_EQ(document.paragraphs[0].format,
              (Rtf::ParagraphFormat{Alignment::Center, 720, 360, -360, false}));
    EXPECT_EQ(document.paragraphs[1].format, document.paragraphs[0].format) << "kept until \\pard";
    EXPECT_EQ(document.paragraphs[2].format, (Rtf::ParagraphFormat{Alignment::Right, 0, 0, 0, false}));
    EXPECT_EQ(document.paragraphs[3].format.alignment, Alignment::Justify);
    EXPECT_EQ(document.paragraphs[4].format.alignment, Alignment::Left);

    EXPECT_EQ(TextOf("{\\rtf1 a\\par\\par b\\par}"), "a\n\nb") << "a final \\par adds no empty paragraph";
}

TEST(RtfCharacters, SymbolsAndNamedCharacters)
{
    EXPECT_EQ(TextOf("{\\rtf1 a\\~b\\-c\\_d\\{\\}\\\\}"), "a\u00A0b\u00ADc\u2011d{}\\");
    EXPECT_EQ(TextOf("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}"), "—–•‘’“”");
    EXPECT_EQ(TextOf("{\\rtf1 a\r\nb\r\n\\b0\r\nc}"), "abc") << "line breaks in the file are not text";
}

TEST(RtfLists, ListTextPrecedesTheParagraph)
{
    const Document document = Read("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
                                   "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}\\fi-360\\li720 raz\\par"
                                   "{\\listtext\\pard\\plain 2.\\tab}dwa\\par}");
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(document.paragraphs[0].listText, "•\t");
    EXPECT_EQ(document.paragraphs[0].text, "raz");
    EXPECT_EQ(document.paragraphs[0].format.leftIndent, 720);
    EXPECT_EQ(document.paragraphs[1].listText, "2.\t");
    EXPECT_EQ(document.paragraphs[1].format.leftIndent, 720) << "\\pard inside the list text stays there";
    EXPECT_EQ(document.PlainText(), "•\traz\n2.\tdwa");
}

TEST(RtfTables, RowsAreParagraphsWithTabSeparatedCells)
{
    const Document document = Read("{\\rtf1 przed\\par"
                                   "\\trowd\\cellx100\\cellx200\\cellx300\\pard\\intbl a\\cell b\\cell c\\cell\\row"
                                   "\\trowd\\pard\\intbl \\cell\\cell c\\cell\\row"
                                   "\\trowd\\pard\\intbl a\\cell\\cell\\cell\\row"
                                   "\\trowd\\pard\\intbl wiersz\\par drugi\\cell x\\cell\\row"
                                   "\\pard po}");
    EXPECT_EQ(document.PlainText(), "przed\na\tb\tc\n\t\tc\na\t\t\nwiersz\ndrugi\tx\npo");
    ASSERT_EQ(document.paragraphs.size(), 6u);
    EXPECT_FALSE(document.paragraphs[0].format.tableRow);
    EXPECT_TRUE(document.paragraphs[1].format.tableRow);
    EXPECT_TRUE(document.paragraphs[4].format.tableRow) << "a paragraph inside a cell only breaks the line";
    EXPECT_FALSE(document.paragraphs[5].format.tableRow);
}

} // namespace
