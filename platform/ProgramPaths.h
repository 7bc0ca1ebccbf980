#pragma once
// Where the program lives, and the file-existence test its start-up uses.
#include <string>

namespace ProgramPaths {

// The directory of the running executable, ending in Separator; empty when the
// process cannot tell where its executable is.
std::string ProgramDirectory();

// Whether Name is an existing file; a directory of that name does not count.
bool FileExists(const std::string &name);

// Whether Name is a full name, before which no directory may be put (the
// program directory goes before the others).
bool IsAbsolute(const std::string &name);

// The directory separator that joins a directory and a file name here.
#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

} // namespace ProgramPaths
