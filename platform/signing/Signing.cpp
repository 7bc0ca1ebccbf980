#include "platform/signing/Signing.h"

#include "platform/signing/detail/KeyDer.h"
#include "platform/detail/Pem.h"
#include "platform/signing/detail/SigningSystem.h"

#include <algorithm>
#include <vector>

namespace Signing {

namespace {

// Base64 in lines of 64 characters, as PEM writers break it.
std::string ToPem(std::string_view label, const KeyDer::Bytes &der)
{
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string base64;
    for (std::size_t at = 0; at < der.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, der.size() - at);
        unsigned long bits = 0;
        for (std::size_t i = 0; i < 3; ++i)
            bits = bits << 8 | (i < count ? der[at + i] : 0);
        for (std::size_t i = 0; i < 4; ++i)
            base64 += i <= count ? Digits[(bits >> (18 - 6 * i)) & 0x3F] : '=';
    }
    std::string text = "-----BEGIN " + std::string(label) + "-----\n";
    for (std::size_t at = 0; at < base64.size(); at += 64)
        text += base64.substr(at, 64) + "\n";
    return text + "-----END " + std::string(label) + "-----\n";
}

std::string PublicPem(const Signature::PublicKey::Point &point) { return ToPem("PUBLIC KEY", KeyDer::Spki(point)); }

} // namespace

std::optional<KeyFiles> NewKeyFiles(std::optional<std::string_view> passphrase)
{
    const std::optional<KeyPair> pair = detail::GenerateKeyPair();
    if (!pair || passphrase)
        return std::nullopt;
    const std::string privateKey = ToPem("PRIVATE KEY", KeyDer::Pkcs8(*pair));
    return KeyFiles{Secret::Text(privateKey.begin(), privateKey.end()), PublicPem(pair->point)};
}

std::optional<PrivateKey> PrivateKey::FromPem(std::string_view fileBytes, const AskPassphrase &, Reading &why)
{
    why = Reading::NotAKey;
    if (fileBytes.size() > Signature::MaxKeyFileBytes)
        return std::nullopt;
    const std::optional<Pem::Block> pem = Pem::OnlyBlock(fileBytes);
    if (!pem)
        return std::nullopt;
    // OpenSSL's traditional encryption says so in a Proc-Type header.
    if (pem->label == "ENCRYPTED PRIVATE KEY" || pem->headers) {
        why = Reading::OtherEncryption;
        return std::nullopt;
    }
    std::optional<KeyPair> pair;
    if (pem->label == "PRIVATE KEY")
        pair = KeyDer::FromPkcs8(pem->der);
    else if (pem->label == "EC PRIVATE KEY")
        pair = KeyDer::FromSec1(pem->der);
    if (!pair)
        return std::nullopt;
    why = Reading::Read;
    return PrivateKey(*pair);
}

std::optional<std::string> PrivateKey::Sign(std::string_view name, std::string_view bytes) const
{
    const std::optional<Signature::detail::RawSignature> raw =
        detail::SignMessage(pair_, Signature::SignedMessage(name, bytes));
    const std::optional<Signature::PublicKey> key = Signature::PublicKey::FromPem(PublicPem(pair_.point));
    if (!raw || !key)
        return std::nullopt;
    const std::vector<unsigned char> der = Signature::detail::StrictDer(*raw);
    std::string signature(der.begin(), der.end());
    // A signature the checker would refuse is never written.
    if (key->Verify(name, bytes, signature) != Signature::Verdict::Good)
        return std::nullopt;
    return signature;
}

} // namespace Signing
