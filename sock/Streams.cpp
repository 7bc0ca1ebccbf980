#include "sock/Streams.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;

std::string Quoted(const std::string &fileName) { return "\"" + fileName + "\""; }

// Past a file-size limit of the process the kernel sends SIGXFSZ, which ends
// the program; ignored, the write fails with EFBIG and is reported like a full disk.
void IgnoreFileSizeSignal()
{
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
}

// The mode the file gets in place: the old copy's, or what creating it would give.
mode_t ModeFor(const struct stat *existing)
{
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

TFileStream::TFileStream(const std::string &fileName)
    : fileName_(fileName), temporaryName_(fileName + ".XXXXXX"), buffer_(std::make_unique<char[]>(kWriteBuffer))
{
    IgnoreFileSizeSignal();
    struct stat target {};
    const bool exists = ::stat(fileName.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode))
        throw EFCreateError("Cannot create file " + Quoted(fileName) + ". It is not a regular file.");
    // mkstemp makes a name nobody else holds, so nothing planted beside the
    // target can take the bytes.
    const int fd = ::mkstemp(temporaryName_.data());
    if (fd < 0)
        throw EFCreateError("Cannot create file " + Quoted(fileName) + ". " + std::strerror(errno));
    ::fchmod(fd, ModeFor(exists ? &target : nullptr));
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporaryName_.c_str());
        throw EFCreateError("Cannot create file " + Quoted(fileName) + ". " + std::strerror(error));
    }
    // Received blocks are 16383 bytes: with the default page-sized buffer each
    // costs two unaligned writes; a larger buffer writes whole pages, fewer times.
    std::setvbuf(file_, buffer_.get(), _IOFBF, kWriteBuffer);
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
    if (!committed_)
        ::unlink(temporaryName_.c_str());
}

void TFileStream::Write(const char *data, std::size_t count)
{
    if (!file_ || Failed())
        return;
    if (std::fwrite(data, 1, count, file_) != count)
        error_ = errno != 0 ? errno : EIO;
    else
        size_ += static_cast<int64_t>(count);
}

void TFileStream::Close()
{
    if (!file_)
        return;
    // A full disk may show only when the buffer goes out or the data reaches
    // the disk; the old copy is replaced only by bytes known to be there.
    if (!Failed() && (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0))
        error_ = errno;
    if (std::fclose(file_) != 0 && !Failed())
        error_ = errno;
    file_ = nullptr;
    if (Failed())
        FailWrite();
}

void TFileStream::Commit()
{
    Close();
    if (committed_)
        return;
    if (std::rename(temporaryName_.c_str(), fileName_.c_str()) != 0) {
        error_ = errno;
        FailWrite();
    }
    committed_ = true;
}

void TFileStream::FailWrite()
{
    throw EWriteError("Cannot write file " + Quoted(fileName_) + ". " + std::strerror(error_));
}
