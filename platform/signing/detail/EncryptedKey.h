#pragma once
// A private key encrypted with a passphrase: PKCS#8 EncryptedPrivateKeyInfo
// in PBES2 (RFC 8018), with PBKDF2 and AES in CBC mode, the form that
// "openssl genpkey -aes-256-cbc" writes and "openssl pkey" opens. The DER
// is our own on both systems; the cryptography is the system's.
#include "platform/signing/detail/KeyDer.h"
#include "platform/signing/detail/SigningSystem.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace EncryptedKey {

using KeyDer::Bytes;

struct Info {
    Signing::detail::Prf prf = Signing::detail::Prf::HmacSha256;
    Bytes salt;
    std::uint32_t iterations = 0;
    std::size_t keySize = 0; // of AES: 16, 24 or 32
    std::array<unsigned char, 16> iv{};
    Bytes ciphertext;
};

// What the DER of an encrypted key holds.
enum class Reading {
    Read,
    OtherScheme,       // PBES1, scrypt, another PRF or cipher, a salt of another source
    TooManyIterations, // above Signing::MostIterations
    Damaged,           // not an EncryptedPrivateKeyInfo
};
std::optional<Info> FromDer(const Bytes &der, Reading &why);

// The EncryptedPrivateKeyInfo of Pkcs8 under Passphrase, as keys are
// written: HMAC-SHA-256, Signing::WrittenIterations, a random salt of 16
// bytes, AES-256; none when the system's cryptography fails.
std::optional<Bytes> Encrypt(const Bytes &pkcs8, std::string_view passphrase);

// The PKCS#8 inside; none when the padding is wrong (a wrong passphrase, or
// damaged bytes) or the system's cryptography fails.
std::optional<Bytes> Decrypt(const Info &info, std::string_view passphrase);

} // namespace EncryptedKey
