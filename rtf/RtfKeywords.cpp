#include "rtf/RtfKeywords.h"

#include <algorithm>
#include <array>

namespace Rtf {
namespace {

struct Entry {
    std::string_view word;
    Keyword keyword;
    char32_t character = 0;
};

// Sorted by word for the binary search below.
constexpr std::array entries{
    Entry{"aftncn", Keyword::SkippedDestination},
    Entry{"aftnsep", Keyword::SkippedDestination},
    Entry{"aftnsepc", Keyword::SkippedDestination},
    Entry{"annotation", Keyword::SkippedDestination},
    Entry{"ansicpg", Keyword::AnsiCodePage},
    Entry{"atnauthor", Keyword::SkippedDestination},
    Entry{"atnid", Keyword::SkippedDestination},
    Entry{"author", Keyword::SkippedDestination},
    Entry{"b", Keyword::Bold},
    Entry{"background", Keyword::SkippedDestination},
    Entry{"blue", Keyword::Blue},
    Entry{"bullet", Keyword::Character, U'\u2022'},
    Entry{"buptim", Keyword::SkippedDestination},
    Entry{"cb", Keyword::Background},
    Entry{"cell", Keyword::Cell},
    Entry{"cf", Keyword::Foreground},
    Entry{"chcbpat", Keyword::Background},
    Entry{"colortbl", Keyword::ColorTable},
    Entry{"comment", Keyword::SkippedDestination},
    Entry{"company", Keyword::SkippedDestination},
    Entry{"cpg", Keyword::FontCodePage},
    Entry{"creatim", Keyword::SkippedDestination},
    Entry{"datastore", Keyword::SkippedDestination},
    Entry{"deff", Keyword::DefaultFont},
    Entry{"do", Keyword::SkippedDestination},
    Entry{"doccomm", Keyword::SkippedDestination},
    Entry{"docvar", Keyword::SkippedDestination},
    Entry{"emdash", Keyword::Character, U'\u2014'},
    Entry{"emspace", Keyword::Character, U'\u2003'},
    Entry{"endash", Keyword::Character, U'\u2013'},
    Entry{"enspace", Keyword::Character, U'\u2002'},
    Entry{"f", Keyword::Font},
    Entry{"fcharset", Keyword::FontCharset},
    Entry{"fi", Keyword::FirstLineIndent},
    Entry{"filetbl", Keyword::SkippedDestination},
    Entry{"fldinst", Keyword::SkippedDestination},
    Entry{"fonttbl", Keyword::FontTable},
    Entry{"footer", Keyword::SkippedDestination},
    Entry{"footerf", Keyword::SkippedDestination},
    Entry{"footerl", Keyword::SkippedDestination},
    Entry{"footerr", Keyword::SkippedDestination},
    Entry{"footnote", Keyword::SkippedDestination},
    Entry{"fs", Keyword::FontSize},
    Entry{"ftncn", Keyword::SkippedDestination},
    Entry{"ftnsep", Keyword::SkippedDestination},
    Entry{"ftnsepc", Keyword::SkippedDestination},
    Entry{"generator", Keyword::SkippedDestination},
    Entry{"green", Keyword::Green},
    Entry{"header", Keyword::SkippedDestination},
    Entry{"headerf", Keyword::SkippedDestination},
    Entry{"headerl", Keyword::SkippedDestination},
    Entry{"headerr", Keyword::SkippedDestination},
    Entry{"highlight", Keyword::Background},
    Entry{"i", Keyword::Italic},
    Entry{"info", Keyword::SkippedDestination},
    Entry{"intbl", Keyword::InTable},
    Entry{"keywords", Keyword::SkippedDestination},
    Entry{"ldblquote", Keyword::Character, U'\u201C'},
    Entry{"li", Keyword::LeftIndent},
    Entry{"line", Keyword::Line},
    Entry{"listoverridetable", Keyword::SkippedDestination},
    Entry{"listtable", Keyword::SkippedDestination},
    Entry{"listtext", Keyword::ListText},
    Entry{"lquote", Keyword::Character, U'\u2018'},
    Entry{"nestcell", Keyword::Cell},
    Entry{"nestrow", Keyword::Row},
    Entry{"nonesttables", Keyword::SkippedDestination},
    Entry{"nonshppict", Keyword::SkippedDestination},
    Entry{"object", Keyword::SkippedDestination},
    Entry{"operator", Keyword::SkippedDestination},
    Entry{"page", Keyword::Break},
    Entry{"par", Keyword::Par},
    Entry{"pard", Keyword::Pard},
    Entry{"pict", Keyword::SkippedDestination},
    Entry{"plain", Keyword::Plain},
    Entry{"pn", Keyword::SkippedDestination},
    Entry{"pntext", Keyword::ListText},
    Entry{"pntxta", Keyword::SkippedDestination},
    Entry{"pntxtb", Keyword::SkippedDestination},
    Entry{"printim", Keyword::SkippedDestination},
    Entry{"private", Keyword::SkippedDestination},
    Entry{"qc", Keyword::AlignCenter},
    Entry{"qj", Keyword::AlignJustify},
    Entry{"ql", Keyword::AlignLeft},
    Entry{"qmspace", Keyword::Character, U'\u2005'},
    Entry{"qr", Keyword::AlignRight},
    Entry{"rdblquote", Keyword::Character, U'\u201D'},
    Entry{"red", Keyword::Red},
    Entry{"revtbl", Keyword::SkippedDestination},
    Entry{"revtim", Keyword::SkippedDestination},
    Entry{"ri", Keyword::RightIndent},
    Entry{"row", Keyword::Row},
    Entry{"rquote", Keyword::Character, U'\u2019'},
    Entry{"rsidtbl", Keyword::SkippedDestination},
    Entry{"rxe", Keyword::SkippedDestination},
    Entry{"sect", Keyword::Break},
    Entry{"shp", Keyword::SkippedDestination},
    Entry{"strike", Keyword::Strike},
    Entry{"striked", Keyword::Strike},
    Entry{"stylesheet", Keyword::SkippedDestination},
    Entry{"subject", Keyword::SkippedDestination},
    Entry{"tab", Keyword::Tab},
    Entry{"tc", Keyword::SkippedDestination},
    Entry{"template", Keyword::SkippedDestination},
    Entry{"title", Keyword::SkippedDestination},
    Entry{"txe", Keyword::SkippedDestination},
    Entry{"u", Keyword::Unicode},
    Entry{"uc", Keyword::UnicodeSkip},
    Entry{"ul", Keyword::Underline},
    Entry{"uld", Keyword::Underline},
    Entry{"uldash", Keyword::Underline},
    Entry{"uldashd", Keyword::Underline},
    Entry{"uldashdd", Keyword::Underline},
    Entry{"uldb", Keyword::Underline},
    Entry{"ulhwave", Keyword::Underline},
    Entry{"ulldash", Keyword::Underline},
    Entry{"ulnone", Keyword::UnderlineNone},
    Entry{"ulth", Keyword::Underline},
    Entry{"ulthd", Keyword::Underline},
    Entry{"ulthdash", Keyword::Underline},
    Entry{"ulthdashd", Keyword::Underline},
    Entry{"ulthdashdd", Keyword::Underline},
    Entry{"ulthldash", Keyword::Underline},
    Entry{"ululdbwave", Keyword::Underline},
    Entry{"ulw", Keyword::Underline},
    Entry{"ulwave", Keyword::Underline},
    Entry{"userprops", Keyword::SkippedDestination},
    Entry{"v", Keyword::Hidden},
    Entry{"xe", Keyword::SkippedDestination},
    Entry{"xmlnstbl", Keyword::SkippedDestination},
};

constexpr bool Sorted()
{
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (!(entries[i - 1].word < entries[i].word))
            return false;
    return true;
}
static_assert(Sorted(), "keep the table sorted by word");

} // namespace

KeywordInfo LookUpKeyword(std::string_view controlWord)
{
    const auto it = std::lower_bound(entries.begin(), entries.end(), controlWord,
                                     [](const Entry &entry, std::string_view word) { return entry.word < word; });
    if (it == entries.end() || it->word != controlWord)
        return {};
    return {it->keyword, it->character};
}

} // namespace Rtf
