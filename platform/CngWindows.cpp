#include "platform/detail/CngWindows.h"


namespace Cng {

Key::Key(const wchar_t *algorithmId, const wchar_t *blobType, std::span<const UCHAR> blob) : algorithm_(algorithmId)
{
    // BCryptImportKeyPair takes the blob as PUCHAR but does not write it.
    auto *bytes = const_cast<PUCHAR>(blob.data());
    if (!algorithm_.Handle() || !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm_.Handle(), nullptr, blobType, &handle_,
                                                                    bytes, static_cast<ULONG>(blob.size()), 0)))
        handle_ = nullptr;
}

} // namespace Cng
