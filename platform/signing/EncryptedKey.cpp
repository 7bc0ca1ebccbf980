#include "platform/signing/detail/EncryptedKey.h"

#include "platform/signing/detail/DerReader.h"

#include <iterator>

namespace EncryptedKey {

namespace {

using namespace KeyDer; // the reader and the tags
using Signing::detail::Prf;

// 1.2.840.113549.1.5.13 (PBES2), 1.2.840.113549.1.5.12 (PBKDF2), and the
// HMACs of RFC 8018: 1.2.840.113549.2.7 (SHA-1), 1.2.840.113549.2.9 (SHA-256).
constexpr unsigned char Pbes2[] = {0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x05, 0x0d};
constexpr unsigned char Pbkdf2[] = {0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x05, 0x0c};
constexpr unsigned char HmacSha1[] = {0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x02, 0x07};
constexpr unsigned char HmacSha256[] = {0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x02, 0x09};
// 2.16.840.1.101.3.4.1.2, .22 and .42: AES-128, -192 and -256 in CBC mode;
// they differ in their last byte alone.
constexpr unsigned char AesCbcArc[] = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x01};
constexpr std::size_t AesBlock = 16;

std::size_t AesKeySize(std::optional<Span> oid)
{
    if (!oid || oid->size() != sizeof AesCbcArc + 1 ||
        !std::equal(std::begin(AesCbcArc), std::end(AesCbcArc), oid->begin()))
        return 0;
    switch (oid->back()) {
    case 0x02:
        return 16;
    case 0x16:
        return 24;
    case 0x2a:
        return 32;
    default:
        return 0;
    }
}

unsigned char AesOidEnd(std::size_t keySize) { return keySize == 16 ? 0x02 : keySize == 24 ? 0x16 : 0x2a; }

// A positive INTEGER in its shortest form; none for anything else. Values
// beyond 64 bits come back as the largest.
std::optional<std::uint64_t> Positive(std::optional<Span> integer)
{
    if (!integer || integer->empty() || (*integer)[0] >= 0x80 ||
        (integer->size() > 1 && (*integer)[0] == 0 && (*integer)[1] < 0x80))
        return std::nullopt;
    std::uint64_t value = 0;
    for (const unsigned char byte : *integer) {
        if (value >> 56)
            return UINT64_MAX;
        value = value << 8 | byte;
    }
    if (value == 0)
        return std::nullopt;
    return value;
}

// The HMAC of an AlgorithmIdentifier, its parameters absent or NULL.
std::optional<Prf> PrfOf(Span algorithm)
{
    Reader reader(algorithm);
    const std::optional<Span> oid = reader.Take(Oid);
    const std::optional<Span> null = reader.Take(Null);
    if (!reader.AtEnd() || (null && !null->empty()))
        return std::nullopt;
    if (Equals(oid, HmacSha1))
        return Prf::HmacSha1;
    if (Equals(oid, HmacSha256))
        return Prf::HmacSha256;
    return std::nullopt;
}

// The parts of PBES2-params (RFC 8018, A.4) into Info.
Reading ReadPbes2(Span parameters, Info &info)
{
    Reader reader(parameters);
    const std::optional<Span> kdf = reader.Take(Sequence), scheme = reader.Take(Sequence);
    if (!kdf || !scheme || !reader.AtEnd())
        return Reading::Damaged;

    Reader kdfReader(*kdf);
    const std::optional<Span> kdfOid = kdfReader.Take(Oid);
    if (!kdfOid)
        return Reading::Damaged;
    if (!Equals(kdfOid, Pbkdf2))
        return Reading::OtherScheme; // scrypt, most often
    const std::optional<Span> kdfParameters = kdfReader.Take(Sequence);
    if (!kdfParameters || !kdfReader.AtEnd())
        return Reading::Damaged;
    Reader pbkdf2(*kdfParameters);
    const std::optional<Span> salt = pbkdf2.Take(OctetString);
    if (!salt)
        return pbkdf2.Take(Sequence) ? Reading::OtherScheme : Reading::Damaged;
    const std::optional<std::uint64_t> iterations = Positive(pbkdf2.Take(Integer));
    const std::optional<Span> keyLength = pbkdf2.Take(Integer);
    const std::optional<Span> prf = pbkdf2.Take(Sequence);
    if (!iterations || salt->empty() || !pbkdf2.AtEnd())
        return Reading::Damaged;
    // SHA-1 is the default, which DER leaves out.
    const std::optional<Prf> hmac = prf ? PrfOf(*prf) : Prf::HmacSha1;
    if (!hmac)
        return Reading::OtherScheme;

    Reader schemeReader(*scheme);
    info.keySize = AesKeySize(schemeReader.Take(Oid));
    if (info.keySize == 0)
        return Reading::OtherScheme;
    const std::optional<Span> iv = schemeReader.Take(OctetString);
    if (!iv || iv->size() != info.iv.size() || !schemeReader.AtEnd())
        return Reading::Damaged;
    if (keyLength && Positive(keyLength) != info.keySize)
        return Reading::Damaged;
    if (*iterations > Signing::MostIterations)
        return Reading::TooManyIterations;
    info.prf = *hmac;
    info.salt.assign(salt->begin(), salt->end());
    info.iterations = static_cast<std::uint32_t>(*iterations);
    std::copy(iv->begin(), iv->end(), info.iv.begin());
    return Reading::Read;
}

// One DER element: Tag, the length in its shortest form, Contents.
Bytes Element(unsigned char tag, Span contents)
{
    Bytes der{tag};
    const std::size_t size = contents.size();
    if (size >= 0x100)
        der.insert(der.end(), {0x82, static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)});
    else if (size >= 0x80)
        der.insert(der.end(), {0x81, static_cast<unsigned char>(size)});
    else
        der.push_back(static_cast<unsigned char>(size));
    der.insert(der.end(), contents.begin(), contents.end());
    return der;
}

Bytes Joined(std::initializer_list<Span> parts)
{
    Bytes joined;
    for (const Span part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Bytes IntegerElement(std::uint32_t value)
{
    Bytes contents;
    for (int shift = 24; shift >= 0; shift -= 8)
        if (const unsigned char byte = static_cast<unsigned char>(value >> shift); byte != 0 || !contents.empty())
            contents.push_back(byte);
    // A high bit first would make it negative.
    if (contents.empty() || contents.front() >= 0x80)
        contents.insert(contents.begin(), 0);
    return Element(Integer, contents);
}

Bytes ToDer(const Info &info)
{
    const Bytes noParameters = Element(Null, {});
    const Bytes prf = Element(Sequence, Joined({Element(Oid, HmacSha256), noParameters}));
    const Bytes kdf = Element(
        Sequence,
        Joined({Element(Oid, Pbkdf2),
                Element(Sequence, Joined({Element(OctetString, info.salt), IntegerElement(info.iterations), prf}))}));
    Bytes aesOid(std::begin(AesCbcArc), std::end(AesCbcArc));
    aesOid.push_back(AesOidEnd(info.keySize));
    const Bytes scheme = Element(Sequence, Joined({Element(Oid, aesOid), Element(OctetString, info.iv)}));
    const Bytes algorithm =
        Element(Sequence, Joined({Element(Oid, Pbes2), Element(Sequence, Joined({kdf, scheme}))}));
    return Element(Sequence, Joined({algorithm, Element(OctetString, info.ciphertext)}));
}

// The AES key of Info for Passphrase; none when the system cannot derive it.
std::optional<Bytes> AesKey(const Info &info, std::string_view passphrase)
{
    Bytes key(info.keySize);
    if (!Signing::detail::DeriveKey(info.prf, passphrase, info.salt, info.iterations, key))
        return std::nullopt;
    return key;
}

} // namespace

std::optional<Info> FromDer(const Bytes &der, Reading &why)
{
    why = Reading::Damaged;
    Reader outer(der);
    const std::optional<Span> body = outer.Take(Sequence);
    if (!body || !outer.AtEnd())
        return std::nullopt;
    Reader reader(*body);
    const std::optional<Span> algorithm = reader.Take(Sequence), ciphertext = reader.Take(OctetString);
    if (!algorithm || !ciphertext || !reader.AtEnd())
        return std::nullopt;
    Reader algorithmReader(*algorithm);
    const std::optional<Span> oid = algorithmReader.Take(Oid);
    if (!oid)
        return std::nullopt;
    // PBES1 and PKCS#12's schemes name their cipher here.
    if (!Equals(oid, Pbes2)) {
        why = Reading::OtherScheme;
        return std::nullopt;
    }
    const std::optional<Span> parameters = algorithmReader.Take(Sequence);
    if (!parameters || !algorithmReader.AtEnd())
        return std::nullopt;
    Info info;
    why = ReadPbes2(*parameters, info);
    if (why != Reading::Read)
        return std::nullopt;
    if (ciphertext->empty() || ciphertext->size() % AesBlock != 0) {
        why = Reading::Damaged;
        return std::nullopt;
    }
    info.ciphertext.assign(ciphertext->begin(), ciphertext->end());
    return info;
}

std::optional<Bytes> Encrypt(const Bytes &pkcs8, std::string_view passphrase)
{
    Info info;
    info.salt.resize(16);
    info.iterations = Signing::WrittenIterations;
    info.keySize = 32;
    if (!Signing::detail::RandomBytes(info.salt) || !Signing::detail::RandomBytes(info.iv))
        return std::nullopt;
    const std::optional<Bytes> key = AesKey(info, passphrase);
    // PKCS#7 padding: 1 to 16 bytes, each the padding's length.
    const std::size_t padding = AesBlock - pkcs8.size() % AesBlock;
    Bytes padded(pkcs8);
    padded.insert(padded.end(), padding, static_cast<unsigned char>(padding));
    info.ciphertext.resize(padded.size());
    if (!key || !Signing::detail::AesCbc(Signing::detail::Direction::Encrypt, *key, info.iv, padded, info.ciphertext))
        return std::nullopt;
    return ToDer(info);
}

std::optional<Bytes> Decrypt(const Info &info, std::string_view passphrase)
{
    const std::optional<Bytes> key = AesKey(info, passphrase);
    Bytes plain(info.ciphertext.size());
    if (!key || !Signing::detail::AesCbc(Signing::detail::Direction::Decrypt, *key, info.iv, info.ciphertext, plain))
        return std::nullopt;
    const std::size_t padding = plain.back();
    if (padding == 0 || padding > AesBlock ||
        std::any_of(plain.end() - static_cast<std::ptrdiff_t>(padding), plain.end(),
                    [&](unsigned char byte) { return byte != padding; }))
        return std::nullopt;
    plain.resize(plain.size() - padding);
    return plain;
}

} // namespace EncryptedKey
