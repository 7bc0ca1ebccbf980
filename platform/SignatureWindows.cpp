// The signature check with CNG (bcrypt.dll), which Windows has had since Vista.
#include "platform/detail/SignatureCheck.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace Signature::detail {

namespace {

class Algorithm {
public:
    explicit Algorithm(const wchar_t *id)
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, id, nullptr, 0)))
            handle_ = nullptr;
    }
    ~Algorithm()
    {
        if (handle_)
            BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Algorithm(const Algorithm &) = delete;
    Algorithm &operator=(const Algorithm &) = delete;
    BCRYPT_ALG_HANDLE Handle() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    // Point as a public key blob: the header, then X and Y.
    explicit Key(const PublicKey::Point &point) : algorithm_(BCRYPT_ECDSA_P256_ALGORITHM)
    {
        std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
        BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
        std::copy_n(reinterpret_cast<const UCHAR *>(&header), sizeof header, blob.begin());
        std::copy(point.begin() + 1, point.end(), blob.begin() + sizeof header);
        if (!algorithm_.Handle() ||
            !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm_.Handle(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle_,
                                                blob.data(), static_cast<ULONG>(blob.size()), 0)))
            handle_ = nullptr;
    }
    ~Key()
    {
        if (handle_)
            BCryptDestroyKey(handle_);
    }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
    BCRYPT_KEY_HANDLE Handle() const { return handle_; }

private:
    Algorithm algorithm_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

// SHA-256 of Message; false when CNG cannot make it.
bool Sha256(std::string_view message, UCHAR (&digest)[32])
{
    const Algorithm sha256(BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!sha256.Handle() || !BCRYPT_SUCCESS(BCryptCreateHash(sha256.Handle(), &hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    // BCryptHashData takes the bytes as PUCHAR but does not write them.
    auto *bytes = reinterpret_cast<PUCHAR>(const_cast<char *>(message.data()));
    const bool done = BCRYPT_SUCCESS(BCryptHashData(hash, bytes, static_cast<ULONG>(message.size()), 0)) &&
                      BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    BCryptDestroyHash(hash);
    return done;
}

}  // namespace

bool AcceptsPoint(const PublicKey::Point &point) { return Key(point).Handle() != nullptr; }

bool Verifies(const PublicKey::Point &point, std::string_view message, std::string_view, const RawSignature &raw)
{
    const Key key(point);
    UCHAR digest[32];
    if (!key.Handle() || message.size() > ULONG_MAX || !Sha256(message, digest))
        return false;
    // CNG takes R and S as they are given here: big-endian, 32 bytes each.
    // It takes them as PUCHAR too, hence the copy.
    RawSignature signature = raw;
    return BCRYPT_SUCCESS(BCryptVerifySignature(key.Handle(), nullptr, digest, sizeof digest, signature.data(),
                                                static_cast<ULONG>(signature.size()), 0));
}

}  // namespace Signature::detail
