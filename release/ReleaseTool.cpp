// vm_release COMMAND ...: the commands of the maker's tool.
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "release/Commands.h"
#include "release/ToolOutput.h"

#include <algorithm>

namespace {

bool AsksHelp(const std::string &argument) { return argument == "--help" || argument == "-h"; }

// A wrong call's line, then the help, both on the error output.
ToolOutput::Status RefuseWithHelp(const std::string &what)
{
    ToolOutput::Refuse(what);
    Console::Write(Console::Stream::Error, HelpText());
    return ToolOutput::Unusable;
}

} // namespace

int ConsoleMain(const std::vector<std::string> &arguments)
{
    try {
        if (arguments.empty())
            return RefuseWithHelp("no command");
        const std::string &name = arguments.front();
        const std::span<const ToolCommand> commands = ToolCommands();
        const auto command = std::find_if(commands.begin(), commands.end(),
                                          [&name](const ToolCommand &each) { return each.Name == name; });
        if (AsksHelp(name) || (command != commands.end() && std::any_of(arguments.begin() + 1, arguments.end(), AsksHelp))) {
            Console::Write(Console::Stream::Out, HelpText());
            return ToolOutput::Clean;
        }
        if (command == commands.end())
            return RefuseWithHelp("unknown command \"" + name + "\"");
        return command->Run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    } catch (const std::exception &error) {
        // Whatever fails unforeseen ends with its line, never with a crash.
        return ToolOutput::Refuse(CodePage::ToUtf8(MessageOf(error)));
    }
}
