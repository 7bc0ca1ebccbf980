#include "ftp/FtpRules.h"

#include <algorithm>
#include <charconv>

namespace {

bool StartsWithThreeDigits(std::string_view Text)
{
    return Text.size() >= 3 && std::all_of(Text.begin(), Text.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool OpensMultiLineReply(std::string_view First)
{
    return StartsWithThreeDigits(First) && First.size() >= 4 && First[3] == '-';
}

bool EndsMultiLineReply(std::string_view First, std::string_view Line)
{
    return Line.size() >= 3 && First.size() >= 3 && Line.substr(0, 3) == First.substr(0, 3) &&
           (Line.size() == 3 || Line[3] != '-');
}

bool IsServerAbort(std::string_view Buffered)
{
    return Buffered.size() >= 4 && (Buffered.compare(0, 3, "421") == 0 || Buffered.compare(0, 3, "426") == 0);
}

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The reply number at the head of Text: three digits and no fourth.
std::optional<int> LeadingCode(std::string_view Text)
{
    if (Text.size() < 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i)
        if (Text[i] < '0' || Text[i] > '9')
            return std::nullopt;
    if (Text[3] >= '0' && Text[3] <= '9')
        return std::nullopt;
    return (Text[0] - '0') * 100 + (Text[1] - '0') * 10 + (Text[2] - '0');
}

}  // namespace

std::optional<int64_t> AnnouncedSize(std::string_view Line)
{
    std::string lower(Line);
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const auto word = lower.find("byte");
    if (word == std::string::npos || (word > 0 && IsAsciiLetter(Line[word - 1])))
        return std::nullopt;
    std::size_t end = word;
    while (end > 0 && Line[end - 1] == ' ')
        --end;
    std::size_t begin = end;
    while (begin > 0 && Line[begin - 1] >= '0' && Line[begin - 1] <= '9')
        --begin;
    // No digits, the reply code itself, or part of a larger number ("1.5 bytes").
    if (begin == end || begin == 0 || Line[begin - 1] == '.' || Line[begin - 1] == ',')
        return std::nullopt;
    int64_t size = 0;
    const auto [rest, error] = std::from_chars(Line.data() + begin, Line.data() + end, size);
    if (error != std::errc())
        return std::nullopt;
    return size;
}

std::optional<int64_t> SizeFromReply(std::string_view Line)
{
    if (!Line.starts_with("213 "))
        return std::nullopt;
    const std::string_view rest = Line.substr(4);
    int64_t size = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), size);
    if (error != std::errc() || end == rest.data() || size < 0)
        return std::nullopt;
    // Only the line end may follow the digits.
    const std::string_view after = rest.substr(static_cast<std::size_t>(end - rest.data()));
    if (after.find_first_not_of(" \r\n") != std::string_view::npos)
        return std::nullopt;
    return size;
}

bool IsPositiveCompletion(std::string_view Line)
{
    const auto code = LeadingCode(Line);
    return code && *code >= 200 && *code <= 299;
}

bool StartsWithNegativeReply(std::string_view Buffered)
{
    const auto code = LeadingCode(Buffered);
    return code && IsNegative(*code);
}

int32_t ParseByteCount(const std::string &Line)
{
    std::string upper = Line;
    for (char &c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const auto word = upper.find("BYTE");
    if (word == std::string::npos)
        return 0;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t end = word;
    while (end > 0 && !isDigit(Line[end - 1]))
        --end;
    if (end == 0)
        return 0;
    std::size_t begin = end - 1;
    while (begin > 0 && isDigit(Line[begin - 1]))
        --begin;
    int32_t count = 0;
    const auto [rest, error] = std::from_chars(Line.data() + begin, Line.data() + end, count);
    return error == std::errc() ? count : 0;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reply begins with Code as a whole reply number.
bool HasCode(const std::string &Reply, std::string_view Code)
{
    return Reply.size() > Code.size() && Reply.compare(0, Code.size(), Code) == 0 && !IsDigit(Reply[Code.size()]);
}

// The run of at most MaxDigits digits at Pos, moving Pos past it; nothing when
// there is no digit there or the run is longer.
std::optional<unsigned> NumberAt(const std::string &Text, std::size_t &Pos, std::size_t MaxDigits)
{
    const std::size_t begin = Pos;
    while (Pos < Text.size() && IsDigit(Text[Pos]))
        ++Pos;
    if (Pos == begin || Pos - begin > MaxDigits)
        return std::nullopt;
    unsigned value = 0;
    std::from_chars(Text.data() + begin, Text.data() + Pos, value);
    return value;
}

std::optional<uint16_t> NonZeroPort(unsigned Value)
{
    if (Value == 0 || Value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(Value);
}

// Six numbers of 0..255 separated by commas, starting at Pos: the port of
// the last two.
std::optional<uint16_t> PortOfAddressGroup(const std::string &Reply, std::size_t Pos)
{
    unsigned numbers[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0 && (Pos >= Reply.size() || Reply[Pos++] != ','))
            return std::nullopt;
        const auto number = NumberAt(Reply, Pos, 3);
        if (!number || *number > 255)
            return std::nullopt;
        numbers[i] = *number;
    }
    return NonZeroPort(numbers[4] * 256 + numbers[5]);
}

}  // namespace

std::optional<uint16_t> EpsvPort(const std::string &Reply)
{
    if (!HasCode(Reply, "229"))
        return std::nullopt;
    std::size_t pos = Reply.find('(');
    if (pos == std::string::npos || pos + 4 >= Reply.size())
        return std::nullopt;
    const char delimiter = Reply[pos + 1];
    if (delimiter < 33 || delimiter > 126 || IsDigit(delimiter) || Reply[pos + 2] != delimiter ||
        Reply[pos + 3] != delimiter)
        return std::nullopt;
    pos += 4;
    const auto port = NumberAt(Reply, pos, 5);
    if (!port || pos + 1 >= Reply.size() || Reply[pos] != delimiter || Reply[pos + 1] != ')')
        return std::nullopt;
    return NonZeroPort(*port);
}

std::string EprtCommand(const std::string &Address, uint16_t Port)
{
    return "EPRT |2|" + Address.substr(0, Address.find('%')) + "|" + std::to_string(Port) + "|";
}

std::optional<uint16_t> PasvPort(const std::string &Reply)
{
    if (!HasCode(Reply, "227"))
        return std::nullopt;
    // The group may stand anywhere after the code, with or without parentheses.
    for (std::size_t pos = 3; pos < Reply.size(); ++pos)
        if (IsDigit(Reply[pos]) && !IsDigit(Reply[pos - 1]))
            if (const auto port = PortOfAddressGroup(Reply, pos))
                return port;
    return std::nullopt;
}

TCmdType CommandKind(const std::string &CommandWord, const std::string &CommandText)
{
    if (CommandWord == "CWD")
        return cmdChangeDir;
    if (CommandWord == "DELE")
        return cmdDelete;
    if (CommandWord == "MKD")
        return cmdMakeDir;
    if (CommandWord == "RMD")
        return cmdRemoveDir;
    if (CommandText == "PWD")
        return cmdCurrentDir;
    return cmdDoCommand;
}

void RequireSingleLine(const std::string &Text)
{
    if (Text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw ECommandRefused("Command refused: it contains a line break or a zero byte");
}

std::string WithoutLineEnd(std::string Line)
{
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r'))
        Line.pop_back();
    return Line;
}
