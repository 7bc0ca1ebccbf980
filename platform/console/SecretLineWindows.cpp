// The passphrase typed on a console without echo, or the first line of
// whatever else the standard input is.
#include "platform/console/Console.h"
#include "platform/console/detail/SecretLineBytes.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace Console {
namespace {

using LineBytes = detail::SecretLineBytes;

// UTF-16 as it is typed into UTF-8. A lone surrogate takes the three bytes
// its value would (ED A0..BF ..), which no UTF-8 reader takes, so that it
// is refused rather than replaced by another character.
class Utf16Line {
public:
    explicit Utf16Line(LineBytes &line) : line_(line) {}
    ~Utf16Line() { Secret::Wipe(&high_, sizeof high_); }
    // False once the line has ended.
    bool Add(wchar_t unit)
    {
        if (high_ && unit >= 0xDC00 && unit <= 0xDFFF) {
            const char32_t point = 0x10000 + ((char32_t(high_) - 0xD800) << 10) + (char32_t(unit) - 0xDC00);
            high_ = 0;
            return Put(point);
        }
        if (!Flush())
            return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
            return true;
        }
        return Put(unit);
    }
    // Puts a high surrogate still waiting for its pair; false once the line has ended.
    bool Flush()
    {
        const char32_t waiting = high_;
        high_ = 0;
        return !waiting || Put(waiting);
    }

private:
    bool Put(char32_t point)
    {
        if (point < 0x80)
            return line_.Add(char(point));
        char bytes[4];
        int count = 0;
        if (point < 0x800) {
            bytes[count++] = char(0xC0 | (point >> 6));
        } else if (point < 0x10000) {
            bytes[count++] = char(0xE0 | (point >> 12));
            bytes[count++] = char(0x80 | ((point >> 6) & 0x3F));
        } else {
            bytes[count++] = char(0xF0 | (point >> 18));
            bytes[count++] = char(0x80 | ((point >> 12) & 0x3F));
            bytes[count++] = char(0x80 | ((point >> 6) & 0x3F));
        }
        bytes[count++] = char(0x80 | (point & 0x3F));
        for (int i = 0; i < count; ++i)
            line_.Add(bytes[i]);
        Secret::Wipe(bytes, sizeof bytes);
        return true;
    }

    LineBytes &line_;
    wchar_t high_ = 0;
};

// The console's input mode while a secret is typed, for the handler of
// Ctrl+C and of the console's closing, which runs on a thread of its own
// and ends the process: the shell gets its echo back even then.
HANDLE consoleInput = nullptr;
DWORD consoleMode = 0;

BOOL WINAPI RestoreConsoleMode(DWORD)
{
    SetConsoleMode(consoleInput, consoleMode);
    return FALSE; // the next handler, the system's, ends the process
}

// Echo off, line input on, for the object's life; the mode it found comes
// back whatever ends the read.
class EchoOff {
public:
    EchoOff(HANDLE input, DWORD mode)
    {
        consoleInput = input;
        consoleMode = mode;
        handled_ = SetConsoleCtrlHandler(RestoreConsoleMode, TRUE);
        // Processed input: Ctrl+C stays a signal, not a character of the line.
        off_ = handled_ &&
               SetConsoleMode(input, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~DWORD(ENABLE_ECHO_INPUT));
    }
    ~EchoOff()
    {
        SetConsoleMode(consoleInput, consoleMode);
        if (handled_)
            SetConsoleCtrlHandler(RestoreConsoleMode, FALSE);
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;
    bool Off() const { return off_; }

private:
    bool handled_ = false;
    bool off_ = false;
};

// Written by ReadConsoleW's documentation: in line mode a read ends with the
// line's CR LF, or gives what fits and leaves the rest for the next read; the
// whole line is read, so that nothing typed is left for the shell. Wine's
// console on a pseudo-terminal reads it so, without echo; there Ctrl+C ends
// the process with status 0. A Windows console, and the mode put back by the
// handler, are not confirmed.
std::optional<SecretLine> ReadConsoleLine(HANDLE input, DWORD mode, std::string_view prompt, std::size_t most)
{
    const EchoOff echo(input, mode);
    if (!echo.Off())
        return std::nullopt;
    Write(Stream::Error, prompt);
    LineBytes line(most);
    Utf16Line utf16(line);
    std::vector<wchar_t, Secret::WipingAllocator<wchar_t>> units(256);
    bool open = true, failed = false;
    while (open) {
        DWORD read = 0;
        if (!ReadConsoleW(input, units.data(), DWORD(units.size()), &read, nullptr)) {
            failed = true;
            break;
        }
        if (read == 0)
            break;
        for (DWORD i = 0; open && i < read; ++i)
            open = utf16.Add(units[i]);
    }
    utf16.Flush();
    // What was typed was not echoed, nor was its Enter.
    Write(Stream::Error, "\n");
    if (failed)
        return std::nullopt;
    return line.Finish();
}

// A file or a pipe, read a byte at a time so that nothing past the line is
// taken; a writer that has closed its end of a pipe is the input's end.
std::optional<SecretLine> ReadOtherLine(HANDLE input, std::size_t most)
{
    LineBytes line(most);
    char byte = 0;
    bool open = true, failed = false;
    while (open && !line.Full()) {
        DWORD read = 0;
        if (!ReadFile(input, &byte, 1, &read, nullptr)) {
            failed = GetLastError() != ERROR_BROKEN_PIPE;
            break;
        }
        if (read == 0)
            break;
        open = line.Add(byte);
    }
    Secret::Wipe(&byte, sizeof byte);
    if (failed)
        return std::nullopt;
    return line.Finish();
}

} // namespace

bool InputIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::optional<SecretLine> ReadSecretLine(std::string_view prompt, std::size_t most)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD mode = 0;
    if (GetConsoleMode(input, &mode))
        return ReadConsoleLine(input, mode, prompt, most);
    return ReadOtherLine(input, most);
}

} // namespace Console
