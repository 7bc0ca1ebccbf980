#pragma once
// The part of signing that each system's cryptography does
// (SigningLinux.cpp: OpenSSL; SigningWindows.cpp: CNG). Encodings are the
// shared code's (KeyDer.cpp, Signing.cpp).
#include "platform/detail/SignatureCheck.h"
#include "platform/signing/Signing.h"

#include <optional>
#include <string_view>

namespace Signing::detail {

// A new P-256 key pair; none when the system cannot make one.
std::optional<KeyPair> GenerateKeyPair();

// R and S of Pair's ECDSA signature of SHA-256 of Message; none when the
// system refuses the key or cannot sign.
std::optional<Signature::detail::RawSignature> SignMessage(const KeyPair &pair, std::string_view message);

} // namespace Signing::detail
