#pragma once
// Test peers on loopback made of the system's plain blocking sockets, each
// running its script on a thread of its own. Every wait of a peer is bounded
// (a few seconds at most), so a peer always ends by itself. The socket calls
// are each system's own (LoopbackPeerSystem*.cpp); a descriptor is an int on
// both, as net::Socket's is.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace testpeer {

using namespace std::chrono_literals;

// How long any single step of a peer may wait.
constexpr auto StepLimit = 5s;

// One connection of a peer; closed when destroyed.
class Connection {
public:
    explicit Connection(int fd) : fd_(fd) {}
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    int Fd() const { return fd_; }
    void Send(const std::string &bytes);
    // Up to and including the next line feed; what came when the limit ran out.
    std::string ReadLine();
    // Exactly Count bytes, or fewer when the connection ends or the limit runs out.
    std::string ReadExactly(std::size_t count);
    // Everything until the other side closes (bounded by StepLimit).
    std::string ReadToEnd();
    // Waits until the other side closes or resets; false when the limit ran out.
    bool WaitClosed();
    void Close();
    // Closes with a reset instead of a plain close.
    void Reset();
    // The port of this end.
    uint16_t LocalPort() const;

private:
    // Bytes that arrive within the limit; empty when the connection ended.
    std::string ReadSome(std::size_t most);
    int fd_;
};

// A listening peer on 127.0.0.1 with a system-chosen port. The script runs
// for the first connection accepted within StepLimit; without one it does not
// run.
class Peer {
public:
    using Script = std::function<void(Connection &)>;
    explicit Peer(Script script);
    ~Peer(); // waits for the script to end
    Peer(const Peer &) = delete;
    Peer &operator=(const Peer &) = delete;

    uint16_t Port() const { return port_; }
    bool Served() const { return served_; }

private:
    int listener_;
    uint16_t port_;
    std::atomic<bool> served_{false};
    std::thread thread_;
};

// A listening socket that takes no connection: with backlog 0 and its queue
// filled by one connection, further connection requests go unanswered.
class FullQueue {
public:
    FullQueue();
    ~FullQueue();
    FullQueue(const FullQueue &) = delete;
    FullQueue &operator=(const FullQueue &) = delete;
    uint16_t Port() const { return port_; }

private:
    int listener_;
    int filler_;
    uint16_t port_;
};

// A blocking connection from LocalAddress to 127.0.0.1:Port; the descriptor.
int ConnectFrom(const std::string &localAddress, uint16_t port);
// A port on 127.0.0.1 where nobody listens.
uint16_t RefusedPort();
// Shrinks the send buffer of the socket Descriptor (a component's too) to
// Bytes, so that a peer that does not read soon blocks its sends.
void SetSendBuffer(int descriptor, int bytes);

} // namespace testpeer
