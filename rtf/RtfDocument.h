#pragma once
// The neutral form of a rich-text document: what the reader produces and the
// view shows. Texts are UTF-8; lengths are in bytes; indents are in twips
// (1/20 point), as rich text measures them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Rtf {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Color &) const = default;
};

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 0;                // font size in half points; 0: the viewer's own size
    std::optional<Color> foreground;   // empty: the viewer's own colour
    std::optional<Color> background;   // shading or highlight; empty: none
    int font = -1;                     // index into Document::fontFamilies; -1: the viewer's own font
    bool operator==(const CharFormat &) const = default;
};

enum class Alignment { Left, Center, Right, Justify };

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;  // relative to leftIndent; negative for a hanging indent
    bool tableRow = false;    // the paragraph is a table row, its cells separated by tabs
    bool operator==(const ParagraphFormat &) const = default;
};

// A stretch of a paragraph's text that shares one character format.
struct Run {
    std::size_t length = 0;
    CharFormat format;
};

struct Paragraph {
    ParagraphFormat format;
    std::string listText;  // bullet or number as written, usually ending in a tab
    std::string text;      // may hold '\n' (line break) and '\t'
    std::vector<Run> runs; // cover text from its start, in order
};

// A document holds at most this many paragraphs; later paragraph breaks
// become line breaks in the last one. News files have a few dozen; the limit
// keeps a file of nothing but breaks from costing a paragraph per byte.
constexpr std::size_t MaxParagraphs = 100000;

struct Document {
    std::vector<std::string> fontFamilies;
    std::vector<Paragraph> paragraphs;

    // What a reader sees: list text and text of each paragraph, paragraphs
    // joined by "\n".
    std::string PlainText() const;
};

} // namespace Rtf
