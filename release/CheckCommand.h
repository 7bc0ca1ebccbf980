#pragma once
// `check [--today YYYY-MM-DD] RELEASE [INSTALLED]`: the release file, and the
// installed product's settings file, read as the window reads them, with the
// date as compared, the window's line, the verdict and warnings.
#include "release/ToolOutput.h"

#include <string>
#include <vector>

// Arguments are those after the command's name.
ToolOutput::Status CheckCommand(const std::vector<std::string> &arguments);
