#pragma once
// Small writes (the blocks of a capture, the bytes buffered before it) gather
// here and go to the system in large ones.
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>
#include <utility>

namespace FileSystem {

class WriteBuffer {
public:
    static constexpr std::size_t Capacity = 256 * 1024;

    // Appends Count bytes. Out(data, count) hands bytes to the system and
    // says whether every write so far has succeeded: what is gathered goes
    // out first when the new bytes do not fit, and as many bytes as the
    // buffer holds go straight out. False when a write has failed.
    template <class Out> bool Append(const char *data, std::size_t count, Out out)
    {
        if (used_ + count > Capacity && !Flush(out))
            return false;
        if (count >= Capacity)
            return out(data, count);
        std::memcpy(bytes_.get() + used_, data, count);
        used_ += count;
        return true;
    }

    // Hands what is gathered to Out; the buffer is empty after it, whatever Out says.
    template <class Out> bool Flush(Out out)
    {
        const std::size_t count = std::exchange(used_, 0);
        return count == 0 || out(bytes_.get(), count);
    }

    // The buffer's memory, for other use while it holds nothing.
    std::span<char> Space() { return {bytes_.get(), Capacity}; }

private:
    // Not cleared: the system gives the pages only as bytes are written, so a
    // small file costs a page of it, not all of it.
    std::unique_ptr<char[]> bytes_ = std::make_unique_for_overwrite<char[]>(Capacity);
    std::size_t used_ = 0;
};

} // namespace FileSystem
