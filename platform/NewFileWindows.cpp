#include "platform/detail/NewFileWindows.h"

#include <algorithm>
#include <random>
#include <string_view>

namespace NewFile {
namespace {

constexpr std::wstring_view kNameLetters = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kRandomLength = 6;
// A name taken by another file is drawn again, this many times at most.
constexpr int kAttempts = 16;

std::wstring RandomPart()
{
    static std::random_device source;
    std::uniform_int_distribution<size_t> pick(0, kNameLetters.size() - 1);
    std::wstring part;
    for (int i = 0; i < kRandomLength; ++i)
        part += kNameLetters[pick(source)];
    return part;
}

} // namespace

HANDLE Create(const std::wstring &prefix, DWORD share, std::wstring &name)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        name = prefix + RandomPart();
        // Readable too: a download's check reads its bytes back through it.
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const char *data, std::size_t count)
{
    while (count > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        count -= written;
    }
    return true;
}

bool FlushAndClose(HANDLE file)
{
    const bool flushed = FlushFileBuffers(file);
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(file);
    if (!flushed)
        SetLastError(error);
    return flushed && closed;
}

bool Replace(const std::wstring &from, const std::wstring &to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace NewFile
