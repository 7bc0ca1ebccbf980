#pragma once
// What stands behind a TFileStream on Windows: the temporary file's handle and
// its write buffer. Only the platform's own code sees it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace FileSystem {

// As TFileStream. The temporary file stays open, shared for reading only,
// until it is put in place or removed: no other download can remove it, while
// the file of a process that was killed is closed and can be.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string &fileName);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    void Write(const char *data, std::size_t count);
    int64_t Size() const { return size_; }
    bool Failed() const { return error_ != 0; }

    void Close();
    std::string Commit();

private:
    [[noreturn]] void FailWrite();
    // Hands the buffered bytes to the system.
    void Flush();
    // Hands Count bytes to the system, or keeps the first failure.
    void WriteOut(const char *data, std::size_t count);
    void Release();

    std::string fileName_;
    std::wstring targetName_;
    std::wstring temporaryName_;
    // The temporary file's HANDLE; open until commit or removal.
    void *file_;
    bool closed_ = false;
    // Small writes gather here and go to the system in large ones.
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    int64_t size_ = 0;
    unsigned long error_ = 0;  // GetLastError of the first failed write
    bool committed_ = false;
};

} // namespace FileSystem
