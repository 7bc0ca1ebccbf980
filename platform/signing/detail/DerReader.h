#pragma once
// Reading DER, one element after another: the key files' code, shared by the
// plain and the encrypted private keys.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>

namespace KeyDer {

using Span = std::span<const unsigned char>;

inline constexpr unsigned char Sequence = 0x30, Integer = 0x02, OctetString = 0x04, BitString = 0x03, Null = 0x05,
                               Oid = 0x06;

class Reader {
public:
    explicit Reader(Span bytes) : rest_(bytes) {}

    // The contents of the next element when its tag is Tag; none, and the
    // reader unmoved, otherwise. Lengths in their shortest form only.
    std::optional<Span> Take(unsigned char tag)
    {
        if (rest_.size() < 2 || rest_[0] != tag)
            return std::nullopt;
        std::size_t length = rest_[1], head = 2;
        if (length == 0x81 && rest_.size() >= 3 && rest_[2] >= 0x80) {
            length = rest_[2];
            head = 3;
        } else if (length == 0x82 && rest_.size() >= 4 && rest_[2] != 0) {
            length = std::size_t(rest_[2]) << 8 | rest_[3];
            head = 4;
        } else if (length >= 0x80) {
            return std::nullopt;
        }
        if (rest_.size() - head < length)
            return std::nullopt;
        const Span contents = rest_.subspan(head, length);
        rest_ = rest_.subspan(head + length);
        return contents;
    }

    bool AtEnd() const { return rest_.empty(); }

private:
    Span rest_;
};

// Whether Contents are there and are Expected.
inline bool Equals(std::optional<Span> contents, Span expected)
{
    return contents && std::equal(contents->begin(), contents->end(), expected.begin(), expected.end());
}

} // namespace KeyDer
