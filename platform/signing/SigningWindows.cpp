// Key making and signing with CNG (bcrypt.dll). CNG makes, exports, imports
// and uses the key; the key files' DER is our own (KeyDer.cpp), since
// crypt32 under wine encodes no private key.
#include "platform/detail/CngWindows.h"
#include "platform/signing/detail/SigningSystem.h"

#include <algorithm>
#include <array>
#include <climits>

namespace Signing::detail {

namespace {

// BCRYPT_ECCPRIVATE_BLOB of P-256: the header, then X, Y and the secret.
constexpr std::size_t PrivateBlobSize = sizeof(BCRYPT_ECCKEY_BLOB) + 3 * 32;

constexpr std::size_t AesBlock = 16;

// CNG counts in ULONG.
bool FitsUlong(std::size_t size) { return size <= ULONG_MAX; }

// CNG takes what it only reads as PUCHAR.
PUCHAR Readable(const void *bytes) { return static_cast<PUCHAR>(const_cast<void *>(bytes)); }

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

bool RandomBytes(std::span<unsigned char> out)
{
    return FitsUlong(out.size()) && BCRYPT_SUCCESS(BCryptGenRandom(nullptr, out.data(), static_cast<ULONG>(out.size()),
                                                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool DeriveKey(Prf prf, std::string_view passphrase, std::span<const unsigned char> salt, std::uint32_t iterations,
               std::span<unsigned char> key)
{
    // PBKDF2 takes the hash's provider opened as an HMAC. Wine's takes about
    // five times as long for a passphrase of 1024 bytes as for one of 64.
    const Cng::Algorithm hmac(prf == Prf::HmacSha1 ? BCRYPT_SHA1_ALGORITHM : BCRYPT_SHA256_ALGORITHM,
                              BCRYPT_ALG_HANDLE_HMAC_FLAG);
    return hmac.Handle() && FitsUlong(passphrase.size()) && FitsUlong(salt.size()) && FitsUlong(key.size()) &&
           BCRYPT_SUCCESS(BCryptDeriveKeyPBKDF2(hmac.Handle(), Readable(passphrase.data()),
                                                static_cast<ULONG>(passphrase.size()), Readable(salt.data()),
                                                static_cast<ULONG>(salt.size()), iterations, key.data(),
                                                static_cast<ULONG>(key.size()), 0));
}

bool AesCbc(Direction direction, std::span<const unsigned char> key, std::span<const unsigned char> iv,
            std::span<const unsigned char> in, std::span<unsigned char> out)
{
    if ((key.size() != 16 && key.size() != 24 && key.size() != 32) || iv.size() != AesBlock ||
        in.size() % AesBlock != 0 || out.size() != in.size() || !FitsUlong(in.size()))
        return false;
    const Cng::Key aes(BCRYPT_AES_ALGORITHM, Cng::Key::ChainingMode{BCRYPT_CHAIN_MODE_CBC}, key);
    if (!aes.Handle())
        return false;
    // CNG leaves the last block of ciphertext in the IV it is given.
    std::array<UCHAR, AesBlock> chain;
    std::copy(iv.begin(), iv.end(), chain.begin());
    const auto size = static_cast<ULONG>(in.size());
    ULONG done = 0;
    // No flags: no padding, the caller's blocks are all there is.
    const NTSTATUS status =
        direction == Direction::Encrypt
            ? BCryptEncrypt(aes.Handle(), Readable(in.data()), size, nullptr, chain.data(), AesBlock, out.data(),
                            size, &done, 0)
            : BCryptDecrypt(aes.Handle(), Readable(in.data()), size, nullptr, chain.data(), AesBlock, out.data(),
                            size, &done, 0);
    return BCRYPT_SUCCESS(status) && done == size;
}

} // namespace Signing::detail
