#include "platform/signing/Signing.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Signing {

Creation WriteNewFile(const std::string &path, std::string_view contents, Readers readers)
{
    // O_EXCL: never over an existing file, nor through a link of that name.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          readers == Readers::OwnerOnly ? 0600 : 0644);
    if (fd < 0)
        return errno == EEXIST ? Creation::Exists : Creation::Failed;
    bool written = true;
    while (written && !contents.empty()) {
        const ssize_t n = ::write(fd, contents.data(), contents.size());
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        if (written)
            contents.remove_prefix(static_cast<std::size_t>(n));
    }
    written = written && ::fsync(fd) == 0;
    // Not retried on EINTR: the descriptor is released all the same.
    written = ::close(fd) == 0 && written;
    if (!written)
        ::unlink(path.c_str());
    return written ? Creation::Written : Creation::Failed;
}

} // namespace Signing
