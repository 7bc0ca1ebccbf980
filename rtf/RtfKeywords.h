#pragma once
// The control words the reader acts on. Every other word is ignored.
#include <string_view>

namespace Rtf {

enum class Keyword {
    Unknown,
    // Document and destinations
    AnsiCodePage, DefaultFont, FontTable, ColorTable, ListText, SkippedDestination,
    // Font and colour table entries
    Font, FontCharset, FontCodePage, Red, Green, Blue,
    // Character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, FontSize,
    Foreground, Background, Hidden,
    // Paragraph formatting
    Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstLineIndent, InTable,
    // Structure and characters
    Par, Break, Line, Tab, Cell, Row, Character, Unicode, UnicodeSkip,
};

struct KeywordInfo {
    Keyword keyword = Keyword::Unknown;
    char32_t character = 0; // for Keyword::Character
};

KeywordInfo LookUpKeyword(std::string_view controlWord);

} // namespace Rtf
