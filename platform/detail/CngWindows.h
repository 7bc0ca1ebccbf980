#pragma once
// What the signature check and the maker's signing both ask of CNG
// (bcrypt.dll): an algorithm's provider and a key.
#include "platform/Secret.h"

#include <windows.h>
#include <bcrypt.h>

#include <span>

namespace Cng {

// An algorithm provider, closed with the object; Handle() is null when CNG
// has none of that name. Flags as BCryptOpenAlgorithmProvider takes them
// (BCRYPT_ALG_HANDLE_HMAC_FLAG: the hash as an HMAC).
class Algorithm {
public:
    explicit Algorithm(const wchar_t *id, ULONG flags = 0)
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, id, nullptr, flags)))
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

// A key of CNG with its algorithm's provider, which outlives it; both are
// closed with the object. The one owner of a key handle, for the signature
// check and the maker's signing alike.
class Key {
public:
    // A key still to be made, into Out(), by the algorithm Id.
    explicit Key(const wchar_t *algorithmId) : algorithm_(algorithmId) {}
    // The key that Blob (of BlobType) holds, for the algorithm Id; Handle()
    // is null when CNG refuses it.
    Key(const wchar_t *algorithmId, const wchar_t *blobType, std::span<const UCHAR> blob);
    // A symmetric key of Secret for the block cipher Id in the chaining
    // mode Chaining names (BCRYPT_CHAIN_MODE_CBC); Handle() is null when CNG
    // refuses either.
    struct ChainingMode {
        const wchar_t *mode;
    };
    Key(const wchar_t *algorithmId, ChainingMode chaining, std::span<const UCHAR> secret);
    ~Key()
    {
        if (handle_)
            BCryptDestroyKey(handle_);
    }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
    BCRYPT_ALG_HANDLE AlgorithmHandle() const { return algorithm_.Handle(); }
    BCRYPT_KEY_HANDLE *Out() { return &handle_; }
    BCRYPT_KEY_HANDLE Handle() const { return handle_; }

private:
    Algorithm algorithm_;
    // A symmetric key's object: its expanded key, in our memory so that it
    // is wiped when freed, which is after the handle is destroyed.
    Secret::Bytes object_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

} // namespace Cng
