#pragma once
// A console program's ends: its start, with the arguments in UTF-8; its
// output in UTF-8, which a console shows as text and a redirection gets as
// bytes; and a secret line of its input.
#include "platform/Secret.h"

#include <cstddef>
#include <optional>
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

// Whether the standard input is a terminal (on Windows, a console).
bool InputIsTerminal();

// A secret line of the standard input (a passphrase), in UTF-8, without its
// line end: its LF and one CR before it.
// - On a terminal, Prompt is shown on the terminal or the error output, never
//   on the standard output, and what is typed is not echoed. A Windows
//   console is read in UTF-16 (ReadConsoleW), never in its code page; a lone
//   surrogate comes out as bytes that are no valid UTF-8.
// - Otherwise the first line is taken; a last line without LF as it is.
// Text holds at most Most bytes; Longer tells that the line held more. None
// when the input cannot be read; an input that ends at once is an empty line.
struct SecretLine {
    Secret::Text text;
    bool longer = false;
};
std::optional<SecretLine> ReadSecretLine(std::string_view prompt, std::size_t most);

} // namespace Console
