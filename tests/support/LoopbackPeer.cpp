#include "tests/support/LoopbackPeer.h"

#include "tests/support/LoopbackPeerSystem.h"

namespace testpeer {

Connection::~Connection() { Close(); }

void Connection::Close()
{
    if (fd_ >= 0)
        system::CloseSocket(fd_);
    fd_ = -1;
}

void Connection::Reset()
{
    if (fd_ >= 0)
        system::SetResetOnClose(fd_);
    Close();
}

uint16_t Connection::LocalPort() const { return system::PortOf(fd_); }

void Connection::Send(const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && system::WaitWritable(fd_)) {
        const long n = system::SendSome(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
}

std::string Connection::ReadSome(std::size_t most)
{
    if (!system::WaitReadable(fd_))
        return {};
    std::string buffer(most, '\0');
    const long n = system::RecvSome(fd_, buffer.data(), most);
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
    return system::WaitHangUp(fd_);
}

Peer::Peer(Script script) : listener_(system::Listen("127.0.0.1", 1)), port_(system::PortOf(listener_))
{
    thread_ = std::thread([this, script = std::move(script)] {
        if (!system::WaitReadable(listener_))
            return;
        Connection connection(system::AcceptOne(listener_));
        served_ = true;
        script(connection);
    });
}

Peer::~Peer()
{
    thread_.join();
    system::CloseSocket(listener_);
}

FullQueue::FullQueue() : listener_(system::Listen("127.0.0.1", 0)), filler_(-1), port_(system::PortOf(listener_))
{
    filler_ = ConnectFrom("127.0.0.1", port_);
}

FullQueue::~FullQueue()
{
    system::CloseSocket(filler_);
    system::CloseSocket(listener_);
}

uint16_t RefusedPort()
{
    // Bound but not listening: the port stays ours and refuses connections.
    static const int holder = system::BoundOnly();
    return system::PortOf(holder);
}

} // namespace testpeer
