#pragma once
// For Windows tests of files: names in UTF-8, as the program keeps them, and a
// file that another program holds open.
#include <windows.h>

#include <filesystem>
#include <string>

namespace testsupport {

inline std::filesystem::path Utf8Path(const std::string &utf8) { return std::u8string(utf8.begin(), utf8.end()); }

// A handle of another program on a file, which lets others read and write it
// but neither delete nor replace it, while this object lives.
class HeldOpen {
public:
    explicit HeldOpen(const std::string &name)
        : handle_(CreateFileW(Utf8Path(name).wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~HeldOpen()
    {
        if (IsOpen())
            CloseHandle(handle_);
    }
    HeldOpen(const HeldOpen &) = delete;
    HeldOpen &operator=(const HeldOpen &) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

} // namespace testsupport
