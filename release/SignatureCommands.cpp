#include "release/SignatureCommands.h"

#include "platform/RegularFile.h"
#include "platform/Signature.h"
#include "release/Commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// Path as a line shows it: in quotes, a control character as \xHH.
std::string Shown(const std::string &path)
{
    std::string shown = "\"";
    for (const char c : path) {
        if (!IsControl(c)) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        shown += escaped;
    }
    return shown + "\"";
}

// Why Name, a bare name, is none a signature may cover; empty when it is one.
// A line feed in it would make the signed message of one name and bytes
// that of another; a backslash, which Linux allows, ends a folder's name on
// Windows.
std::string Unsignable(const std::string &name)
{
    if (name.empty() || name == "." || name == "..")
        return "names a folder, not a file";
    if (std::any_of(name.begin(), name.end(), IsControl))
        return "the name holds a control character, which no signed name may hold";
    if (name.find('\\') != std::string::npos)
        return "the name holds a backslash, which no signed name may hold (Windows takes it for a folder's end)";
    return {};
}

} // namespace

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
    if (const std::string why = Unsignable(BareName(arguments[0])); !why.empty()) {
        ToolOutput::Refuse(Shown(arguments[0]) + ": " + why);
        return std::nullopt;
    }
    std::optional<Secret::Text> bytes = RegularFile::ReadSecret(arguments[1], Signature::MaxKeyFileBytes);
    if (!bytes) {
        ToolOutput::Refuse(arguments[1] + ": missing or unreadable");
        return std::nullopt;
    }
    return FileAndKey{arguments[0], arguments[1], std::move(*bytes)};
}
