#include "harness/Loopback.h"

#include "harness/ServerProcess.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace harness {

sockaddr_in AddressOf(const std::string &address, uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + address);
    return a;
}

namespace {

// /proc/net/tcp spells the address as the hex of its network-order word.
std::string ProcNetTcpKey(const std::string &address, uint16_t port)
{
    const sockaddr_in a = AddressOf(address, port);
    char key[32];
    std::snprintf(key, sizeof key, "%08X:%04X", a.sin_addr.s_addr, port);
    return key;
}

// The inode of the socket listening on key, 0 when there is none.
unsigned long ListeningSocket(const std::string &key)
{
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        char local[64] = {}, remote[64] = {};
        unsigned state = 0;
        unsigned long inode = 0;
        if (std::sscanf(line.c_str(), "%*d: %63s %63s %x %*s %*s %*s %*u %*u %lu", local, remote, &state,
                        &inode) == 4 &&
            key == local && state == 0x0A)
            return inode;
    }
    return 0;
}

}  // namespace

int ListenOn(const std::string &address, uint16_t port, int backlog)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in a = AddressOf(address, port);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    return fd;
}

uint16_t LocalPortOf(int fd)
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    return ntohs(a.sin_port);
}

uint16_t FreePort(const std::string &address)
{
    const int fd = ListenOn(address, 0);
    const uint16_t port = LocalPortOf(fd);
    ::close(fd);
    return port;
}

bool WaitUntilListening(const std::string &address, uint16_t port, ServerProcess &server)
{
    const std::string key = ProcNetTcpKey(address, port);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < limit) {
        // A listener someone else holds there is not the server.
        if (const unsigned long inode = ListeningSocket(key); inode != 0 && server.HoldsSocket(inode))
            return true;
        if (!server.Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace harness
