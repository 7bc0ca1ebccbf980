#pragma once
// A new file beside another under a name nobody can guess, written and put in
// place of the other in one step: what both the profile save and a download's
// temporary file do on Windows.
#include <windows.h>

#include <cstddef>
#include <string>

namespace NewFile {

// Creates Prefix followed by six random letters and digits, a name that did
// not exist, for reading and writing, shared with others only as Share allows; sets Name
// to it. INVALID_HANDLE_VALUE with GetLastError when no such file can be made.
HANDLE Create(const std::wstring &prefix, DWORD share, std::wstring &name);

// Writes all Count bytes; false with GetLastError when the file takes fewer.
bool WriteAll(HANDLE file, const char *data, std::size_t count);

// Flushes the file's bytes to the disk and closes it; false with
// GetLastError when either fails (the handle is closed all the same).
bool FlushAndClose(HANDLE file);

// Puts From in place of To, which may exist, and returns once the new name is
// on the disk; a failure leaves To as it was. False with GetLastError.
bool Replace(const std::wstring &from, const std::wstring &to);

} // namespace NewFile
