#include "platform/Signature.h"

#include "platform/detail/ProfileFile.h"
#include "platform/detail/SignatureCheck.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace Signature {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view PemBegin = "-----BEGIN PUBLIC KEY-----";
constexpr std::string_view PemEnd = "-----END PUBLIC KEY-----";

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
std::optional<Bytes> FromBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    if (padding > 2)
        return std::nullopt;
    Bytes bytes;
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

// The DER inside the one "PUBLIC KEY" block that is all of Text but blank
// lines around it; none for anything else (other labels, headers, text
// before or after the block).
std::optional<Bytes> PemBody(std::string_view text)
{
    if (text.substr(0, Utf8Bom.size()) == Utf8Bom)
        text.remove_prefix(Utf8Bom.size());
    std::vector<std::string_view> lines = LinesOf(text);
    const auto first = std::find_if_not(lines.begin(), lines.end(), IsBlank);
    const auto last = std::find_if_not(lines.rbegin(), lines.rend(), IsBlank).base();
    if (last - first < 2 || *first != PemBegin || *(last - 1) != PemEnd)
        return std::nullopt;
    std::string base64;
    for (auto line = first + 1; line != last - 1; ++line)
        base64 += *line;
    return FromBase64(base64);
}

// Appends the DER INTEGER of the unsigned big-endian Value.
void AppendInteger(Bytes &der, const unsigned char *value, std::size_t size)
{
    while (size > 1 && *value == 0) {
        ++value;
        --size;
    }
    const bool pad = (*value & 0x80) != 0;
    der.push_back(0x02);
    der.push_back(static_cast<unsigned char>(size + pad));
    if (pad)
        der.push_back(0x00);
    der.insert(der.end(), value, value + size);
}

// The one DER encoding of the signature R, S.
Bytes StrictDer(const detail::RawSignature &raw)
{
    Bytes values;
    AppendInteger(values, raw.data(), 32);
    AppendInteger(values, raw.data() + 32, 32);
    Bytes der{0x30, static_cast<unsigned char>(values.size())};
    der.insert(der.end(), values.begin(), values.end());
    return der;
}

// Reads the INTEGER at At of Der into Out (32 bytes, big-endian), moving At
// past it; false when it is none or too large. Strictness is judged later by
// encoding again.
bool ReadInteger(std::string_view der, std::size_t &at, unsigned char *out)
{
    if (der.size() - at < 2 || der[at] != 0x02)
        return false;
    const auto length = static_cast<unsigned char>(der[at + 1]);
    if (length >= 0x80 || der.size() - at - 2 < length)
        return false;
    std::string_view value = der.substr(at + 2, length);
    at += 2 + length;
    while (!value.empty() && value.front() == '\0')
        value.remove_prefix(1);
    if (value.size() > 32)
        return false;
    std::fill(out, out + 32, 0);
    std::copy(value.begin(), value.end(), out + 32 - value.size());
    return true;
}

// R and S of a signature in strict DER; none for an empty, long-form,
// padded, negative or trailing-byte encoding.
std::optional<detail::RawSignature> FromStrictDer(std::string_view der)
{
    detail::RawSignature raw{};
    std::size_t at = 2;
    if (der.size() < 8 || der.size() > MaxSignatureBytes || der[0] != 0x30 || !ReadInteger(der, at, raw.data()) ||
        !ReadInteger(der, at, raw.data() + 32))
        return std::nullopt;
    const Bytes again = StrictDer(raw);
    if (!std::equal(again.begin(), again.end(), der.begin(), der.end(),
                    [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }))
        return std::nullopt;
    return raw;
}

}  // namespace

std::string SignedMessage(std::string_view name, std::string_view bytes)
{
    std::string message;
    message.reserve(name.size() + 1 + bytes.size());
    message.append(name).append(1, '\n').append(bytes);
    return message;
}

std::optional<std::string> ReadKeyFile(const std::string &path)
{
    // The profile files' reader opens only a regular file, as a key file must be.
    PrivateProfile::RegularFile file(path);
    if (!file.IsOpen())
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (bytes.size() <= MaxKeyFileBytes) {
        const std::size_t n = file.Read(buffer, sizeof buffer);
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    if (bytes.size() > MaxKeyFileBytes)
        return std::nullopt;
    return bytes;
}

std::optional<PublicKey> PublicKey::FromPem(std::string_view fileBytes)
{
    if (fileBytes.size() > MaxKeyFileBytes)
        return std::nullopt;
    const std::optional<Bytes> der = PemBody(fileBytes);
    if (!der || der->size() != detail::SpkiP256Size ||
        !std::equal(std::begin(detail::SpkiP256Head), std::end(detail::SpkiP256Head), der->begin()))
        return std::nullopt;
    Point point;
    std::copy(der->end() - 65, der->end(), point.begin());
    if (!detail::AcceptsPoint(point))
        return std::nullopt;
    return PublicKey(point);
}

Verdict PublicKey::Verify(std::string_view name, std::string_view bytes, std::string_view signature) const
{
    const std::optional<detail::RawSignature> raw = FromStrictDer(signature);
    if (!raw)
        return Verdict::NotStrictDer;
    return detail::Verifies(point_, SignedMessage(name, bytes), signature, *raw) ? Verdict::Good
                                                                                 : Verdict::Mismatch;
}

}  // namespace Signature
