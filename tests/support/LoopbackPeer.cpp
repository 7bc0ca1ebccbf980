#include "tests/support/LoopbackPeer.h"

#include "harness/Loopback.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testpeer {
namespace {

bool WaitFor(int fd, short events)
{
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, int(std::chrono::milliseconds(StepLimit).count())) > 0;
}

} // namespace

Connection::~Connection() { Close(); }

void Connection::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void Connection::Reset()
{
    const linger now{1, 0};
    if (fd_ >= 0)
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    Close();
}

void Connection::Send(const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && WaitFor(fd_, POLLOUT)) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
}

std::string Connection::ReadSome(std::size_t most)
{
    if (!WaitFor(fd_, POLLIN))
        return {};
    std::string buffer(most, '\0');
    const ssize_t n = ::recv(fd_, buffer.data(), most, 0);
    buffer.resize(n > 0 ? std::size_t(n) : 0);
    return buffer;
}

std::string Connection::ReadLine()
{
    std::string line;
    while (line.empty() || line.back() != '\n') {
        const std::string c = ReadSome(1);
        if (c.empty())
            break;
        line += c;
    }
    return line;
}

std::string Connection::ReadExactly(std::size_t count)
{
    std::string bytes;
    while (bytes.size() < count) {
        const std::string some = ReadSome(count - bytes.size());
        if (some.empty())
            break;
        bytes += some;
    }
    return bytes;
}

std::string Connection::ReadToEnd()
{
    std::string bytes;
    for (std::string some = ReadSome(65536); !some.empty(); some = ReadSome(65536))
        bytes += some;
    return bytes;
}

// Waits for the other side to close without reading what it sends, so that
// its sends can fill the buffers.
bool Connection::WaitClosed()
{
    return WaitFor(fd_, POLLRDHUP);
}

Peer::Peer(Script script) : listener_(harness::ListenOn("127.0.0.1", 0, 1)), port_(harness::LocalPortOf(listener_))
{
    thread_ = std::thread([this, script = std::move(script)] {
        if (!WaitFor(listener_, POLLIN))
            return;
        Connection connection(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC));
        served_ = true;
        script(connection);
    });
}

Peer::~Peer()
{
    thread_.join();
    ::close(listener_);
}

FullQueue::FullQueue() : listener_(harness::ListenOn("127.0.0.1", 0, 0)), filler_(-1), port_(harness::LocalPortOf(listener_))
{
    filler_ = ConnectFrom("127.0.0.1", port_);
}

FullQueue::~FullQueue()
{
    ::close(filler_);
    ::close(listener_);
}

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

uint16_t RefusedPort()
{
    // Bound but not listening: the port stays ours and refuses connections.
    static const int holder = [] {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in a = harness::AddressOf("127.0.0.1", 0);
        ::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a);
        return fd;
    }();
    return harness::LocalPortOf(holder);
}

} // namespace testpeer
