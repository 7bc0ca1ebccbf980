#pragma once
// The part of the signature check that each system's cryptography does
// (SignatureLinux.cpp: OpenSSL; SignatureWindows.cpp: CNG). What must be the
// same on both systems, the PEM armour, the key's encoding and strict DER,
// is checked once before these are called (Signature.cpp).
#include "platform/Signature.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace Signature::detail {

// SubjectPublicKeyInfo of an ECDSA key (1.2.840.10045.2.1) on the named curve
// P-256 (1.2.840.10045.3.1.7) has exactly one DER encoding: these bytes, then
// the uncompressed point's X and Y. Another curve, explicit parameters or a
// compressed point differs in them.
inline constexpr unsigned char SpkiP256Head[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                                 0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                                 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
inline constexpr std::size_t SpkiP256Size = sizeof SpkiP256Head + 64;

// R then S, 32 bytes each, big-endian.
using RawSignature = std::array<unsigned char, 64>;

// The one DER encoding of the signature Raw: what the check compares a
// signature with, and what the maker's tool writes.
std::vector<unsigned char> StrictDer(const RawSignature &raw);

// Whether the system takes Point as a public key of P-256.
bool AcceptsPoint(const PublicKey::Point &point);

// SHA-256 by the system's cryptography, taken piece by piece. A piece the
// system refuses is remembered, and Finish then gives nothing.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void Add(std::string_view bytes);
    bool Finish(MessageDigest::Value &digest);

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

// Whether Raw (whose strict DER form is Der) is Point's signature of the
// message whose SHA-256 is Digest.
bool Verifies(const PublicKey::Point &point, const MessageDigest::Value &digest, std::string_view der,
              const RawSignature &raw);

}  // namespace Signature::detail
