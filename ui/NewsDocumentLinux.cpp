#include "ui/NewsDocumentLinux.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

#include <string_view>

namespace {

// Rich text measures in twips; the document in pixels at 96 per inch.
constexpr qreal TwipsPerPixel = 15.0;
// Word processors' default tab stops, every half inch.
constexpr qreal DefaultTabStopTwips = 720.0;

QColor ToQColor(const Rtf::Color &color) { return QColor(color.red, color.green, color.blue); }

QTextCharFormat ToCharFormat(const Rtf::CharFormat &format, const Rtf::Document &document)
{
    QTextCharFormat result;
    if (format.bold)
        result.setFontWeight(QFont::Bold);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    result.setFontStrikeOut(format.strike);
    if (format.halfPoints > 0)
        result.setFontPointSize(format.halfPoints / 2.0);
    if (format.foreground)
        result.setForeground(ToQColor(*format.foreground));
    if (format.background)
        result.setBackground(ToQColor(*format.background));
    if (format.font >= 0 && static_cast<std::size_t>(format.font) < document.fontFamilies.size())
        result.setFontFamilies({QString::fromStdString(document.fontFamilies[static_cast<std::size_t>(format.font)])});
    return result;
}

Qt::Alignment ToQtAlignment(Rtf::Alignment alignment)
{
    switch (alignment) {
    case Rtf::Alignment::Center: return Qt::AlignHCenter;
    case Rtf::Alignment::Right: return Qt::AlignRight;
    case Rtf::Alignment::Justify: return Qt::AlignJustify;
    case Rtf::Alignment::Left: break;
    }
    return Qt::AlignLeft;
}

QTextBlockFormat ToBlockFormat(const Rtf::ParagraphFormat &format)
{
    QTextBlockFormat result;
    result.setAlignment(ToQtAlignment(format.alignment));
    // A negative indent reaches into the page margin, which a view does not have.
    result.setLeftMargin(std::max(0, format.leftIndent) / TwipsPerPixel);
    result.setRightMargin(std::max(0, format.rightIndent) / TwipsPerPixel);
    result.setTextIndent(format.firstLineIndent / TwipsPerPixel);
    // A hanging indent has its first stop at the left indent, where the text
    // after a bullet's tab lines up with the lines below. Qt counts tab
    // positions from the start of the line.
    if (format.firstLineIndent < 0)
        result.setTabPositions({QTextOption::Tab(-format.firstLineIndent / TwipsPerPixel, QTextOption::LeftTab)});
    return result;
}

// Within a block a line break is Unicode's line separator; "\n" would start a new block.
QString ToBlockText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

void InsertParagraph(QTextCursor &cursor, const Rtf::Paragraph &paragraph, const Rtf::Document &document)
{
    if (!paragraph.listText.empty()) {
        // The bullet or number takes the look of the text it introduces,
        // but a line through or under it would run across its tab.
        Rtf::CharFormat listFormat = paragraph.runs.empty() ? Rtf::CharFormat{} : paragraph.runs.front().format;
        listFormat.underline = false;
        listFormat.strike = false;
        cursor.insertText(ToBlockText(paragraph.listText), ToCharFormat(listFormat, document));
    }
    const std::string_view text = paragraph.text;
    std::size_t offset = 0;
    for (const Rtf::Run &run : paragraph.runs) {
        cursor.insertText(ToBlockText(text.substr(offset, run.length)), ToCharFormat(run.format, document));
        offset += run.length;
    }
}

} // namespace

void FillNewsDocument(QTextDocument &target, const Rtf::Document &source)
{
    target.clear();
    QTextOption option = target.defaultTextOption();
    option.setTabStopDistance(DefaultTabStopTwips / TwipsPerPixel);
    target.setDefaultTextOption(option);
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    for (const Rtf::Paragraph &paragraph : source.paragraphs) {
        if (&paragraph == &source.paragraphs.front())
            cursor.setBlockFormat(ToBlockFormat(paragraph.format));
        else
            cursor.insertBlock(ToBlockFormat(paragraph.format));
        InsertParagraph(cursor, paragraph, source);
    }
    cursor.endEditBlock();
}

void FillBoundedNewsDocument(QTextDocument &target, Rtf::Document source, bool moreFollows)
{
    BoundNews(source, moreFollows);
    FillNewsDocument(target, source);
}
