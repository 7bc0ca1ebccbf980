#include "platform/RegularFile.h"
#include "platform/detail/RegularFile.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile::detail {

OpenFile::OpenFile(const std::string &fileName)
{
    int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    missing_ = fd < 0 && errno == ENOENT;
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    handle_ = fd;
}

OpenFile::~OpenFile()
{
    if (IsOpen())
        ::close(static_cast<int>(handle_));
}

std::size_t OpenFile::Read(char *buffer, std::size_t size)
{
    ssize_t n;
    do
        n = ::read(static_cast<int>(handle_), buffer, size);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        failed_ = true;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace RegularFile::detail

namespace RegularFile {

bool Replace(const std::string &fileName, std::string_view contents)
{
    // A new file under a name nobody can guess is renamed over the old one;
    // it takes the old file's permissions and writes through a symbolic link
    // to its target. In a directory the user may not write to, the file
    // itself is written in place.
    QSaveFile out(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
    out.setDirectWriteFallback(true);
    return out.open(QIODevice::WriteOnly) &&
           out.write(contents.data(), static_cast<qint64>(contents.size())) == static_cast<qint64>(contents.size()) &&
           out.commit();
}

}  // namespace RegularFile
