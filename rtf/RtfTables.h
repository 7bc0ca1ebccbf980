#pragma once
// The font and colour tables of a rich-text header, filled entry by entry as
// the reader meets them and looked up by the number the text refers to.
#include "rtf/RtfDocument.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Rtf {

// The code page a font's character set stands for; 0 when the font names none.
int CodePageOfCharset(int charset);

class FontTable {
public:
    void BeginEntry(int number);
    void SetCharset(int charset);
    void SetCodePage(int codePage);
    void AppendName(std::string_view utf8);
    void EndEntry();

    // The code page of font Number's text, or DocumentCodePage when the font
    // names none or is not in the table.
    int CodePageOf(int number, int documentCodePage) const;
    // Index of font Number's family among TakeFamilies(), or -1.
    int FamilyOf(int number) const;
    std::vector<std::string> TakeFamilies() { return std::move(families_); }

private:
    struct Font {
        int codePage = 0;
        int family = -1;
    };
    int number_ = -1;
    int codePage_ = 0;
    std::string name_;
    std::map<int, Font> fonts_;
    std::vector<std::string> families_;
};

class ColorTable {
public:
    void SetRed(int value);
    void SetGreen(int value);
    void SetBlue(int value);
    void EndEntry();

    // Colour number Index; empty for the automatic colour (an entry without
    // components, usually the first) and for an index outside the table.
    std::optional<Color> At(int index) const;

private:
    std::optional<Color> pending_;
    std::vector<std::optional<Color>> colors_;
};

} // namespace Rtf
