#pragma once
// The tool's commands in one table: what runs each, its arguments and one
// line on what it does. The help and each command's usage line are written
// from it.
#include "release/ToolOutput.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ToolCommand {
    std::string_view Name;
    std::string_view Arguments; // as a usage line gives them
    std::string_view Does;      // one line
    // Given the arguments after the command's name.
    ToolOutput::Status (*Run)(const std::vector<std::string> &arguments);
};

// The commands, in the order the help lists them.
std::span<const ToolCommand> ToolCommands();

// The usage line of the command Name: "usage: vm_release NAME ARGUMENTS".
std::string Usage(std::string_view name);

// Every command with its arguments and what it does, the help itself, how a
// passphrase is read and what the exit status says; lines ending in LF.
std::string HelpText();
