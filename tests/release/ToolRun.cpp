#include "tests/release/ToolRun.h"

#include <filesystem>
#include <fstream>
#include <sstream>

ToolRun RunTool(const std::vector<std::string> &arguments, const std::string &input, const std::string &capture)
{
    ToolRun run;
    run.Status = RunToolProcess(arguments, input, capture);
    std::ifstream in(std::filesystem::path(std::u8string(capture.begin(), capture.end())), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    run.Output = bytes.str();
    return run;
}
