#include "platform/detail/CngWindows.h"

#include <cwchar>

namespace Cng {

Key::Key(const wchar_t *algorithmId, const wchar_t *blobType, std::span<const UCHAR> blob) : algorithm_(algorithmId)
{
    // BCryptImportKeyPair takes the blob as PUCHAR but does not write it.
    auto *bytes = const_cast<PUCHAR>(blob.data());
    if (!algorithm_.Handle() || !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm_.Handle(), nullptr, blobType, &handle_,
                                                                    bytes, static_cast<ULONG>(blob.size()), 0)))
        handle_ = nullptr;
}

Key::Key(const wchar_t *algorithmId, ChainingMode chaining, std::span<const UCHAR> secret) : algorithm_(algorithmId)
{
    const BCRYPT_ALG_HANDLE algorithm = algorithm_.Handle();
    // The mode is set on the provider, whose keys take it; it is the mode's
    // name with its terminating null, as PUCHAR that CNG does not write.
    auto *mode = reinterpret_cast<PUCHAR>(const_cast<wchar_t *>(chaining.mode));
    const auto modeSize = static_cast<ULONG>((std::wcslen(chaining.mode) + 1) * sizeof(wchar_t));
    DWORD objectSize = 0;
    ULONG got = 0;
    if (!algorithm || !BCRYPT_SUCCESS(BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE, mode, modeSize, 0)) ||
        !BCRYPT_SUCCESS(BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize),
                                          sizeof objectSize, &got, 0)) ||
        got != sizeof objectSize)
        return;
    object_.resize(objectSize);
    // The secret, too, is read and not written.
    auto *bytes = const_cast<PUCHAR>(secret.data());
    if (!BCRYPT_SUCCESS(BCryptGenerateSymmetricKey(algorithm, &handle_, object_.data(), objectSize, bytes,
                                                   static_cast<ULONG>(secret.size()), 0)))
        handle_ = nullptr;
}

} // namespace Cng
