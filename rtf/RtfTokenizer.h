#pragma once
// Splits rich-text bytes into braces, control words and symbols, hex escapes
// and plain text. Single pass, no allocation: every token refers into the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Rtf {

struct Token {
    enum class Kind { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text };
    Kind kind = Kind::End;
    std::string_view text;         // the control word's name, or the text bytes
    std::int32_t parameter = 0;    // clamped to the signed 32-bit range
    bool hasParameter = false;
    char symbol = 0;               // the control symbol; a line break after "\" reads as '\n'
    unsigned char byte = 0;        // the value of "\'hh"
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view input) : input_(input) {}
    Token Next();

private:
    Token ReadControl();
    Token ReadControlWord();
    std::int32_t ReadParameter();
    void SkipBinary(std::int32_t count);

    std::string_view input_;
    std::size_t pos_ = 0;
};

} // namespace Rtf
