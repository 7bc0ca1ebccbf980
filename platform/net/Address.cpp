#include "platform/net/Address.h"

#include "platform/net/detail/SystemAddress.h"

#include <cstring>

namespace net {

static_assert(sizeof(sockaddr_storage) <= Address::Capacity() && alignof(sockaddr_storage) <= 8);

namespace {

template <class Raw> const Raw &As(const unsigned char *storage) { return *reinterpret_cast<const Raw *>(storage); }
template <class Raw> Raw &As(unsigned char *storage) { return *reinterpret_cast<Raw *>(storage); }

}  // namespace

Address::Address(const sockaddr_in &ipv4) { std::memcpy(storage_, &ipv4, sizeof ipv4); }

Address::Address(const sockaddr_in6 &ipv6) { std::memcpy(storage_, &ipv6, sizeof ipv6); }

std::optional<Address> Address::FromLiteral(const std::string &text, uint16_t port)
{
    // inet_addr, as ever: it also reads the short forms "127.1" and "0x7f.1".
    // Its one ambiguous answer, 255.255.255.255, is never a server.
    if (const auto ipv4 = ::inet_addr(text.c_str()); ipv4 != INADDR_NONE) {
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

Address Address::Any(AddressFamily family, uint16_t port)
{
    if (family == AddressFamily::Ipv6) {
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

AddressFamily Address::Family() const { return FamilyOf(As<sockaddr>(storage_).sa_family); }

bool Address::IsIpv6() const { return Family() == AddressFamily::Ipv6 && !Ipv4(); }

const sockaddr *Address::Raw() const { return &As<sockaddr>(storage_); }

sockaddr *Address::Fill() { return &As<sockaddr>(storage_); }

uint16_t Address::Port() const
{
    switch (Family()) {
    case AddressFamily::Ipv4:
        return ntohs(As<sockaddr_in>(storage_).sin_port);
    case AddressFamily::Ipv6:
        return ntohs(As<sockaddr_in6>(storage_).sin6_port);
    case AddressFamily::Unspecified:
        break;
    }
    return 0;
}

Address Address::WithPort(uint16_t port) const
{
    Address copy = *this;
    if (Family() == AddressFamily::Ipv4)
        As<sockaddr_in>(copy.storage_).sin_port = htons(port);
    else if (Family() == AddressFamily::Ipv6)
        As<sockaddr_in6>(copy.storage_).sin6_port = htons(port);
    return copy;
}

std::optional<uint32_t> Address::Ipv4() const
{
    if (Family() == AddressFamily::Ipv4)
        return As<sockaddr_in>(storage_).sin_addr.s_addr;
    if (Family() != AddressFamily::Ipv6)
        return std::nullopt;
    const in6_addr &a = As<sockaddr_in6>(storage_).sin6_addr;
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
        in_addr a{};
        a.s_addr = *ipv4;
        ::inet_ntop(AF_INET, &a, text, sizeof text);
        return text;
    }
    // getnameinfo, not inet_ntop: a link-local address keeps its interface
    // ("fe80::1%eth0"), without which it cannot be connected to again.
    char withZone[NI_MAXHOST] = {};
    if (Family() == AddressFamily::Ipv6 &&
        ::getnameinfo(Raw(), static_cast<socklen_t>(Length()), withZone, sizeof withZone, nullptr, 0, NI_NUMERICHOST) == 0)
        return withZone;
    return {};
}

bool Address::SameHost(const Address &other) const
{
    const std::optional<uint32_t> mine = Ipv4(), theirs = other.Ipv4();
    if (mine || theirs)
        return mine == theirs;
    if (Family() != AddressFamily::Ipv6 || other.Family() != AddressFamily::Ipv6)
        return false;
    const auto &a = As<sockaddr_in6>(storage_);
    const auto &b = As<sockaddr_in6>(other.storage_);
    return std::memcmp(&a.sin6_addr, &b.sin6_addr, sizeof a.sin6_addr) == 0 && a.sin6_scope_id == b.sin6_scope_id;
}

int Address::Length() const
{
    switch (Family()) {
    case AddressFamily::Ipv4:
        return sizeof(sockaddr_in);
    case AddressFamily::Ipv6:
        return sizeof(sockaddr_in6);
    case AddressFamily::Unspecified:
        break;
    }
    return 0;
}

int SystemFamily(AddressFamily family)
{
    switch (family) {
    case AddressFamily::Ipv4:
        return AF_INET;
    case AddressFamily::Ipv6:
        return AF_INET6;
    case AddressFamily::Unspecified:
        break;
    }
    return AF_UNSPEC;
}

AddressFamily FamilyOf(int systemFamily)
{
    if (systemFamily == AF_INET)
        return AddressFamily::Ipv4;
    if (systemFamily == AF_INET6)
        return AddressFamily::Ipv6;
    return AddressFamily::Unspecified;
}

std::string WithoutBrackets(const std::string &text)
{
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace net
