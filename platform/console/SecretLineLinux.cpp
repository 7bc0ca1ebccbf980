// The passphrase read from a terminal without echo, or as the first line of
// whatever else the standard input is.
#include "platform/console/Console.h"
#include "platform/console/detail/SecretLineBytes.h"

#include <cerrno>
#include <csignal>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace Console {

namespace {

// The terminal's settings while echo is off, put back by a signal that ends
// the program: a shell left without echo would hide all that is typed next.
termios savedTerminal;
constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction savedActions[std::size(EndingSignals)];

void RestoreAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
        if (EndingSignals[i] == signal)
            sigaction(signal, &savedActions[i], nullptr);
    raise(signal);
}

// Echo off from construction to destruction.
class EchoOff {
public:
    EchoOff()
    {
        if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
            return;
        struct sigaction restore {};
        restore.sa_handler = RestoreAndEnd;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
            sigaction(EndingSignals[i], &restore, &savedActions[i]);
        termios quiet = savedTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ICANON;
        active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (!active_)
            return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
            sigaction(EndingSignals[i], &savedActions[i], nullptr);
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    bool active_ = false;
};

// The line up to its LF, byte by byte, so that nothing after it is taken
// from the input, nor left of it for the shell on a terminal.
std::optional<SecretLine> ReadLine(std::size_t most)
{
    detail::SecretLineBytes line(most);
    char byte = 0;
    for (bool open = true; open;) {
        const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        open = n == 1 && line.Add(byte);
    }
    return line.Finish();
}

} // namespace

bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::optional<SecretLine> ReadSecretLine(std::string_view prompt, std::size_t most)
{
    if (!InputIsTerminal())
        return ReadLine(most);
    Write(Stream::Error, prompt);
    std::optional<SecretLine> line;
    {
        const EchoOff quiet;
        line = ReadLine(most);
    }
    // The LF typed was not echoed.
    Write(Stream::Error, "\n");
    return line;
}

} // namespace Console
