#pragma once
// Writing a file back to the disk while it is still being written, so that the
// flush that makes it durable finds little left, and the pages waiting for the
// disk stay few however large the file grows.
#include <cstdint>

class TWriteBack {
public:
    // Bytes of the file handed to the system per step of writing back.
    static constexpr int64_t Window = 8 << 20;

    // Called with how much of File has been handed to the system so far:
    // starts writing back each window that has filled and waits for the one
    // before it. Returns the errno of a failed write-back, 0 otherwise. The
    // failure must be kept: once reported here, the flush would not report it
    // again.
    int Advance(int file, int64_t written);

private:
    int64_t started_ = 0;     // the end of what has been started
    bool supported_ = true;   // the file system writes back by range
};
