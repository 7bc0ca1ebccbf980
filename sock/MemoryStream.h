#pragma once
// The growable memory stream a socket component buffers what it queues and
// what it receives in.
#include "platform/files/Stream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TMemoryStream : public TStream {
public:
    void Write(const char *data, std::size_t count) override { bytes_.append(data, count); }
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size() - head_); }
    // The bytes not yet taken from the front.
    std::string_view Bytes() const { return std::string_view(bytes_).substr(head_); }
    // Takes Count bytes from the front. Taking line by line from a large
    // buffer must not copy the rest each time: the taken head is only dropped
    // once it is at least as large as what remains.
    void Consume(std::size_t count)
    {
        head_ += std::min(count, bytes_.size() - head_);
        if (head_ >= bytes_.size() - head_) {
            bytes_.erase(0, head_);
            head_ = 0;
        }
    }
    void Clear()
    {
        bytes_.clear();
        head_ = 0;
    }

private:
    std::string bytes_;
    std::size_t head_ = 0;
};
