#include "platform/console/Console.h"
#include "platform/detail/WideTextWindows.h"

#include <windows.h>

#include <algorithm>

namespace Console {
namespace {

// Whole, in pieces a DWORD can count; false when the handle refuses.
template <class Char, class WriteFn>
bool WriteAll(const Char *data, size_t size, WriteFn write)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = DWORD(std::min<size_t>(size, 1u << 20));
        if (!write(data, piece, &written) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

void Write(Stream stream, std::string_view text)
{
    const HANDLE handle = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console shows UTF-16 whatever its code page; UTF-8 bytes it would
        // show in that code page.
        const std::wstring wide = WideText::FromUtf8(text);
        WriteAll(wide.data(), wide.size(), [&](const wchar_t *data, DWORD size, DWORD *written) {
            return WriteConsoleW(handle, data, size, written, nullptr) != 0;
        });
        return;
    }
    WriteAll(text.data(), text.size(), [&](const char *data, DWORD size, DWORD *written) {
        return WriteFile(handle, data, size, written, nullptr) != 0;
    });
}

} // namespace Console
