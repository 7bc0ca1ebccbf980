// The loopback peers' socket calls on Linux: POSIX sockets, poll, and the
// harness's loopback helpers.
#include "tests/support/LoopbackPeerSystem.h"

#include "harness/Loopback.h"

#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testpeer {
namespace system {
namespace {

bool WaitFor(int fd, short events)
{
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, int(std::chrono::milliseconds(StepLimit).count())) > 0;
}

} // namespace

bool WaitReadable(int fd) { return WaitFor(fd, POLLIN); }

bool WaitWritable(int fd) { return WaitFor(fd, POLLOUT); }

long SendSome(int fd, const char *data, std::size_t length) { return ::send(fd, data, length, MSG_NOSIGNAL); }

long RecvSome(int fd, char *data, std::size_t most) { return ::recv(fd, data, most, 0); }

bool WaitHangUp(int fd) { return WaitFor(fd, POLLRDHUP); }

void CloseSocket(int fd) { ::close(fd); }

void SetResetOnClose(int fd)
{
    const linger now{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
}

int Listen(const std::string &address, int backlog) { return harness::ListenOn(address, 0, backlog); }

int AcceptOne(int listener) { return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }

uint16_t PortOf(int fd) { return harness::LocalPortOf(fd); }

int BoundOnly()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = harness::AddressOf("127.0.0.1", 0);
    ::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a);
    return fd;
}

} // namespace system

int ConnectFrom(const std::string &localAddress, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in local = harness::AddressOf(localAddress, 0);
    const sockaddr_in remote = harness::AddressOf("127.0.0.1", port);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) != 0)
        throw std::runtime_error("test client cannot connect");
    return fd;
}

void SetSendBuffer(int descriptor, int bytes)
{
    ::setsockopt(descriptor, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

} // namespace testpeer
