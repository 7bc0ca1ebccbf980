#include "platform/signing/detail/KeyDer.h"

#include "platform/detail/SignatureCheck.h"
#include "platform/signing/detail/DerReader.h"

#include <algorithm>
#include <iterator>

namespace KeyDer {

namespace {

constexpr unsigned char Explicit0 = 0xA0, Explicit1 = 0xA1;

// 1.2.840.10045.2.1 (an EC public key) and 1.2.840.10045.3.1.7 (P-256).
constexpr unsigned char EcPublicKey[] = {0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01};
constexpr unsigned char P256[] = {0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07};

bool IsP256(std::optional<Span> parameters)
{
    if (!parameters)
        return false;
    Reader reader(*parameters);
    return Equals(reader.Take(Oid), P256) && reader.AtEnd();
}

// An ECPrivateKey (RFC 5915). Its curve, when named, must be P-256: a key
// inside PKCS#8 may leave it to the algorithm around it.
std::optional<Signing::KeyPair> FromEcPrivateKey(Span der, bool curveNamedOutside)
{
    Reader outer(der);
    const std::optional<Span> body = outer.Take(Sequence);
    if (!body || !outer.AtEnd())
        return std::nullopt;
    Reader reader(*body);
    const unsigned char one[] = {0x01};
    const std::optional<Span> secret = (Equals(reader.Take(Integer), one) ? reader.Take(OctetString) : std::nullopt);
    if (!secret || secret->empty() || secret->size() > 32)
        return std::nullopt;
    const std::optional<Span> parameters = reader.Take(Explicit0);
    if (parameters ? !IsP256(parameters) : !curveNamedOutside)
        return std::nullopt;
    // The public point: the checker's key file and CNG's key blob need it.
    const std::optional<Span> publicKey = reader.Take(Explicit1);
    if (!publicKey || !reader.AtEnd())
        return std::nullopt;
    Reader pointReader(*publicKey);
    const std::optional<Span> bits = pointReader.Take(BitString);
    if (!bits || !pointReader.AtEnd() || bits->size() != 66 || (*bits)[0] != 0 || (*bits)[1] != 0x04)
        return std::nullopt;
    Signing::KeyPair pair{};
    std::copy(secret->begin(), secret->end(), pair.secret.end() - secret->size());
    std::copy(bits->begin() + 1, bits->end(), pair.point.begin());
    return pair;
}

void Append(Bytes &der, std::initializer_list<unsigned char> bytes) { der.insert(der.end(), bytes); }

} // namespace

Bytes Spki(const Signature::PublicKey::Point &point)
{
    Bytes der(std::begin(Signature::detail::SpkiP256Head), std::end(Signature::detail::SpkiP256Head));
    der.insert(der.end(), point.begin() + 1, point.end());
    return der;
}

Bytes Pkcs8(const Signing::KeyPair &pair)
{
    Bytes der;
    // PrivateKeyInfo: version 0, the algorithm with its curve, then the
    // ECPrivateKey without a curve of its own.
    Append(der, {Sequence, 0x81, 0x87, Integer, 0x01, 0x00, Sequence, 0x13, Oid, sizeof EcPublicKey});
    der.insert(der.end(), std::begin(EcPublicKey), std::end(EcPublicKey));
    Append(der, {Oid, sizeof P256});
    der.insert(der.end(), std::begin(P256), std::end(P256));
    Append(der, {OctetString, 0x6d, Sequence, 0x6b, Integer, 0x01, 0x01, OctetString, 0x20});
    der.insert(der.end(), pair.secret.begin(), pair.secret.end());
    Append(der, {Explicit1, 0x44, BitString, 0x42, 0x00});
    der.insert(der.end(), pair.point.begin(), pair.point.end());
    return der;
}

std::optional<Signing::KeyPair> FromSec1(const Bytes &der) { return FromEcPrivateKey(der, false); }

std::optional<Signing::KeyPair> FromPkcs8(const Bytes &der)
{
    Reader outer(der);
    const std::optional<Span> body = outer.Take(Sequence);
    if (!body || !outer.AtEnd())
        return std::nullopt;
    Reader reader(*body);
    // Version 1 (RFC 5958) differs only in what may follow the key.
    const std::optional<Span> version = reader.Take(Integer);
    if (!version || version->size() != 1 || (*version)[0] > 1)
        return std::nullopt;
    const std::optional<Span> algorithm = reader.Take(Sequence);
    if (!algorithm)
        return std::nullopt;
    Reader algorithmReader(*algorithm);
    if (!Equals(algorithmReader.Take(Oid), EcPublicKey))
        return std::nullopt;
    const std::optional<Span> curve = algorithmReader.Take(Oid);
    if (!curve || !std::equal(curve->begin(), curve->end(), std::begin(P256), std::end(P256)) ||
        !algorithmReader.AtEnd())
        return std::nullopt;
    const std::optional<Span> key = reader.Take(OctetString);
    // Attributes [0] and a public key [1] may follow; the point inside the
    // ECPrivateKey is the one used.
    reader.Take(Explicit0);
    reader.Take(0x81);
    if (!key || !reader.AtEnd())
        return std::nullopt;
    return FromEcPrivateKey(*key, true);
}

} // namespace KeyDer
