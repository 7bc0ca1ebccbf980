#include "platform/signing/Signing.h"

#include "platform/detail/NewFileWindows.h"
#include "platform/detail/WideTextWindows.h"

namespace Signing {

// The private key takes the folder's inherited permissions: a per-user
// folder is the maker's own.
Creation WriteNewFile(const std::string &path, std::string_view contents, Readers)
{
    const std::wstring name = WideText::FromUtf8(path);
    // CREATE_NEW: never over an existing file.
    const HANDLE file =
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS ? Creation::Exists
                                                                                            : Creation::Failed;
    const bool written = NewFile::WriteAll(file, contents.data(), contents.size());
    if (NewFile::FlushAndClose(file) && written)
        return Creation::Written;
    DeleteFileW(name.c_str());
    return Creation::Failed;
}

} // namespace Signing
