// The news file as the view shows it: the document read from rich text,
// turned into a Qt text document with its formats.
#include "rtf/RtfReader.h"
#include "tests/rtf/RtfTestData.h"
#include "ui/NewsDocumentLinux.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <gtest/gtest.h>


namespace {

class RtfNewsDocument : public testing::Test {
protected:
    // Fonts need the application object; one for the whole test program.
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "RtfNewsDocumentTests";
        static char *argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            static QGuiApplication application(argc, argv);
    }

    void Fill(std::string_view bytes) { FillNewsDocument(document_, Rtf::Read(bytes)); }

    QTextFragment Fragment(const QString &text) const
    {
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().text() == text)
                    return it.fragment();
        ADD_FAILURE() << "no fragment is " << text.toStdString();
        return {};
    }

    QTextDocument document_;
};

TEST_F(RtfNewsDocument, RunsKeepTheirCharacterFormats)
{
    Fill(ReadRtfTestFile("lo-formatting.rtf"));
    EXPECT_EQ(Fragment("gęślą").charFormat().fontWeight(), QFont::Bold);
    EXPECT_NE(Fragment("jaźń").charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(Fragment("jaźń").charFormat().fontItalic());
    EXPECT_TRUE(Fragment("ĄĆĘŁŃÓŚŹŻ").charFormat().fontUnderline());
    EXPECT_FALSE(Fragment("jaźń").charFormat().fontUnderline());
    EXPECT_TRUE(Fragment("skreślony").charFormat().fontStrikeOut());
    EXPECT_EQ(Fragment("czerwony").charFormat().foreground().color(), QColor(192, 0, 0));
    EXPECT_EQ(Fragment("tło").charFormat().background().color(), QColor(255, 255, 0));
    EXPECT_DOUBLE_EQ(Fragment("duży").charFormat().fontPointSize(), 16.0);
    EXPECT_DOUBLE_EQ(Fragment("Zażółć ").charFormat().fontPointSize(), 12.0);
    EXPECT_FALSE(Fragment("Zażółć ").charFormat().hasProperty(QTextFormat::ForegroundBrush))
        << "automatic colour is the view's";

    Fill("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f1 kod}");
    EXPECT_EQ(Fragment("kod").charFormat().fontFamilies().toStringList().join(','), "Courier New");
}

TEST_F(RtfNewsDocument, ParagraphsBecomeBlocks)
{
    Fill("{\\rtf1 \\qc srodek\\line druga\\par\\pard\\qr\\li300\\ri150\\fi-150 prawy\\par\\pard\\qj "
         "{\\listtext 1.\\tab}{\\b punkt}\\par}");
    ASSERT_EQ(document_.blockCount(), 3);
    const QTextBlock centred = document_.findBlockByNumber(0);
    EXPECT_EQ(centred.text(), QString("srodek") + QChar::LineSeparator + "druga");
    EXPECT_EQ(centred.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    const QTextBlockFormat right = document_.findBlockByNumber(1).blockFormat();
    EXPECT_EQ(right.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(right.leftMargin(), 20.0);
    EXPECT_DOUBLE_EQ(right.rightMargin(), 10.0);
    EXPECT_DOUBLE_EQ(right.textIndent(), -10.0);

    const QTextBlock item = document_.findBlockByNumber(2);
    EXPECT_EQ(item.text(), "1.\tpunkt");
    EXPECT_EQ(item.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(Fragment("1.\tpunkt").charFormat().fontWeight(), QFont::Bold) << "the number looks like its item";
}

TEST_F(RtfNewsDocument, PlainTextKeepsTheViewsLookAndRefillReplaces)
{
    Fill("{\\rtf1 {\\b stara} tresc}");
    Fill("Nowo\x9c" "ci\r\nwiersz");
    EXPECT_EQ(document_.toPlainText(), "Nowości\nwiersz");
    const QTextCharFormat format = Fragment("Nowości").charFormat();
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontPointSize));
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontWeight));
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies));
}

} // namespace
