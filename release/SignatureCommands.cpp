#include "release/SignatureCommands.h"

#include "platform/Signature.h"
#include "release/Commands.h"

#include <filesystem>
#include <utility>

std::string BareName(const std::string &path)
{
    const std::u8string name = std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    return std::string(name.begin(), name.end());
}

std::optional<FileAndKey> ReadFileAndKey(const std::vector<std::string> &arguments, std::string_view command)
{
    if (arguments.size() != 2) {
        ToolOutput::Refuse(Usage(command));
        return std::nullopt;
    }
    std::optional<std::string> bytes = Signature::ReadKeyFile(arguments[1]);
    if (!bytes) {
        ToolOutput::Refuse(arguments[1] + ": missing or unreadable");
        return std::nullopt;
    }
    return FileAndKey{arguments[0], arguments[1], std::move(*bytes)};
}
