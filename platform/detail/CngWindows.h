#pragma once
// What the signature check and the maker's signing both ask of CNG
// (bcrypt.dll): an algorithm's provider, and SHA-256.
#include <windows.h>
#include <bcrypt.h>

#include <string_view>

namespace Cng {

// An algorithm provider, closed with the object; Handle() is null when CNG
// has none of that name.
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

// SHA-256 of Message; false when CNG cannot make it.
bool Sha256(std::string_view message, UCHAR (&digest)[32]);

} // namespace Cng
