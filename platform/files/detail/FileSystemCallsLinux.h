#pragma once
// The calls that write a downloaded file, put it in place and make its new
// name durable, behind one table so that tests can watch them and make them
// fail the way a disk rarely does on demand (EINVAL from a splice into the
// file, EIO from a write-back, a directory that cannot be synced). Production
// code never changes the table.
#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>

namespace FileSystem {

struct SystemCalls {
    int (*rename)(const char *from, const char *to);
    int (*open)(const char *path, int flags);
    int (*fsync)(int fd);
    int (*close)(int fd);
    // Moves bytes from the pipe a socket spliced into to the file.
    ssize_t (*splice)(int in, loff_t *inOffset, int out, loff_t *outOffset, std::size_t length,
                      unsigned int flags);
    int (*sync_file_range)(int fd, off64_t offset, off64_t length, unsigned int flags);
};

// The calls in use; the system's own unless a test has replaced some.
SystemCalls &Calls();

// Puts the system's own calls back (for a test's tear-down).
void RestoreSystemCalls();

} // namespace FileSystem
