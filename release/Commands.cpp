#include "release/Commands.h"

#include "release/CheckCommand.h"
#include "release/SignatureCommands.h"

#include <array>

namespace {

const std::array<ToolCommand, 4> Commands = {{
    {"check", "[--today YYYY-MM-DD] RELEASE [INSTALLED]",
     "reads a release file (and an installed product's settings file) as the window does: its dates, "
     "the verdict, warnings; --today stands in for today",
     CheckCommand},
    {"keys", "[--no-passphrase] NAME",
     "makes a key pair: NAME.key, the private key, encrypted with a passphrase asked for (unless "
     "--no-passphrase), and NAME.pem, the public key",
     KeysCommand},
    {"sign", "FILE KEY",
     "writes FILE.sig, the signature of FILE's name (without its folders) and bytes with the private key KEY "
     "(asks its passphrase when it is encrypted)",
     SignCommand},
    {"verify", "FILE PUBLIC_KEY",
     "checks FILE.sig with the public key, as the window does, and warns when no window fetches a file of "
     "FILE's name",
     VerifyCommand},
}};

} // namespace

std::span<const ToolCommand> ToolCommands() { return Commands; }

std::string Usage(std::string_view name)
{
    for (const ToolCommand &command : Commands)
        if (command.Name == name)
            return "usage: vm_release " + std::string(command.Name) + " " + std::string(command.Arguments);
    return "usage: vm_release COMMAND ...";
}

std::string HelpText()
{
    std::string text = "usage: vm_release COMMAND ARGUMENTS\n\n";
    for (const ToolCommand &command : Commands)
        text += "  " + std::string(command.Name) + " " + std::string(command.Arguments) + "\n      " +
                std::string(command.Does) + "\n";
    return text + "  --help, -h (alone or after a command)\n      prints this help\n\n"
                  "A passphrase is read from the terminal without echo, or as the first line of the standard input.\n"
                  "Exit status: 0 all is well; 1 warnings, or a signature that does not verify; "
                  "2 refused: a wrong call, a file or key missing or unusable.\n";
}
