#pragma once
// For tests that replace the file-system calls (FileSystem::Calls()): the
// system's own put back at the end, and a directory sync that fails.
#include "platform/files/detail/FileSystemCallsLinux.h"

#include <cerrno>

namespace testsupport {

struct RestoredFileSystemCalls {
    ~RestoredFileSystemCalls() { FileSystem::RestoreSystemCalls(); }
};

// fsync failing with Error, as on a disk that fails or a file system that
// cannot sync a directory (EINVAL).
template <int Error>
int FsyncFailing(int)
{
    errno = Error;
    return -1;
}

} // namespace testsupport
