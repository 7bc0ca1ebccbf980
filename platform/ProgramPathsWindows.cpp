#include "platform/ProgramPaths.h"

#include "platform/detail/WideTextWindows.h"

#include <windows.h>

namespace ProgramPaths {

std::string ProgramDirectory()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        // A name that fills the buffer may have been cut.
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::string() : WideText::ToUtf8(path.substr(0, separator + 1));
}

std::filesystem::path SystemPath(const std::string &name) { return WideText::FromUtf8(name); }

bool FileExists(const std::string &name)
{
    const DWORD attributes = GetFileAttributesW(WideText::FromUtf8(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EntryExists(const std::string &name)
{
    // GetFileAttributesW answers for a symbolic link itself, not where it leads.
    if (GetFileAttributesW(WideText::FromUtf8(name).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool IsAbsolute(const std::string &name)
{
    // "\\server\share\..." and "\..." (the root of the current drive) begin
    // with a separator, "C:\..." and even "C:..." (that drive's current
    // directory) with their drive: none of them is anywhere below another directory.
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return (!name.empty() && separator(name[0])) || (name.size() >= 2 && letter(name[0]) && name[1] == ':');
}

} // namespace ProgramPaths
