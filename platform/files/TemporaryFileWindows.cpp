#include "platform/files/detail/TemporaryFile.h"

#include "platform/detail/NewFileWindows.h"
#include "platform/detail/SystemTextWindows.h"
#include "platform/detail/WideTextWindows.h"
#include "platform/files/detail/TemporaryName.h"

#include <windows.h>


namespace FileSystem {
namespace {

const std::wstring kWideMark(kTemporaryMark.begin(), kTemporaryMark.end());

// A download that was killed leaves its temporary file beside the target,
// closed; the next download of the same target removes it. The file of a
// download still running is open without leave to delete it, and stays.
void RemoveLeftovers(const std::wstring &target)
{
    const std::wstring directory = target.substr(0, target.find_last_of(L"\\/") + 1);
    const std::string prefix = WideText::ToUtf8(target.substr(directory.size())) + std::string(kTemporaryMark);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((target + kWideMark + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(WideText::ToUtf8(found.cFileName), prefix))
            DeleteFileW((directory + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

std::string ErrorText(SystemError error) { return SystemText::OfError(error); }

// A link at the target is always replaced: the move (Replace) renames the
// new file onto the link's own name.
TemporaryFile::TemporaryFile(const std::string &fileName, bool /*replaceLink*/)
    : fileName_(fileName), targetName_(WideText::FromUtf8(fileName))
{
    const DWORD attributes = GetFileAttributesW(targetName_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        FailNotRegular(fileName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        FailCreate(fileName, ERROR_ACCESS_DENIED);
    RemoveLeftovers(targetName_);
    file_ = NewFile::Create(targetName_ + kWideMark, FILE_SHARE_READ, temporaryName_);
    if (file_ == INVALID_HANDLE_VALUE)
        FailCreate(fileName, GetLastError());
}

TemporaryFile::~TemporaryFile()
{
    Release();
    if (!committed_)
        DeleteFileW(temporaryName_.c_str());
}

void TemporaryFile::Release()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

void TemporaryFile::WriteOut(const char *data, std::size_t count)
{
    if (!NewFile::WriteAll(file_, data, count) && !Failed())
        error_ = GetLastError();
}

void TemporaryFile::EndWrites()
{
    closed_ = true;
    // The handle stays open, so that no other download takes the file for a
    // leftover.
    if (!Failed() && !FlushFileBuffers(file_))
        error_ = GetLastError();
}

bool TemporaryFile::Replace()
{
    // The file cannot be moved while a handle without leave to delete it is
    // open; another download could only take it in the moment between.
    Release();
    if (NewFile::Replace(temporaryName_, targetName_))
        return true;
    error_ = GetLastError();
    return false;
}

// The move wrote its new name through to the disk: nothing is left to sync.
std::string TemporaryFile::Settle() { return {}; }

long TemporaryFile::ReadAt(char *data, std::size_t count, int64_t offset, SystemError &error) const
{
    // The handle stays open until the move; each read names its offset, as
    // ReadFile allows on a handle opened without FILE_FLAG_OVERLAPPED.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD n = 0;
    if (ReadFile(file_, data, static_cast<DWORD>(count), &n, &at))
        return static_cast<long>(n);
    error = GetLastError();
    return error == ERROR_HANDLE_EOF ? 0 : -1;
}

} // namespace FileSystem
