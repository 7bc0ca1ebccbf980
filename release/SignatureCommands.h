#pragma once
// The maker's keys and signatures: `keys NAME`, `sign FILE KEY` and
// `verify FILE PUBLIC_KEY`. A file's signature is FILE.sig, over its bare
// name, one LF and its bytes, checked as the checker checks it.
#include "platform/Secret.h"
#include "release/ToolOutput.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Arguments are those after the command's name.
ToolOutput::Status KeysCommand(const std::vector<std::string> &arguments);
ToolOutput::Status SignCommand(const std::vector<std::string> &arguments);
ToolOutput::Status VerifyCommand(const std::vector<std::string> &arguments);

// The name that a file's signature covers: its name after the last folder
// (after the last "/", and on Windows after the last backslash too).
std::string BareName(const std::string &path);

// The one step sign and verify begin with: their arguments FILE KEY, FILE's
// name checked, and the bytes of the key file.
struct FileAndKey {
    std::string file;
    std::string keyFile;
    Secret::Text keyBytes; // a private key's, wiped when freed

};
// None, after the refusal line, when the arguments are not two (the usage
// line of Command is said then); when FILE's bare name is none a signature
// may cover: empty, "." or "..", or holding a control character or a
// backslash; or when the key file is missing, unreadable or too large to be
// one.
std::optional<FileAndKey> ReadFileAndKey(const std::vector<std::string> &arguments, std::string_view command);
