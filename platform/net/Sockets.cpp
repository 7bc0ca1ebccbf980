#include "platform/net/Sockets.h"

#include "platform/net/AsyncSelect.h"
#include "platform/net/SocketErrors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace net {
namespace {

int Fail()
{
    SetLastError(ErrorFromErrno(errno));
    return SocketError;
}

const sockaddr *AsSockaddr(const sockaddr_in &a) { return reinterpret_cast<const sockaddr *>(&a); }
sockaddr *AsSockaddr(sockaddr_in &a) { return reinterpret_cast<sockaddr *>(&a); }

} // namespace

StartupData Startup()
{
    StartupData data;
    data.Version = 0x0101;
    data.HighVersion = 0x0101;
    data.Description = "Berkeley sockets, IPv4 stream";
    data.SystemStatus = "Running";
    rlimit files{};
    const rlim_t open = getrlimit(RLIMIT_NOFILE, &files) == 0 ? files.rlim_cur : 0;
    data.MaxSockets = static_cast<uint16_t>(std::min<rlim_t>(open, 65535));
    data.MaxUdpDg = 65507;
    return data;
}

int Socket()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return s < 0 ? Fail() : s;
}

int SetResetOnClose(int s)
{
    const linger reset{1, 0};
    return ::setsockopt(s, SOL_SOCKET, SO_LINGER, &reset, sizeof reset) == 0 ? 0 : Fail();
}

int CloseSocket(int s)
{
    select_hooks::Closed(s);
    // Not retried on EINTR: Linux has released the descriptor already, and a
    // second close could hit one opened meanwhile.
    return ::close(s) == 0 ? 0 : Fail();
}

int Connect(int s, const sockaddr_in &address)
{
    if (::connect(s, AsSockaddr(address), sizeof address) == 0) {
        select_hooks::Connected(s);
        return 0;
    }
    // An interrupted non-blocking connect goes on in the background, as one
    // in progress does.
    if (errno == EINPROGRESS || errno == EINTR) {
        select_hooks::Connecting(s);
        SetLastError(ErrorFromErrno(EINPROGRESS));
        return SocketError;
    }
    return Fail();
}

int Bind(int s, const sockaddr_in &address)
{
    return ::bind(s, AsSockaddr(address), sizeof address) == 0 ? 0 : Fail();
}

int Listen(int s, int backlog)
{
    if (::listen(s, backlog) != 0)
        return Fail();
    select_hooks::Listening(s);
    return 0;
}

int Accept(int s, sockaddr_in &peer)
{
    socklen_t length = sizeof peer;
    int a;
    do
        a = ::accept4(s, AsSockaddr(peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    while (a < 0 && errno == EINTR);
    const int saved = errno;
    select_hooks::Accepted(s);
    errno = saved;
    return a < 0 ? Fail() : a;
}

long Send(int s, const char *data, std::size_t length)
{
    ssize_t n;
    do
        n = ::send(s, data, length, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    if (n >= 0)
        return n;
    if (errno == EWOULDBLOCK)
        select_hooks::SendBlocked(s);
    return Fail();
}

long Recv(int s, char *data, std::size_t length)
{
    ssize_t n;
    do
        n = ::recv(s, data, length, 0);
    while (n < 0 && errno == EINTR);
    const int saved = errno;
    select_hooks::Received(s);
    errno = saved;
    return n < 0 ? Fail() : n;
}

int GetSockName(int s, sockaddr_in &address)
{
    socklen_t length = sizeof address;
    return ::getsockname(s, AsSockaddr(address), &length) == 0 ? 0 : Fail();
}

int GetPeerName(int s, sockaddr_in &address)
{
    socklen_t length = sizeof address;
    return ::getpeername(s, AsSockaddr(address), &length) == 0 ? 0 : Fail();
}

uint32_t InetAddr(const std::string &text)
{
    return ::inet_addr(text.c_str());
}

std::string InetNtoa(uint32_t address)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

} // namespace net
