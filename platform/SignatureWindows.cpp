// The signature check with CNG (bcrypt.dll), which Windows has had since Vista.
#include "platform/detail/SignatureCheck.h"

#include "platform/detail/CngWindows.h"

#include <algorithm>
#include <array>
#include <climits>

namespace Signature::detail {

namespace {

// Point as a key of CNG, through a public key blob: the header, then X and Y.
Cng::Key KeyOf(const PublicKey::Point &point)
{
    std::array<UCHAR, sizeof(BCRYPT_ECCKEY_BLOB) + 64> blob{};
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::copy_n(reinterpret_cast<const UCHAR *>(&header), sizeof header, blob.begin());
    std::copy(point.begin() + 1, point.end(), blob.begin() + sizeof header);
    return Cng::Key(BCRYPT_ECDSA_P256_ALGORITHM, BCRYPT_ECCPUBLIC_BLOB, blob);
}

}  // namespace

bool AcceptsPoint(const PublicKey::Point &point) { return KeyOf(point).Handle() != nullptr; }

struct Sha256::Native {
    Cng::Algorithm algorithm{BCRYPT_SHA256_ALGORITHM};
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;
};

Sha256::Sha256() : native_(std::make_unique<Native>())
{
    Native &n = *native_;
    n.failed = !n.algorithm.Handle() ||
               !BCRYPT_SUCCESS(BCryptCreateHash(n.algorithm.Handle(), &n.hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256()
{
    if (native_->hash)
        BCryptDestroyHash(native_->hash);
}

void Sha256::Add(std::string_view bytes)
{
    Native &n = *native_;
    // BCryptHashData takes at most ULONG bytes at once, as PUCHAR, without writing them.
    while (!n.failed && !bytes.empty()) {
        const auto size = static_cast<ULONG>(std::min<std::size_t>(bytes.size(), ULONG_MAX));
        auto *data = reinterpret_cast<PUCHAR>(const_cast<char *>(bytes.data()));
        n.failed = !BCRYPT_SUCCESS(BCryptHashData(n.hash, data, size, 0));
        bytes.remove_prefix(size);
    }
}

bool Sha256::Finish(MessageDigest::Value &digest)
{
    Native &n = *native_;
    const bool done =
        !n.failed && BCRYPT_SUCCESS(BCryptFinishHash(n.hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    n.failed = true;
    return done;
}

bool Verifies(const PublicKey::Point &point, const MessageDigest::Value &digest, std::string_view,
              const RawSignature &raw)
{
    const Cng::Key key = KeyOf(point);
    if (!key.Handle())
        return false;
    // CNG takes the digest, R and S (big-endian, 32 bytes each) as PUCHAR,
    // hence the copies.
    MessageDigest::Value hashed = digest;
    RawSignature signature = raw;
    return BCRYPT_SUCCESS(BCryptVerifySignature(key.Handle(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
                                                signature.data(), static_cast<ULONG>(signature.size()), 0));
}

}  // namespace Signature::detail
