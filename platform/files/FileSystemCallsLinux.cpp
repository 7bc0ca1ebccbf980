#include "platform/files/detail/FileSystemCallsLinux.h"

#include <cstdio>
#include <unistd.h>

namespace FileSystem {
namespace {

// open takes a mode after its flags only when it creates a file, which
// nothing here does.
int OpenExisting(const char *path, int flags) { return ::open(path, flags); }

constexpr SystemCalls System{::rename, OpenExisting, ::fsync, ::close, ::splice, ::sync_file_range};

SystemCalls current = System;

} // namespace

SystemCalls &Calls() { return current; }

void RestoreSystemCalls() { current = System; }

} // namespace FileSystem
