#pragma once
// What every byte stream a socket component fills offers: appending and the
// size so far.
#include <cstddef>
#include <cstdint>

class TStream {
public:
    virtual ~TStream() = default;
    // Appends Count bytes at the end.
    virtual void Write(const char *data, std::size_t count) = 0;
    virtual int64_t Size() const = 0;
};
