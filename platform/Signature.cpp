#include "platform/Signature.h"

#include "platform/detail/Pem.h"
#include "platform/RegularFile.h"
#include "platform/detail/SignatureCheck.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace Signature {

namespace {

using Bytes = std::vector<unsigned char>;

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

}  // namespace

std::vector<unsigned char> detail::StrictDer(const RawSignature &raw)
{
    // The sequence's length, at most 70, is known once both integers are in.
    Bytes der{0x30, 0x00};
    AppendInteger(der, raw.data(), 32);
    AppendInteger(der, raw.data() + 32, 32);
    der[1] = static_cast<unsigned char>(der.size() - 2);
    return der;
}

namespace {

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
    const Bytes again = detail::StrictDer(raw);
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
    return RegularFile::ReadWhole(path, MaxKeyFileBytes);
}

std::optional<std::string> ReadSignatureFile(const std::string &path)
{
    return RegularFile::ReadWhole(path, MaxSignatureBytes);
}

std::optional<PublicKey> PublicKey::FromPem(std::string_view fileBytes)
{
    if (fileBytes.size() > MaxKeyFileBytes)
        return std::nullopt;
    const std::optional<Pem::Block> pem = Pem::OnlyBlock(fileBytes);
    if (!pem || pem->label != "PUBLIC KEY" || pem->headers)
        return std::nullopt;
    const Secret::Bytes &der = pem->der;
    if (der.size() != detail::SpkiP256Size ||
        !std::equal(std::begin(detail::SpkiP256Head), std::end(detail::SpkiP256Head), der.begin()))
        return std::nullopt;
    Point point;
    std::copy(der.end() - 65, der.end(), point.begin());
    if (!detail::AcceptsPoint(point))
        return std::nullopt;
    return PublicKey(point);
}

MessageDigest::MessageDigest(std::string_view name) : sha256_(std::make_unique<detail::Sha256>())
{
    sha256_->Add(name);
    sha256_->Add("\n");
}

MessageDigest::~MessageDigest() = default;

void MessageDigest::Add(std::string_view bytes) { sha256_->Add(bytes); }

std::optional<MessageDigest::Value> MessageDigest::Finish()
{
    Value digest{};
    if (!sha256_->Finish(digest))
        return std::nullopt;
    return digest;
}

Verdict PublicKey::Verify(std::string_view name, std::string_view bytes, std::string_view signature) const
{
    MessageDigest digest(name);
    digest.Add(bytes);
    return Verify(digest, signature);
}

Verdict PublicKey::Verify(MessageDigest &digest, std::string_view signature) const
{
    const std::optional<detail::RawSignature> raw = FromStrictDer(signature);
    const std::optional<MessageDigest::Value> value = digest.Finish();
    if (!raw)
        return Verdict::NotStrictDer;
    // A system that cannot hash has checked nothing: no signature is good then.
    return value && detail::Verifies(point_, *value, signature, *raw) ? Verdict::Good : Verdict::Mismatch;
}

}  // namespace Signature
