#pragma once
// A tiny file system of its own (tmpfs) mounted on a temporary directory, for
// tests of a full disk. The mount lives in a private mount namespace of the
// test process, so nothing outside sees it. Mounting needs the right to; where
// it is missing, Mounted() is false and the test should skip.
#include "harness/FtpFiles.h"

#include <cstddef>
#include <string>
#include <vector>

namespace harness {

class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool Mounted() const { return mounted_; }
    const std::string &Path() const { return dir_.Path(); }
    std::string operator/(const std::string &relative) const { return dir_ / relative; }
    // The names in the directory, sorted.
    std::vector<std::string> Names() const;

private:
    TempDir dir_;
    bool mounted_ = false;
};

}  // namespace harness
