// The loopback peers' socket calls on Windows: Winsock, blocking, with
// WSAPoll for the bounded waits.
#include "tests/support/LoopbackPeerSystem.h"

#include "platform/net/Address.h"

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

namespace testpeer {
namespace system {
namespace {

// A peer may be made before any component has started Winsock.
void Started()
{
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("no Winsock for the test peer");
}

SOCKET Handle(int fd) { return static_cast<SOCKET>(fd); }

int WaitFor(int fd, short events, std::chrono::milliseconds limit)
{
    WSAPOLLFD p{Handle(fd), events, 0};
    return ::WSAPoll(&p, 1, int(limit.count())) > 0 ? p.revents : 0;
}

net::Address AddressOf(const std::string &address, uint16_t port)
{
    const std::optional<net::Address> a = net::Address::FromLiteral(address, port);
    if (!a)
        throw std::runtime_error("not an IP address: " + address);
    return *a;
}

int Bound(const std::string &address)
{
    Started();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const net::Address a = AddressOf(address, 0);
    if (s == INVALID_SOCKET || ::bind(s, a.Raw(), a.Length()) != 0)
        throw std::runtime_error("test peer cannot bind to " + address);
    return static_cast<int>(s);
}

} // namespace

bool WaitReadable(int fd) { return WaitFor(fd, POLLRDNORM, StepLimit) != 0; }

bool WaitWritable(int fd) { return WaitFor(fd, POLLWRNORM, StepLimit) != 0; }

long SendSome(int fd, const char *data, std::size_t length)
{
    return ::send(Handle(fd), data, int(std::min<std::size_t>(length, 1 << 30)), 0);
}

long RecvSome(int fd, char *data, std::size_t most)
{
    return ::recv(Handle(fd), data, int(std::min<std::size_t>(most, 1 << 30)), 0);
}

// Winsock has no POLLRDHUP: a plain close behind unread data shows only once
// that data is read (a reset shows at once). So the peek looks again a
// little later until the time is up.
bool WaitHangUp(int fd)
{
    const auto end = std::chrono::steady_clock::now() + StepLimit;
    for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
        const int events = WaitFor(fd, POLLRDNORM, std::chrono::duration_cast<std::chrono::milliseconds>(end - now));
        if (events == 0)
            return false;
        if (events & (POLLHUP | POLLERR))
            return true;
        char byte;
        if (::recv(Handle(fd), &byte, 1, MSG_PEEK) <= 0)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

void CloseSocket(int fd) { ::closesocket(Handle(fd)); }

void SetResetOnClose(int fd)
{
    const linger now{1, 0};
    ::setsockopt(Handle(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&now), sizeof now);
}

int Listen(const std::string &address, int backlog)
{
    const int fd = Bound(address);
    if (::listen(Handle(fd), backlog) != 0) {
        CloseSocket(fd);
        throw std::runtime_error("test peer cannot listen on " + address);
    }
    return fd;
}

int AcceptOne(int listener) { return static_cast<int>(::accept(Handle(listener), nullptr, nullptr)); }

uint16_t PortOf(int fd)
{
    sockaddr_storage a{};
    int length = sizeof a;
    ::getsockname(Handle(fd), reinterpret_cast<sockaddr *>(&a), &length);
    // The port sits at the same place in both families.
    return ntohs(reinterpret_cast<const sockaddr_in &>(a).sin_port);
}

int BoundOnly() { return Bound("127.0.0.1"); }

} // namespace system

int ConnectFrom(const std::string &localAddress, uint16_t port)
{
    const int fd = system::Bound(localAddress);
    const net::Address remote = system::AddressOf("127.0.0.1", port);
    if (::connect(system::Handle(fd), remote.Raw(), remote.Length()) != 0) {
        system::CloseSocket(fd);
        throw std::runtime_error("test client cannot connect");
    }
    return fd;
}

void SetSendBuffer(int descriptor, int bytes)
{
    ::setsockopt(system::Handle(descriptor), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char *>(&bytes),
                 sizeof bytes);
}

} // namespace testpeer
