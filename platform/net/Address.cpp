#include "platform/net/Address.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>

namespace net {

Address::Address(const sockaddr_in &ipv4) { std::memcpy(&storage_, &ipv4, sizeof ipv4); }

Address::Address(const sockaddr_in6 &ipv6) { std::memcpy(&storage_, &ipv6, sizeof ipv6); }

std::optional<Address> Address::FromLiteral(const std::string &text, uint16_t port)
{
    // inet_addr, as ever: it also reads the short forms "127.1" and "0x7f.1".
    // Its one ambiguous answer, 255.255.255.255, is never a server.
    if (const in_addr_t ipv4 = ::inet_addr(text.c_str()); ipv4 != INADDR_NONE) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = ipv4;
        a.sin_port = htons(port);
        return Address(a);
    }
    const std::string bare = WithoutBrackets(text);
    if (bare.find(':') == std::string::npos)
        return std::nullopt;
    // getaddrinfo, not inet_pton: a link-local address may name its interface.
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(bare.c_str(), nullptr, &hints, &found) != 0)
        return std::nullopt;
    sockaddr_in6 a{};
    std::memcpy(&a, found->ai_addr, sizeof a);
    ::freeaddrinfo(found);
    a.sin6_port = htons(port);
    return Address(a);
}

Address Address::Any(int family, uint16_t port)
{
    if (family == AF_INET6) {
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_any;
        a.sin6_port = htons(port);
        return Address(a);
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(port);
    return Address(a);
}

bool Address::IsIpv6() const { return Family() == AF_INET6 && !Ipv4(); }

uint16_t Address::Port() const
{
    switch (Family()) {
    case AF_INET:
        return ntohs(reinterpret_cast<const sockaddr_in &>(storage_).sin_port);
    case AF_INET6:
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(storage_).sin6_port);
    default:
        return 0;
    }
}

Address Address::WithPort(uint16_t port) const
{
    Address copy = *this;
    if (Family() == AF_INET)
        reinterpret_cast<sockaddr_in &>(copy.storage_).sin_port = htons(port);
    else if (Family() == AF_INET6)
        reinterpret_cast<sockaddr_in6 &>(copy.storage_).sin6_port = htons(port);
    return copy;
}

std::optional<uint32_t> Address::Ipv4() const
{
    if (Family() == AF_INET)
        return reinterpret_cast<const sockaddr_in &>(storage_).sin_addr.s_addr;
    if (Family() != AF_INET6)
        return std::nullopt;
    const in6_addr &a = reinterpret_cast<const sockaddr_in6 &>(storage_).sin6_addr;
    if (!IN6_IS_ADDR_V4MAPPED(&a))
        return std::nullopt;
    uint32_t ipv4;
    std::memcpy(&ipv4, a.s6_addr + 12, sizeof ipv4);
    return ipv4;
}

std::string Address::HostText() const
{
    char text[INET6_ADDRSTRLEN] = {};
    if (const std::optional<uint32_t> ipv4 = Ipv4()) {
        in_addr a{*ipv4};
        ::inet_ntop(AF_INET, &a, text, sizeof text);
        return text;
    }
    // getnameinfo, not inet_ntop: a link-local address keeps its interface
    // ("fe80::1%eth0"), without which it cannot be connected to again.
    char withZone[NI_MAXHOST] = {};
    if (Family() == AF_INET6 && ::getnameinfo(Raw(), Length(), withZone, sizeof withZone, nullptr, 0, NI_NUMERICHOST) == 0)
        return withZone;
    return {};
}

bool Address::SameHost(const Address &other) const
{
    const std::optional<uint32_t> mine = Ipv4(), theirs = other.Ipv4();
    if (mine || theirs)
        return mine == theirs;
    if (Family() != AF_INET6 || other.Family() != AF_INET6)
        return false;
    const auto &a = reinterpret_cast<const sockaddr_in6 &>(storage_);
    const auto &b = reinterpret_cast<const sockaddr_in6 &>(other.storage_);
    return std::memcmp(&a.sin6_addr, &b.sin6_addr, sizeof a.sin6_addr) == 0 && a.sin6_scope_id == b.sin6_scope_id;
}

socklen_t Address::Length() const
{
    switch (Family()) {
    case AF_INET:
        return sizeof(sockaddr_in);
    case AF_INET6:
        return sizeof(sockaddr_in6);
    default:
        return 0;
    }
}

std::string WithoutBrackets(const std::string &text)
{
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace net
