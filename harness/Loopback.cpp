#include "harness/Loopback.h"

#include "harness/ServerProcess.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace harness {

bool IsIpv6(const std::string &address) { return address.find(':') != std::string::npos; }

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

// The socket address of IPv4 or IPv6 Address and Port.
sockaddr_storage EndpointOf(const std::string &address, uint16_t port)
{
    sockaddr_storage storage{};
    if (!IsIpv6(address)) {
        const sockaddr_in a = AddressOf(address, port);
        std::memcpy(&storage, &a, sizeof a);
        return storage;
    }
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(port);
    if (::inet_pton(AF_INET6, address.c_str(), &a.sin6_addr) != 1)
        throw std::runtime_error("not an IPv6 address: " + address);
    std::memcpy(&storage, &a, sizeof a);
    return storage;
}

socklen_t LengthOf(const sockaddr_storage &a)
{
    return a.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

// /proc/net/tcp spells the address as the hex of its network-order word,
// /proc/net/tcp6 as four such words.
std::string ProcNetTcpKey(const std::string &address, uint16_t port)
{
    const sockaddr_storage a = EndpointOf(address, port);
    const auto *words = a.ss_family == AF_INET6
                            ? reinterpret_cast<const uint32_t *>(&reinterpret_cast<const sockaddr_in6 &>(a).sin6_addr)
                            : &reinterpret_cast<const sockaddr_in &>(a).sin_addr.s_addr;
    std::string key;
    for (int word = 0; word < (a.ss_family == AF_INET6 ? 4 : 1); ++word) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", words[word]);
        key += hex;
    }
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, ":%04X", port);
    return key + portHex;
}

// The inode of the socket listening on key (an address of the family of
// Address), 0 when there is none.
unsigned long ListeningSocket(const std::string &address, const std::string &key)
{
    std::ifstream table(IsIpv6(address) ? "/proc/net/tcp6" : "/proc/net/tcp");
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
    const sockaddr_storage a = EndpointOf(address, port);
    const int fd = ::socket(a.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), LengthOf(a)) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    return fd;
}

uint16_t LocalPortOf(int fd)
{
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    // The port sits at the same place in both families.
    return ntohs(reinterpret_cast<const sockaddr_in &>(a).sin_port);
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
        if (const unsigned long inode = ListeningSocket(address, key); inode != 0 && server.HoldsSocket(inode))
            return true;
        if (!server.Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace harness
