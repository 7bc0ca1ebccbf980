// The temporary file's own logic, the same on every system: the writes
// through the write buffer, none after the first failure; the close, the
// commit and the read back; and the errors they report. The calls are each
// system's (TemporaryFileLinux.cpp, TemporaryFileWindows.cpp).
#include "platform/files/detail/TemporaryFile.h"

#include "platform/CodePage.h"
#include "platform/files/FileStream.h"

namespace FileSystem {

std::string Quoted(const std::string &fileName) { return "\"" + CodePage::FromUtf8(fileName) + "\""; }

void FailCreate(const std::string &fileName, SystemError error)
{
    throw EFCreateError("Cannot create file " + Quoted(fileName) + ". " + ErrorText(error));
}

void FailNotRegular(const std::string &fileName)
{
    throw EFCreateError("Cannot create file " + Quoted(fileName) + ". It is not a regular file.");
}

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

void TemporaryFile::Close()
{
    if (!Writable())
        return;
    Flush();
    // A full disk may show only when the data reaches the disk; the old copy
    // is replaced only by bytes known to be there.
    EndWrites();
    if (Failed())
        FailWrite();
}

std::string TemporaryFile::Commit()
{
    Close();
    if (committed_)
        return {};
    if (!Replace())
        FailWrite();
    committed_ = true;
    return Settle();
}

void TemporaryFile::ReadBack(const std::function<void(std::string_view)> &each) const
{
    char buffer[64 * 1024];
    for (int64_t at = 0;;) {
        SystemError error = 0;
        const long n = ReadAt(buffer, sizeof buffer, at, error);
        if (n < 0)
            throw EReadError("Cannot read file " + Quoted(fileName_) + ". " + ErrorText(error));
        if (n == 0)
            return;
        each(std::string_view(buffer, static_cast<std::size_t>(n)));
        at += n;
    }
}

void TemporaryFile::FailWrite()
{
    throw EWriteError("Cannot write file " + Quoted(fileName_) + ". " + ErrorText(error_));
}

} // namespace FileSystem
