// Key making and signing with CNG (bcrypt.dll). CNG makes, exports, imports
// and uses the key; the key files' DER is our own (KeyDer.cpp), since
// crypt32 under wine encodes no private key.
#include "platform/detail/CngWindows.h"
#include "platform/signing/detail/SigningSystem.h"

#include <algorithm>
#include <vector>

namespace Signing::detail {

namespace {

// BCRYPT_ECCPRIVATE_BLOB of P-256: the header, then X, Y and the secret.
constexpr std::size_t PrivateBlobSize = sizeof(BCRYPT_ECCKEY_BLOB) + 3 * 32;

} // namespace

std::optional<KeyPair> GenerateKeyPair()
{
    Cng::Key key(BCRYPT_ECDSA_P256_ALGORITHM);
    UCHAR blob[PrivateBlobSize];
    ULONG size = 0;
    if (!key.AlgorithmHandle() || !BCRYPT_SUCCESS(BCryptGenerateKeyPair(key.AlgorithmHandle(), key.Out(), 256, 0)) ||
        !BCRYPT_SUCCESS(BCryptFinalizeKeyPair(key.Handle(), 0)) ||
        !BCRYPT_SUCCESS(
            BCryptExportKey(key.Handle(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob, sizeof blob, &size, 0)) ||
        size != sizeof blob)
        return std::nullopt;
    BCRYPT_ECCKEY_BLOB header;
    std::copy_n(blob, sizeof header, reinterpret_cast<UCHAR *>(&header));
    if (header.dwMagic != BCRYPT_ECDSA_PRIVATE_P256_MAGIC || header.cbKey != 32)
        return std::nullopt;
    KeyPair pair{};
    pair.point[0] = 0x04;
    std::copy_n(blob + sizeof header, 64, pair.point.begin() + 1);
    std::copy_n(blob + sizeof header + 64, 32, pair.secret.begin());
    SecureZeroMemory(blob, sizeof blob);
    return pair;
}

std::optional<Signature::detail::RawSignature> SignMessage(const KeyPair &pair, std::string_view message)
{
    UCHAR blob[PrivateBlobSize];
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
    std::copy_n(reinterpret_cast<const UCHAR *>(&header), sizeof header, blob);
    std::copy(pair.point.begin() + 1, pair.point.end(), blob + sizeof header);
    std::copy(pair.secret.begin(), pair.secret.end(), blob + sizeof header + 64);
    const Cng::Key key(BCRYPT_ECDSA_P256_ALGORITHM, BCRYPT_ECCPRIVATE_BLOB, blob);
    const bool imported = key.Handle() != nullptr;
    SecureZeroMemory(blob, sizeof blob);
    // The same SHA-256 the check takes.
    Signature::detail::Sha256 sha256;
    sha256.Add(message);
    Signature::MessageDigest::Value digest{};
    Signature::detail::RawSignature raw{};
    ULONG size = 0;
    // CNG gives R then S, big-endian, 32 bytes each.
    if (!imported || !sha256.Finish(digest) ||
        !BCRYPT_SUCCESS(BCryptSignHash(key.Handle(), nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                       raw.data(), static_cast<ULONG>(raw.size()), &size, 0)) ||
        size != raw.size())
        return std::nullopt;
    return raw;
}

} // namespace Signing::detail
