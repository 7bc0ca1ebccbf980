#pragma once
// A TCP connection to the harness service: all the socket code of its client,
// behind an interface that names nothing of the system's. Every wait is
// bounded, so a service that is gone or stuck fails the call instead of
// holding the test.
#include <cstddef>
#include <cstdint>
#include <string>

namespace harness {

class ServiceConnection {
public:
    // Connects to Port of Host, an IPv4 address; throws when it cannot.
    ServiceConnection(const std::string &host, uint16_t port);
    ~ServiceConnection();
    ServiceConnection(const ServiceConnection &) = delete;
    ServiceConnection &operator=(const ServiceConnection &) = delete;

    // Throws when the bytes cannot all be sent.
    void Send(const std::string &bytes);
    // Some bytes that came, into Buffer; 0 once the service has closed.
    // Throws on an error, and when nothing came within the reply limit.
    std::size_t Receive(char *buffer, std::size_t size);
    // Tells the service that no request follows.
    void EndSending();

    // Longer than any request may take (a scripted server's wait ends within
    // a minute; a real server starts within half of one).
    static constexpr int kReplyLimitSeconds = 300;

private:
    std::intptr_t socket_ = -1;
};

}  // namespace harness
