#pragma once
// Memory that held a secret (a private key, a passphrase) is zeroed before
// it is given back, so that no freed block of the heap keeps it. Wipe is the
// one way this is done; the containers below call it for every block they
// free, including the ones they leave when they grow.
#include <cstddef>
#include <new>
#include <vector>

namespace Secret {

// Zeroes Size bytes at Data in a way the compiler may not leave out
// (OPENSSL_cleanse on Linux, SecureZeroMemory on Windows).
void Wipe(void *data, std::size_t size);

template <class T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <class U>
    WipingAllocator(const WipingAllocator<U> &) noexcept
    {
    }
    T *allocate(std::size_t count) { return static_cast<T *>(::operator new(count * sizeof(T))); }
    void deallocate(T *data, std::size_t count) noexcept
    {
        Wipe(data, count * sizeof(T));
        ::operator delete(data);
    }
    friend bool operator==(const WipingAllocator &, const WipingAllocator &) { return true; }
};

// Bytes and text that are wiped when freed. Vectors, not strings: a short
// string's characters live inside the object, where no allocator sees them.
using Bytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;
using Text = std::vector<char, WipingAllocator<char>>;

} // namespace Secret
