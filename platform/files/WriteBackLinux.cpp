#include "platform/files/detail/WriteBackLinux.h"

#include "platform/files/detail/FileSystemCallsLinux.h"

#include <cerrno>
#include <fcntl.h>

namespace {

constexpr unsigned int kStart = SYNC_FILE_RANGE_WRITE;
constexpr unsigned int kFinish = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

// The file cannot be written back by range: the final flush does it all.
bool Unsupported(int error) { return error == EINVAL || error == ESPIPE || error == ENOSYS || error == EOPNOTSUPP; }

}  // namespace

int TWriteBack::Advance(int file, int64_t written)
{
    while (supported_ && written - started_ >= Window) {
        // The window before the new one is waited for: at most two are on
        // their way to the disk while the next one fills.
        int result = FileSystem::Calls().sync_file_range(file, started_, Window, kStart);
        if (result == 0 && started_ >= Window)
            result = FileSystem::Calls().sync_file_range(file, started_ - Window, Window, kFinish);
        if (result != 0) {
            if (errno == EINTR)
                continue;
            if (!Unsupported(errno))
                return errno;
            supported_ = false;
        }
        started_ += Window;
    }
    return 0;
}
