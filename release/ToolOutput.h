#pragma once
// What the tool says, in UTF-8: its report on the standard output, what went
// wrong on the error output, and the exit status that sums it up.
#include "platform/CodePage.h"
#include "platform/DateConvert.h"
#include "platform/console/Console.h"

#include <string>

namespace ToolOutput {

// Read cleanly; read, with warnings; the window could not use it (or the
// command was wrong). The worst of a run's outcomes is its status.
enum Status { Clean = 0, Warned = 1, Unusable = 2 };

// Dates as the report gives them: 2030-01-02.
inline const DateConvert::FormatSettings IsoFormat{"yyyy/mm/dd", '-'};

// A text of the files (code page 1250) in quotes, which show its blanks.
inline std::string Quoted(const std::string &cp1250) { return "\"" + CodePage::ToUtf8(cp1250) + "\""; }

inline void Say(const std::string &line) { Console::Write(Console::Stream::Out, line + "\n"); }

// One line saying what is wrong; the status to exit with.
inline Status Refuse(const std::string &what)
{
    Console::Write(Console::Stream::Error, "vm_release: " + what + "\n");
    return Unusable;
}

} // namespace ToolOutput
