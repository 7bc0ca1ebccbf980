#pragma once
// The calls that put a downloaded file in place and make its new name
// durable, behind one table so that tests can watch them and make them fail
// the way a disk rarely does on demand. Production code never changes the
// table.
namespace FileSystem {

struct SystemCalls {
    int (*rename)(const char *from, const char *to);
    int (*open)(const char *path, int flags);
    int (*fsync)(int fd);
    int (*close)(int fd);
};

// The calls in use; the system's own unless a test has replaced some.
SystemCalls &Calls();

// Puts the system's own calls back (for a test's tear-down).
void RestoreSystemCalls();

} // namespace FileSystem
