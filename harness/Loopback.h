#pragma once
// The one place where tests, their peers and their servers build socket
// addresses and read the ports they were given.
#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace harness {

// The IPv4 socket address of dotted Address and Port; throws when Address is
// not a dotted IPv4 address.
sockaddr_in AddressOf(const std::string &address, uint16_t port);

class ServerProcess;

// Address may be IPv4 or IPv6 text ("::1") below; IsIpv6 tells which.
bool IsIpv6(const std::string &address);

// A port that was free on address a moment ago (bound and released again).
uint16_t FreePort(const std::string &address);

// Waits, for at most ten seconds, until the kernel lists a listening socket on
// address:port that the server's own processes hold. Gives up at once when the
// server process has ended.
bool WaitUntilListening(const std::string &address, uint16_t port, ServerProcess &server);

// A listening TCP socket on address:port (0: the system chooses) with room
// for Backlog waiting connections; throws on failure.
int ListenOn(const std::string &address, uint16_t port, int backlog = 4);
// The port a socket is bound to.
uint16_t LocalPortOf(int fd);

}  // namespace harness
