#include "platform/signing/Signing.h"

#include "platform/signing/detail/EncryptedKey.h"
#include "platform/signing/detail/KeyDer.h"
#include "platform/detail/Pem.h"
#include "platform/signing/detail/SigningSystem.h"

#include <algorithm>
#include <vector>

namespace Signing {

namespace {

// Base64 in lines of 64 characters, as PEM writers break it.
Secret::Text ToPem(std::string_view label, const KeyDer::Bytes &der)
{
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string begin = "-----BEGIN " + std::string(label) + "-----\n";
    const std::string end = "-----END " + std::string(label) + "-----\n";
    const std::size_t characters = (der.size() + 2) / 3 * 4;
    Secret::Text text;
    // Sized once: growing would leave copies behind.
    text.reserve(begin.size() + characters + characters / 64 + 1 + end.size());
    text.insert(text.end(), begin.begin(), begin.end());
    std::size_t written = 0;
    for (std::size_t at = 0; at < der.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, der.size() - at);
        unsigned long bits = 0;
        for (std::size_t i = 0; i < 3; ++i)
            bits = bits << 8 | (i < count ? der[at + i] : 0);
        for (std::size_t i = 0; i < 4; ++i) {
            text.push_back(i <= count ? Digits[(bits >> (18 - 6 * i)) & 0x3F] : '=');
            if (++written % 64 == 0)
                text.push_back('\n');
        }
    }
    if (written % 64 != 0)
        text.push_back('\n');
    text.insert(text.end(), end.begin(), end.end());
    return text;
}

std::string PublicPem(const Signature::PublicKey::Point &point)
{
    const Secret::Text pem = ToPem("PUBLIC KEY", KeyDer::Spki(point));
    return std::string(pem.begin(), pem.end());
}

// The key pair inside an EncryptedPrivateKeyInfo, into Pair; the passphrase
// is asked only of a key this code can decrypt.
PrivateKey::Reading Decrypted(const KeyDer::Bytes &der, const PrivateKey::AskPassphrase &ask,
                              std::optional<KeyPair> &pair)
{
    using Reading = PrivateKey::Reading;
    EncryptedKey::Reading reading = EncryptedKey::Reading::Damaged;
    const std::optional<EncryptedKey::Info> info = EncryptedKey::FromDer(der, reading);
    switch (reading) {
    case EncryptedKey::Reading::Read:
        break;
    case EncryptedKey::Reading::OtherScheme:
        return Reading::OtherEncryption;
    case EncryptedKey::Reading::TooManyIterations:
        return Reading::TooManyIterations;
    case EncryptedKey::Reading::Damaged:
        return Reading::WrongPassphrase;
    }
    const std::optional<Secret::Text> passphrase = ask();
    if (!passphrase)
        return Reading::NoPassphrase;
    const std::optional<KeyDer::Bytes> pkcs8 =
        EncryptedKey::Decrypt(*info, std::string_view(passphrase->data(), passphrase->size()));
    pair = pkcs8 ? KeyDer::FromPkcs8(*pkcs8) : std::nullopt;
    return pair ? Reading::Read : Reading::WrongPassphrase;
}

} // namespace

std::optional<KeyFiles> NewKeyFiles(std::optional<std::string_view> passphrase)
{
    const std::optional<KeyPair> pair = detail::GenerateKeyPair();
    if (!pair)
        return std::nullopt;
    const KeyDer::Bytes pkcs8 = KeyDer::Pkcs8(*pair);
    if (!passphrase)
        return KeyFiles{ToPem("PRIVATE KEY", pkcs8), PublicPem(pair->point)};
    const std::optional<KeyDer::Bytes> encrypted = EncryptedKey::Encrypt(pkcs8, *passphrase);
    if (!encrypted)
        return std::nullopt;
    return KeyFiles{ToPem("ENCRYPTED PRIVATE KEY", *encrypted), PublicPem(pair->point)};
}

std::optional<PrivateKey> PrivateKey::FromPem(std::string_view fileBytes, const AskPassphrase &ask, Reading &why)
{
    why = Reading::NotAKey;
    if (fileBytes.size() > Signature::MaxKeyFileBytes)
        return std::nullopt;
    const std::optional<Pem::Block> pem = Pem::OnlyBlock(fileBytes);
    if (!pem)
        return std::nullopt;
    // OpenSSL's traditional encryption says so in a Proc-Type header.
    if (pem->headers) {
        why = Reading::OtherEncryption;
        return std::nullopt;
    }
    std::optional<KeyPair> pair;
    if (pem->label == "ENCRYPTED PRIVATE KEY") {
        why = Decrypted(pem->der, ask, pair);
        if (why != Reading::Read)
            return std::nullopt;
    } else if (pem->label == "PRIVATE KEY") {
        pair = KeyDer::FromPkcs8(pem->der);
    } else if (pem->label == "EC PRIVATE KEY") {
        pair = KeyDer::FromSec1(pem->der);
    }
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
