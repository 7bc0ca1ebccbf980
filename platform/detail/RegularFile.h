#pragma once
// The part of reading a regular file that each system does its own way
// (RegularFileLinux.cpp, RegularFileWindows.cpp): opening it only when it is
// one, and reading it.
#include <cstddef>
#include <cstdint>
#include <string>

namespace RegularFile::detail {

class OpenFile {
public:
    explicit OpenFile(const std::string &fileName);
    ~OpenFile();
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    bool IsOpen() const { return handle_ != kClosed; }
    // Nothing of that name exists.
    bool Missing() const { return missing_; }
    // The next bytes into Buffer; 0 at the end or on an error.
    std::size_t Read(char *buffer, std::size_t size);
    // A read failed: what was read is not the whole file.
    bool Failed() const { return failed_; }

private:
    // The system's handle of the open file: a descriptor or a HANDLE, which
    // both use -1 for none.
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
    bool missing_ = false;
    bool failed_ = false;
};

}  // namespace RegularFile::detail
