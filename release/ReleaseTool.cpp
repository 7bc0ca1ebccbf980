// vm_release COMMAND ...: the commands of the maker's tool.
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "release/CheckCommand.h"
#include "release/SignatureCommands.h"
#include "release/ToolOutput.h"

int ConsoleMain(const std::vector<std::string> &arguments)
{
    try {
        if (arguments.empty())
            return ToolOutput::Refuse("no command; the commands: check, keys, sign, verify");
        const std::string &command = arguments.front();
        const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (command == "check")
            return CheckCommand(rest);
        if (command == "keys")
            return KeysCommand(rest);
        if (command == "sign")
            return SignCommand(rest);
        if (command == "verify")
            return VerifyCommand(rest);
        return ToolOutput::Refuse("unknown command \"" + command + "\"; the commands: check, keys, sign, verify");
    } catch (const std::exception &error) {
        // Whatever fails unforeseen ends with its line, never with a crash.
        return ToolOutput::Refuse(CodePage::ToUtf8(MessageOf(error)));
    }
}
