// A Windows program's arguments in the code page of the system would lose
// every character outside it; wmain has them as typed.
#include "platform/console/Console.h"
#include "platform/detail/WideTextWindows.h"

#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    // The system libraries a tool delay-loads (bcrypt) come from System32
    // only, never from the folder the tool was copied into.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        Console::Write(Console::Stream::Error, "Cannot limit the library search to the system directory.\n");
        return 2;
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(WideText::ToUtf8(argv[i]));
    return ConsoleMain(arguments);
}
