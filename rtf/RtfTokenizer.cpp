#include "rtf/RtfTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Rtf {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsSpecial(char c) { return c == '\\' || c == '{' || c == '}' || IsLineBreak(c); }

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Token Tokenizer::Next()
{
    // Line breaks in rich text are only there to keep lines short.
    while (pos_ < input_.size() && IsLineBreak(input_[pos_]))
        ++pos_;
    Token token;
    if (pos_ >= input_.size())
        return token;
    const char c = input_[pos_];
    if (c == '{' || c == '}') {
        ++pos_;
        token.kind = c == '{' ? Token::Kind::GroupStart : Token::Kind::GroupEnd;
        return token;
    }
    if (c == '\\')
        return ReadControl();
    const std::size_t start = pos_;
    while (pos_ < input_.size() && !IsSpecial(input_[pos_]))
        ++pos_;
    token.kind = Token::Kind::Text;
    token.text = input_.substr(start, pos_ - start);
    return token;
}

Token Tokenizer::ReadControl()
{
    ++pos_; // the backslash
    Token token;
    if (pos_ >= input_.size())
        return token;
    const char c = input_[pos_];
    if (IsLetter(c))
        return ReadControlWord();
    ++pos_;
    if (c == '\'' && pos_ + 1 < input_.size()) {
        const int high = HexValue(input_[pos_]);
        const int low = HexValue(input_[pos_ + 1]);
        if (high >= 0 && low >= 0) {
            pos_ += 2;
            token.kind = Token::Kind::HexByte;
            token.byte = static_cast<unsigned char>(high * 16 + low);
            return token;
        }
    }
    token.kind = Token::Kind::ControlSymbol;
    token.symbol = IsLineBreak(c) ? '\n' : c;
    return token;
}

Token Tokenizer::ReadControlWord()
{
    Token token;
    token.kind = Token::Kind::ControlWord;
    const std::size_t start = pos_;
    while (pos_ < input_.size() && IsLetter(input_[pos_]))
        ++pos_;
    token.text = input_.substr(start, pos_ - start);
    const bool negative = pos_ + 1 < input_.size() && input_[pos_] == '-' && IsDigit(input_[pos_ + 1]);
    if (negative || (pos_ < input_.size() && IsDigit(input_[pos_]))) {
        pos_ += negative ? 1 : 0;
        token.hasParameter = true;
        const std::int32_t magnitude = ReadParameter();
        token.parameter = negative ? -magnitude : magnitude;
    }
    if (pos_ < input_.size() && input_[pos_] == ' ')
        ++pos_; // the delimiter belongs to the control word
    if (token.text == "bin" && token.hasParameter)
        SkipBinary(token.parameter);
    return token;
}

// Reads every digit, so that a giant number is consumed whole, but keeps the
// value within the signed 32-bit range.
std::int32_t Tokenizer::ReadParameter()
{
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    while (pos_ < input_.size() && IsDigit(input_[pos_])) {
        value = std::min(limit, value * 10 + (input_[pos_] - '0'));
        ++pos_;
    }
    return static_cast<std::int32_t>(value);
}

// Binary data is never text; skip at most what is there.
void Tokenizer::SkipBinary(std::int32_t count)
{
    if (count > 0)
        pos_ += std::min(static_cast<std::size_t>(count), input_.size() - pos_);
}

} // namespace Rtf
