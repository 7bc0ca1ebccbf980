#pragma once
// A console program's two ends: its start, with the arguments in UTF-8, and
// its output in UTF-8, which a console shows as text and a redirection gets as
// bytes.
#include <string>
#include <string_view>
#include <vector>

// The program's own entry, which the system's entry calls with the arguments
// after the program's name; its result is the exit status.
int ConsoleMain(const std::vector<std::string> &arguments);

namespace Console {

enum class Stream { Out, Error };

// Writes UTF-8 Text whole to Stream; a failed write is dropped, as a console
// program's output on a closed stream is.
void Write(Stream stream, std::string_view text);

} // namespace Console
