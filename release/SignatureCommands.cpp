#include "release/SignatureCommands.h"

#include <filesystem>

std::string BareName(const std::string &path)
{
    const std::u8string name = std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    return std::string(name.begin(), name.end());
}
