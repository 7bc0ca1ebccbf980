// The reply reader on a real connection: a peer on loopback answers one
// command with the input and closes. The client must split the bytes into
// lines exactly (nothing lost, nothing added, no cut at a zero byte), take
// the reply number and the further lines of a multi-line reply by the rules,
// and read the announced size from every line as a plain reference does.
#include "ftp/FtpClient.h"
#include "sock/SockConst.h"
#include "ftp/FtpRules.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

class Client : public TFtpClient {
public:
    using TFtpClient::ReadContinuationLines;
    using TTcpSocket::Canceled;
    using TTcpSocket::OnDataArrived;
    using TTcpSocket::ReplyNumber;
};

int listener = -1;
uint16_t listenPort = 0;

void Listen()
{
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        listen(listener, 4) != 0 || getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        Fail("no listening socket");
    listenPort = ntohs(address.sin_port);
}

// Reads the command line, answers with Reply and closes.
void Serve(const std::string &reply)
{
    const int peer = accept(listener, nullptr, nullptr);
    if (peer < 0)
        return;
    timeval limit{5, 0};
    setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(peer, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    std::string command;
    char byte;
    while (command.find('\n') == std::string::npos && recv(peer, &byte, 1, 0) == 1)
        command += byte;
    for (std::size_t sent = 0; sent < reply.size();) {
        const ssize_t n = send(peer, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    close(peer);
}

// The lines of Bytes as the socket must deliver them: each up to and
// including its line feed; the bytes after the last one are no line, and
// neither is anything from a line too long to take.
std::vector<std::string> Lines(std::string_view bytes)
{
    std::vector<std::string> lines;
    for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos && end < SockConst::MaxLineLength;
         bytes.remove_prefix(end + 1))
        lines.emplace_back(bytes.substr(0, end + 1));
    return lines;
}

// The leading number of a reply: at most ten digits, none beyond 32 bits
// counts as 0; empty when it is too large for 16 bits.
std::optional<int> ReplyNumberOf(const std::string &line)
{
    long long value = 0;
    std::size_t i = 0;
    for (; i < line.size() && i < 10 && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10 + (line[i] - '0');
    if (value > 2147483647LL)
        return 0;
    if (value > 32767)
        return std::nullopt;
    return static_cast<int>(value);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// How many lines after the first belong to the reply it begins: after
// "ddd-", every line up to one that begins with the same digits and no "-";
// all the rest when none does.
std::size_t FurtherLines(const std::vector<std::string> &lines)
{
    const std::string &first = lines.front();
    if (first.size() < 4 || !IsDigit(first[0]) || !IsDigit(first[1]) || !IsDigit(first[2]) || first[3] != '-')
        return 0;
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i].compare(0, 3, first, 0, 3) == 0 && lines[i].size() >= 3 && (lines[i].size() == 3 || lines[i][3] != '-'))
            return i;
    return lines.size() - 1;
}

// The reply's lines and bytes are within what one reply may have.
bool WithinReplyLimits(const std::vector<std::string> &lines, std::size_t further)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i <= further; ++i)
        bytes += lines[i].size();
    return static_cast<int>(further + 1) <= MaxReplyLines && bytes <= MaxReplyBytes;
}

// The size named before the first "byte" in any case: the nearest run of
// digits to its left; 0 when there is none or it exceeds 32 bits.
int32_t ByteCountOf(const std::string &line)
{
    std::string upper;
    for (const char c : line)
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    const std::size_t word = upper.find("BYTE");
    if (word == std::string::npos)
        return 0;
    const std::size_t last = line.find_last_of("0123456789", word);
    if (last == std::string::npos || last >= word)
        return 0;
    const std::size_t first = line.find_last_not_of("0123456789", last);
    const std::string digits = line.substr(first == std::string::npos ? 0 : first + 1, last - (first == std::string::npos ? 0 : first + 1) + 1);
    const std::size_t significant = digits.find_first_not_of('0');
    if (significant == std::string::npos)
        return 0;
    if (digits.size() - significant > 10 || std::stoll(digits.substr(significant)) > 2147483647LL)
        return 0;
    return static_cast<int32_t>(std::stoll(digits.substr(significant)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    Listen();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string reply(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> expected = Lines(reply);
    for (const std::string &line : expected)
        if (ParseByteCount(line) != ByteCountOf(line))
            Fail("ParseByteCount differs from the reference");

    Client client;
    client.Host = "127.0.0.1";
    client.Port = listenPort;
    client.TimeOut = 5000;
    client.ReportLevel = 1;
    // A 421 or 426 at the head of the buffer cancels the wait as soon as a
    // block arrives, so the outcome would depend on how the bytes are split
    // into blocks; the regular tests cover that watch.
    client.OnDataArrived = {};
    std::vector<std::string> reported;
    client.OnStatus = [&](TTcpSocket *, const std::string &status) { reported.push_back(status); };
    client.TTcpSocket::Connect();
    std::thread peer(Serve, reply);

    std::vector<std::string> taken;
    try {
        taken.push_back(client.TTcpSocket::Transaction("NOOP"));
        const std::optional<int> number = ReplyNumberOf(taken.front());
        if (!number || client.ReplyNumber != *number)
            Fail("reply number differs from the reference");
        client.ReadContinuationLines(taken.front(), [&](const std::string &line, bool) { taken.push_back(line); });
        // The same watch looks at the reply behind this one; see above.
        client.Canceled = false;
        const std::size_t further = FurtherLines(expected);
        if (taken.size() != further + 1 || reported != taken)
            Fail("the further lines of the reply differ from the rule");
        if (!WithinReplyLimits(expected, further))
            Fail("a reply past its limits was taken");
        for (;;)
            taken.push_back(client.ReadLn());
    } catch (const ETimeOutError &) {
        // Only a reply past its limits ends this way: the peer never waits.
        if (expected.empty() || WithinReplyLimits(expected, FurtherLines(expected)))
            Fail("a reply within its limits was refused");
    } catch (const ERangeError &) {
        if (expected.empty() || ReplyNumberOf(expected.front()))
            Fail("range error for a number that fits");
    } catch (const ESockError &) {
        // The peer has closed: every whole line must have been taken.
        if (taken != expected)
            Fail("lines lost, added or changed");
    }
    peer.join();
    return 0;
}
