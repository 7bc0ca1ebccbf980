#pragma once
// The DER of P-256 key files, written and read here on both systems: Windows'
// crypt32 under wine encodes neither PKCS#8 nor SEC1 private keys, and both
// systems must write the same files.
#include "platform/signing/Signing.h"

#include <optional>
#include "platform/Secret.h"

namespace KeyDer {

using Bytes = Secret::Bytes;

// PKCS#8 PrivateKeyInfo of Pair, as OpenSSL writes it: the curve named in
// the algorithm, the public point inside the ECPrivateKey.
Bytes Pkcs8(const Signing::KeyPair &pair);
// SubjectPublicKeyInfo of Point.
Bytes Spki(const Signature::PublicKey::Point &point);

// The key of a PKCS#8 PrivateKeyInfo or a SEC1 ECPrivateKey on P-256 that
// carries its public point; none for anything else.
std::optional<Signing::KeyPair> FromPkcs8(const Bytes &der);
std::optional<Signing::KeyPair> FromSec1(const Bytes &der);

} // namespace KeyDer
