// The signature check with CNG (bcrypt.dll), which Windows has had since Vista.
#include "platform/detail/SignatureCheck.h"

#include "platform/detail/CngWindows.h"

#include <algorithm>
#include <vector>

namespace Signature::detail {

namespace {

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
    Cng::Algorithm algorithm_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

}  // namespace

bool AcceptsPoint(const PublicKey::Point &point) { return Key(point).Handle() != nullptr; }

bool Verifies(const PublicKey::Point &point, std::string_view message, std::string_view, const RawSignature &raw)
{
    const Key key(point);
    UCHAR digest[32];
    if (!key.Handle() || !Cng::Sha256(message, digest))
        return false;
    // CNG takes R and S as they are given here: big-endian, 32 bytes each.
    // It takes them as PUCHAR too, hence the copy.
    RawSignature signature = raw;
    return BCRYPT_SUCCESS(BCryptVerifySignature(key.Handle(), nullptr, digest, sizeof digest, signature.data(),
                                                static_cast<ULONG>(signature.size()), 0));
}

}  // namespace Signature::detail
