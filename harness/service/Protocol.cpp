#include "harness/service/Protocol.h"

#include <charconv>
#include <stdexcept>

namespace harness::service {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

int DigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    throw std::invalid_argument("not a lowercase hex digit in a value");
}

std::string Unhex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        throw std::invalid_argument("a value of an odd number of hex digits");
    std::string bytes(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(DigitValue(hex[2 * i]) << 4 | DigitValue(hex[2 * i + 1]));
    return bytes;
}

}  // namespace

std::string LineOf(const std::string &head, const Words &values)
{
    std::string line = head;
    for (const std::string &value : values) {
        line += ' ';
        for (const char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            line += kDigits[byte >> 4];
            line += kDigits[byte & 0xF];
        }
    }
    return line + '\n';
}

Line Parse(std::string_view text)
{
    Line line;
    const std::size_t headEnd = text.find(' ');
    line.head = std::string(text.substr(0, headEnd));
    if (line.head.empty())
        throw std::invalid_argument("a line without a head word");
    for (std::size_t at = headEnd; at != std::string_view::npos;) {
        const std::size_t end = text.find(' ', at + 1);
        line.values.push_back(Unhex(text.substr(at + 1, end == std::string_view::npos ? end : end - at - 1)));
        at = end;
    }
    return line;
}

Words ResultsOf(const Line &reply)
{
    if (reply.head == "OK")
        return reply.values;
    if (reply.head == "ERR" && reply.values.size() == 1)
        throw std::runtime_error("harness service: " + reply.values[0]);
    throw std::runtime_error("harness service: not a reply: " + reply.head);
}

void ExpectCount(const Words &words, std::size_t count, const std::string &what)
{
    if (words.size() != count)
        throw std::invalid_argument(what + " takes " + std::to_string(count) + " values, not " +
                                    std::to_string(words.size()));
}

std::uint64_t NumberIn(const std::string &text, std::uint64_t most)
{
    std::uint64_t number = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end || number > most)
        throw std::invalid_argument("not a number from 0 to " + std::to_string(most) + ": '" + text + "'");
    return number;
}

std::string FlagText(bool on) { return on ? "1" : "0"; }

bool FlagIn(const std::string &text) { return NumberIn(text, 1) == 1; }

std::optional<std::string> LineReader::Next()
{
    std::size_t end;
    for (std::size_t searched = 0; (end = pending_.find('\n', searched)) == std::string::npos;) {
        if (pending_.size() > kMaxLine)
            throw std::length_error("a line longer than " + std::to_string(kMaxLine) + " bytes");
        searched = pending_.size();
        char buffer[65536];
        const std::size_t got = receive_(buffer, sizeof buffer);
        if (got == 0) {
            if (!pending_.empty())
                throw std::length_error("the stream ended within a line");
            return std::nullopt;
        }
        pending_.append(buffer, got);
    }
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return line;
}

}  // namespace harness::service
