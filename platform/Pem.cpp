#include "platform/detail/Pem.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Pem {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Dashes = "-----";

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// The lines of Text without their LF, and without the CR of a CR LF.
std::vector<std::string_view> LinesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Base64 with "=" padding only at its end; none for any other character.
std::optional<Secret::Bytes> FromBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    if (padding > 2)
        return std::nullopt;
    Secret::Bytes bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text.substr(0, text.size() - padding)) {
        const int value = Base64Value(c);
        if (value < 0)
            return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count % 4 == 0)
            for (int shift = 16; shift >= 0; shift -= 8)
                bytes.push_back(static_cast<unsigned char>(bits >> shift));
    }
    if (padding == 1) {
        bytes.push_back(static_cast<unsigned char>(bits >> 10));
        bytes.push_back(static_cast<unsigned char>(bits >> 2));
    } else if (padding == 2) {
        bytes.push_back(static_cast<unsigned char>(bits >> 4));
    }
    return bytes;
}

// The label of a line "-----Word LABEL-----"; none for any other line.
std::optional<std::string_view> LabelOf(std::string_view line, std::string_view word)
{
    if (line.size() < 2 * Dashes.size() + word.size() + 1 || line.substr(0, Dashes.size()) != Dashes ||
        line.substr(Dashes.size(), word.size()) != word || line[Dashes.size() + word.size()] != ' ' ||
        line.substr(line.size() - Dashes.size()) != Dashes)
        return std::nullopt;
    const std::size_t from = Dashes.size() + word.size() + 1;
    return line.substr(from, line.size() - Dashes.size() - from);
}

} // namespace

std::optional<Block> OnlyBlock(std::string_view text)
{
    if (text.substr(0, Utf8Bom.size()) == Utf8Bom)
        text.remove_prefix(Utf8Bom.size());
    const std::vector<std::string_view> lines = LinesOf(text);
    const auto first = std::find_if_not(lines.begin(), lines.end(), IsBlank);
    const auto last = std::find_if_not(lines.rbegin(), lines.rend(), IsBlank).base();
    if (last - first < 2)
        return std::nullopt;
    const std::optional<std::string_view> begin = LabelOf(*first, "BEGIN");
    const std::optional<std::string_view> end = LabelOf(*(last - 1), "END");
    if (!begin || !end || *begin != *end)
        return std::nullopt;
    Block block;
    block.label = std::string(*begin);
    // RFC 1421 headers ("Name: value") stand before the base64, which never
    // holds a colon.
    if (last - first > 2 && first[1].find(':') != std::string_view::npos) {
        block.headers = true;
        return block;
    }
    Secret::Text base64;
    base64.reserve(text.size());
    for (auto line = first + 1; line != last - 1; ++line)
        base64.insert(base64.end(), line->begin(), line->end());
    std::optional<Secret::Bytes> der = FromBase64(std::string_view(base64.data(), base64.size()));
    if (!der)
        return std::nullopt;
    block.der = std::move(*der);
    return block;
}

} // namespace Pem
