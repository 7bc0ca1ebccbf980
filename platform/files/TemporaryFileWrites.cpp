// The writes of a temporary file, the same on every system: through the
// write buffer, and none after the first failure.
#include "platform/files/detail/TemporaryFile.h"

namespace FileSystem {

void TemporaryFile::Write(const char *data, std::size_t count)
{
    if (!Writable() || Failed())
        return;
    if (buffer_.Append(data, count, [this](const char *bytes, std::size_t n) { return Out(bytes, n); }))
        size_ += static_cast<int64_t>(count);
}

void TemporaryFile::Flush()
{
    buffer_.Flush([this](const char *bytes, std::size_t n) { return Out(bytes, n); });
}

bool TemporaryFile::Out(const char *data, std::size_t count)
{
    if (!Failed())
        WriteOut(data, count);
    return !Failed();
}

} // namespace FileSystem
