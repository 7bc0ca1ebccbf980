#include "ftp/FtpRules.h"

#include "sock/TcpSocket.h"

#include <charconv>

bool IsContinuationLine(const std::string &Line)
{
    return (!Line.empty() && Line[0] == ' ') || (Line.size() >= 4 && Line[3] == '-');
}

bool IsServerAbort(std::string_view Buffered)
{
    return Buffered.size() >= 4 && (Buffered.compare(0, 3, "421") == 0 || Buffered.compare(0, 3, "426") == 0);
}

int32_t ParseByteCount(const std::string &Line)
{
    std::string upper = Line;
    for (char &c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const auto word = upper.find("BYTE");
    if (word == std::string::npos)
        return 0;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t end = word;
    while (end > 0 && !isDigit(Line[end - 1]))
        --end;
    if (end == 0)
        return 0;
    std::size_t begin = end - 1;
    while (begin > 0 && isDigit(Line[begin - 1]))
        --begin;
    int32_t count = 0;
    const auto [rest, error] = std::from_chars(Line.data() + begin, Line.data() + end, count);
    return error == std::errc() ? count : 0;
}

TCmdType CommandKind(const std::string &CommandText)
{
    const std::string word = TTcpSocket::NthWord(CommandText, ' ', 1) + " ";
    if (word == "CWD ")
        return cmdChangeDir;
    if (word == "DELE ")
        return cmdDelete;
    if (word == "MKD ")
        return cmdMakeDir;
    if (word == "RMD ")
        return cmdRemoveDir;
    if (CommandText == "PWD")
        return cmdCurrentDir;
    return cmdDoCommand;
}

void RequireSingleLine(const std::string &Text)
{
    if (Text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw ECommandRefused("Command refused: it contains a line break or a zero byte");
}
