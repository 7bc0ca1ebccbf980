// A Windows program's arguments in the code page of the system would lose
// every character outside it; wmain has them as typed.
#include "platform/console/Console.h"
#include "platform/detail/WideTextWindows.h"

int wmain(int argc, wchar_t **argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(WideText::ToUtf8(argv[i]));
    return ConsoleMain(arguments);
}
