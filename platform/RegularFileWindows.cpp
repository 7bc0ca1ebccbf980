#include "platform/RegularFile.h"
#include "platform/detail/RegularFile.h"

#include "platform/detail/NewFileWindows.h"
#include "platform/detail/WideTextWindows.h"

#include <windows.h>

#include <algorithm>

namespace RegularFile::detail {
namespace {

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

OpenFile::OpenFile(const std::string &fileName)
{
    // Others may go on reading, writing and replacing it while it is read.
    HANDLE file = CreateFileW(WideText::FromUtf8(fileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    missing_ = file == INVALID_HANDLE_VALUE && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    // A directory does not open this way; a device or a pipe does.
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

OpenFile::~OpenFile()
{
    if (IsOpen())
        CloseHandle(HandleOf(handle_));
}

std::size_t OpenFile::Read(char *buffer, std::size_t size)
{
    DWORD n = 0;
    if (!ReadFile(HandleOf(handle_), buffer, static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD)), &n, nullptr)) {
        failed_ = true;
        return 0;
    }
    return n;
}

}  // namespace RegularFile::detail

namespace RegularFile {
namespace {

// The temporary file of a replacement: the file's name, this mark, six random characters.
constexpr wchar_t kSaveMark[] = L".vm_ver32-";

}  // namespace

bool Replace(const std::string &fileName, std::string_view contents)
{
    // A new file beside the old one, on the disk before it replaces the old
    // one: a failed write never leaves half a file.
    const std::wstring target = WideText::FromUtf8(fileName);
    std::wstring temporary;
    const HANDLE file = NewFile::Create(target + kSaveMark, 0, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = NewFile::WriteAll(file, contents.data(), contents.size());
    if (NewFile::FlushAndClose(file) && written && NewFile::Replace(temporary, target))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace RegularFile
