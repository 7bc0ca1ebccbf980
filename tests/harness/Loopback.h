#pragma once
// Small helpers for servers bound to loopback addresses.
#include <cstdint>
#include <string>

namespace harness {

class ServerProcess;

// A port that was free on address a moment ago (bound and released again).
uint16_t FreePort(const std::string &address);

// Waits, for at most ten seconds, until the kernel lists a listening socket on
// address:port that the server's own processes hold. Gives up at once when the
// server process has ended.
bool WaitUntilListening(const std::string &address, uint16_t port, ServerProcess &server);

// A listening TCP socket on address:port (0: the system chooses); throws on failure.
int ListenOn(const std::string &address, uint16_t port);
uint16_t LocalPortOf(int fd);

}  // namespace harness
