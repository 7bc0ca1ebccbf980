#pragma once
// Fast single-byte decoding for the reader: one table per code page, built
// once, so that a long text costs a lookup per byte.
#include <array>
#include <string>
#include <string_view>

namespace Rtf {

// Windows' number for the Symbol character set, whose fonts draw the bullets
// of old word processors' lists.
constexpr int SymbolCodePage = 42;

class ByteDecoder {
public:
    // An unsupported code page reads as 1250.
    explicit ByteDecoder(int codePage);

    // Appends the bytes as UTF-8. Control characters other than the tab carry
    // no text and are dropped.
    void AppendUtf8(std::string &out, std::string_view bytes) const;

private:
    std::array<char32_t, 256> table_{};
};

// The decoder of a code page, shared by every reader in the program.
const ByteDecoder &DecoderFor(int codePage);

} // namespace Rtf
