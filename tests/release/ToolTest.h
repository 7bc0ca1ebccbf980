#pragma once
// The tool's tests: files in a temporary directory, and the tool run on them.
#include "harness/FtpFiles.h"
#include "tests/release/ToolRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ToolTest : public ::testing::Test {
protected:
    // Writes Bytes to Name in the test's directory; its full name.
    std::string Put(const std::string &name, const std::string &bytes)
    {
        temp.Write(name, bytes);
        return temp / name;
    }

    // Each run has files of its own: wine may close the last run's handles
    // on its files a moment after that run has ended. Input is what the
    // standard input holds, never a terminal.
    ToolRun Run(const std::vector<std::string> &arguments, const std::string &input = "")
    {
        const std::string run = std::to_string(++runs);
        return RunTool(arguments, Put("input-" + run + ".txt", input), temp / ("output-" + run + ".txt"));
    }

    static bool Shows(const ToolRun &run, const std::string &fact)
    {
        return run.Output.find(fact) != std::string::npos;
    }

    harness::TempDir temp;
    int runs = 0;
};
