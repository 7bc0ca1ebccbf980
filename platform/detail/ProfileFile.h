#pragma once
// What the profile functions need of the file system, which each system does
// its own way: reading a profile file that is a regular file, and replacing
// its contents so that a failed write never leaves half a profile.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace PrivateProfile {

// A profile file opened for reading, only when it is a regular file: opening
// a FIFO would wait for a writer, and a device may never end.
class RegularFile {
public:
    explicit RegularFile(const std::string &fileName);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

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

// The whole of a regular file; none when it cannot be opened, a read fails
// part-way (a file cut short must not pass for the whole one) or it holds
// more than Most bytes.
std::optional<std::string> ReadWholeFile(const std::string &fileName,
                                         std::size_t most = std::numeric_limits<std::size_t>::max());

// Puts Contents in place of the file's, all or nothing; false when it cannot.
// Both systems write a new file beside it and rename it onto the file's name.
// On Linux (QSaveFile) a symbolic link is written through to where it leads,
// and a file the user may write in a directory where they may not create one
// is written in place instead, not all or nothing then. On Windows the link
// itself is replaced by the new file, and such a directory makes the save
// fail (no file beside it can be made).
bool ReplaceContents(const std::string &fileName, std::string_view contents);

} // namespace PrivateProfile
