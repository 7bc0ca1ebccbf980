#include "harness/client/ServiceConnection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace harness {

namespace {

[[noreturn]] void Fail(const std::string &what)
{
    throw std::runtime_error("harness service: " + what + ": " + std::strerror(errno));
}

}  // namespace

ServiceConnection::ServiceConnection(const std::string &host, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("harness service: not an IPv4 address: " + host);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        Fail("socket");
    socket_ = fd;
    const timeval limit{kReplyLimitSeconds, 0};
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        Fail("cannot connect to " + host + ":" + std::to_string(port));
    }
}

ServiceConnection::~ServiceConnection() { ::close(static_cast<int>(socket_)); }

void ServiceConnection::Send(const std::string &bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(static_cast<int>(socket_), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            Fail("send");
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

std::size_t ServiceConnection::Receive(char *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::recv(static_cast<int>(socket_), buffer, size, 0);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            Fail(errno == EAGAIN || errno == EWOULDBLOCK ? "no reply within the limit" : "receive");
    }
}

void ServiceConnection::EndSending() { ::shutdown(static_cast<int>(socket_), SHUT_WR); }

}  // namespace harness
