#pragma once
// vm_release run as the maker runs it: a process of its own, its input read
// from a file and its output redirected to one.
#include <string>
#include <vector>

struct ToolRun {
    // The exit status; -1 when it could not start, crashed or ran too long.
    int Status = -1;
    // Both output streams, as the bytes they wrote.
    std::string Output;
};

// Runs the tool with Arguments (UTF-8), its standard input the file Input and
// its output going to the file Capture (UTF-8 names).
ToolRun RunTool(const std::vector<std::string> &arguments, const std::string &input, const std::string &capture);

// Each system's part of it: the run, and its exit status.
int RunToolProcess(const std::vector<std::string> &arguments, const std::string &input, const std::string &capture);
