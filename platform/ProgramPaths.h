#pragma once
// Where the program lives, the file-existence test its start-up uses, and a
// file name in the form the system takes.
#include <filesystem>
#include <string>

namespace ProgramPaths {

// The directory of the running executable, ending in Separator; empty when the
// process cannot tell where its executable is.
std::string ProgramDirectory();

// Name, UTF-8 as every file name inside the program, in the form the standard
// library's files take.
std::filesystem::path SystemPath(const std::string &name);

// Whether Name is an existing file; a directory of that name does not count.
bool FileExists(const std::string &name);

// Whether anything at all bears Name: a file, a directory, a link that leads
// nowhere, an entry that cannot be read. Only an answer that nothing is there
// is false.
bool EntryExists(const std::string &name);

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
