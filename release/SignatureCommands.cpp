#include "release/SignatureCommands.h"

#include "platform/Signature.h"

#include <filesystem>

std::string BareName(const std::string &path)
{
    const std::u8string name = std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    return std::string(name.begin(), name.end());
}

std::optional<std::string> KeyFileBytes(const std::string &keyFile)
{
    std::optional<std::string> bytes = Signature::ReadKeyFile(keyFile);
    if (!bytes)
        ToolOutput::Refuse(keyFile + ": missing or unreadable");
    return bytes;
}
