#include "rtf/RtfTables.h"

#include "rtf/ByteDecoder.h"

#include <algorithm>
#include <cstdint>

namespace Rtf {
namespace {

// Hostile files may declare entries without end; real ones have a few dozen.
constexpr std::size_t MaxEntries = 4096;
constexpr std::size_t MaxFontNameLength = 255;

std::uint8_t Component(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

} // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return SymbolCodePage;
    case 161: return 1253;
    case 162: return 1254;
    case 186: return 1257;
    case 204: return 1251;
    case 238: return 1250;
    default: return 0;
    }
}

void FontTable::BeginEntry(int number)
{
    number_ = number;
    codePage_ = 0;
    name_.clear();
}

void FontTable::SetCharset(int charset) { codePage_ = CodePageOfCharset(charset); }

void FontTable::SetCodePage(int codePage) { codePage_ = codePage; }

void FontTable::AppendName(std::string_view utf8)
{
    name_.append(utf8.substr(0, MaxFontNameLength - std::min(MaxFontNameLength, name_.size())));
}

void FontTable::EndEntry()
{
    if (number_ < 0 || families_.size() >= MaxEntries || fonts_.size() >= MaxEntries)
        return;
    const auto first = name_.find_first_not_of(' ');
    const auto last = name_.find_last_not_of(' ');
    int family = -1;
    if (first != std::string::npos) {
        family = static_cast<int>(families_.size());
        families_.push_back(name_.substr(first, last - first + 1));
    }
    fonts_[number_] = Font{codePage_, family};
    number_ = -1;
}

int FontTable::CodePageOf(int number, int documentCodePage) const
{
    const auto it = fonts_.find(number);
    return it == fonts_.end() || it->second.codePage == 0 ? documentCodePage : it->second.codePage;
}

int FontTable::FamilyOf(int number) const
{
    const auto it = fonts_.find(number);
    return it == fonts_.end() ? -1 : it->second.family;
}

void ColorTable::SetRed(int value) { pending_.emplace(pending_.value_or(Color{})).red = Component(value); }

void ColorTable::SetGreen(int value) { pending_.emplace(pending_.value_or(Color{})).green = Component(value); }

void ColorTable::SetBlue(int value) { pending_.emplace(pending_.value_or(Color{})).blue = Component(value); }

void ColorTable::EndEntry()
{
    if (colors_.size() < MaxEntries)
        colors_.push_back(pending_);
    pending_.reset();
}

std::optional<Color> ColorTable::At(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= colors_.size())
        return std::nullopt;
    return colors_[static_cast<std::size_t>(index)];
}

} // namespace Rtf
