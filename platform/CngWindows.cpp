#include "platform/detail/CngWindows.h"

#include <climits>

namespace Cng {

Key::Key(const wchar_t *algorithmId, const wchar_t *blobType, std::span<const UCHAR> blob) : algorithm_(algorithmId)
{
    // BCryptImportKeyPair takes the blob as PUCHAR but does not write it.
    auto *bytes = const_cast<PUCHAR>(blob.data());
    if (!algorithm_.Handle() || !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm_.Handle(), nullptr, blobType, &handle_,
                                                                    bytes, static_cast<ULONG>(blob.size()), 0)))
        handle_ = nullptr;
}

bool Sha256(std::string_view message, UCHAR (&digest)[32])
{
    const Algorithm sha256(BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (message.size() > ULONG_MAX || !sha256.Handle() ||
        !BCRYPT_SUCCESS(BCryptCreateHash(sha256.Handle(), &hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    // BCryptHashData takes the bytes as PUCHAR but does not write them.
    auto *bytes = reinterpret_cast<PUCHAR>(const_cast<char *>(message.data()));
    const bool done = BCRYPT_SUCCESS(BCryptHashData(hash, bytes, static_cast<ULONG>(message.size()), 0)) &&
                      BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    BCryptDestroyHash(hash);
    return done;
}

} // namespace Cng
