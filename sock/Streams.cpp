#include "sock/Streams.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;

}  // namespace

TFileStream::TFileStream(const std::string &fileName)
    : fileName_(fileName), buffer_(std::make_unique<char[]>(kWriteBuffer)),
      file_(std::fopen(fileName.c_str(), "wb"))
{
    if (!file_)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    // Received blocks are 16383 bytes: with the default page-sized buffer each
    // costs two unaligned writes; a larger buffer writes whole pages, fewer times.
    std::setvbuf(file_, buffer_.get(), _IOFBF, kWriteBuffer);
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
}

void TFileStream::Write(const char *data, std::size_t count)
{
    if (!file_ || failed_)
        return;
    if (std::fwrite(data, 1, count, file_) != count)
        failed_ = true;
    else
        size_ += static_cast<int64_t>(count);
}

void TFileStream::Close()
{
    if (!file_)
        return;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !closed)
        throw EWriteError("Cannot write file \"" + fileName_ + "\"");
}
