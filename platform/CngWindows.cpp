#include "platform/detail/CngWindows.h"

#include <climits>

namespace Cng {

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
