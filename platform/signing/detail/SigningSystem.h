#pragma once
// The part of signing that each system's cryptography does
// (SigningLinux.cpp: OpenSSL; SigningWindows.cpp: CNG). Encodings are the
// shared code's (KeyDer.cpp, EncryptedKeyDer.cpp, Signing.cpp).
#include "platform/detail/SignatureCheck.h"
#include "platform/signing/Signing.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace Signing::detail {

// A new P-256 key pair; none when the system cannot make one.
std::optional<KeyPair> GenerateKeyPair();

// R and S of Pair's ECDSA signature of SHA-256 of Message; none when the
// system refuses the key or cannot sign.
std::optional<Signature::detail::RawSignature> SignMessage(const KeyPair &pair, std::string_view message);

// Bytes from the system's cryptographic random source; false when it fails.
bool RandomBytes(std::span<unsigned char> out);

// The HMAC of PBKDF2 (RFC 8018).
enum class Prf { HmacSha1, HmacSha256 };

// PBKDF2 of Passphrase and Salt with Iterations rounds, Key.size() bytes of
// it into Key; false when the system cannot.
bool DeriveKey(Prf prf, std::string_view passphrase, std::span<const unsigned char> salt, std::uint32_t iterations,
               std::span<unsigned char> key);

// AES in CBC mode without padding (Key of 16, 24 or 32 bytes, IV of 16,
// In a whole number of blocks, Out as large as In); false when the system
// cannot.
enum class Direction { Encrypt, Decrypt };
bool AesCbc(Direction direction, std::span<const unsigned char> key, std::span<const unsigned char> iv,
            std::span<const unsigned char> in, std::span<unsigned char> out);

} // namespace Signing::detail
