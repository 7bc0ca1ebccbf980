#include "tests/release/ToolRun.h"

#include "platform/detail/WideTextWindows.h"

#include <windows.h>


namespace {

constexpr DWORD RunLimitMs = 30000;

// A command line of quoted words: none of the tests' arguments holds a quote
// or ends in a backslash, which would need the escapes of the C run-time.
std::wstring CommandLine(const std::vector<std::string> &arguments)
{
    std::wstring line = L"vm_release.exe";
    for (const std::string &argument : arguments)
        line += L" \"" + WideText::FromUtf8(argument) + L"\"";
    return line;
}

// The exit code of Process, ended when it outlives the limit.
int Finished(HANDLE process)
{
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process, RunLimitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, code);
    return int(code);
}

} // namespace

int RunToolProcess(const std::vector<std::string> &arguments, const std::string &input, const std::string &capture)
{
    // The tool's standard output and error, a file, as a redirection gives them.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE output = CreateFileW(WideText::FromUtf8(capture).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return -1;
    const HANDLE source = CreateFileW(WideText::FromUtf8(input).c_str(), GENERIC_READ, FILE_SHARE_READ, &inherited,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        CloseHandle(output);
        return -1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = source;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring line = CommandLine(arguments);
    const BOOL started = CreateProcessW(WideText::FromUtf8(VM_RELEASE_PROGRAM).c_str(), line.data(), nullptr, nullptr,
                                        TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(output);
    CloseHandle(source);
    if (!started)
        return -1;
    CloseHandle(process.hThread);
    const int status = Finished(process.hProcess);
    CloseHandle(process.hProcess);
    return status;
}
