#pragma once
// One IPv4 or IPv6 socket address (an address and a port), in the form the
// system calls take. An empty Address has no family; comparisons of hosts
// treat an IPv4-mapped IPv6 address ("::ffff:127.0.0.1") as the IPv4 address
// it carries, since a dual-stack socket reports IPv4 peers that way.
#include <cstdint>
#include <optional>
#include <string>

// The system's own address structures, known only to the platform's code.
struct sockaddr;
struct sockaddr_in;
struct sockaddr_in6;

namespace net {

enum class AddressFamily { Unspecified, Ipv4, Ipv6 };

class Address {
public:
    Address() = default;
    // Implicit: IPv4 callers pass the address they have.
    Address(const sockaddr_in &ipv4);
    Address(const sockaddr_in6 &ipv6);

    // The literal Text names: dotted IPv4 as the socket system has always
    // read it, or IPv6 with or without brackets ("::1", "[::1]",
    // "fe80::1%eth0"). Nothing for a host name.
    static std::optional<Address> FromLiteral(const std::string &text, uint16_t port = 0);
    // Every local address of Family at Port.
    static Address Any(AddressFamily family, uint16_t port);

    // Unspecified when empty.
    AddressFamily Family() const;
    bool IsEmpty() const { return Family() == AddressFamily::Unspecified; }
    // True for IPv6 that is not an IPv4-mapped address.
    bool IsIpv6() const;
    uint16_t Port() const;
    Address WithPort(uint16_t port) const;
    // "127.0.0.1" or "::1" (an IPv4-mapped address as its IPv4 text, a
    // link-local one with its interface: "fe80::1%eth0"); empty when empty.
    std::string HostText() const;
    // The same host, port aside, an IPv4-mapped address matching its IPv4 one.
    bool SameHost(const Address &other) const;

    // For the platform's system calls: the address, its length, and for calls
    // that fill an address in, the storage and its full size.
    const sockaddr *Raw() const;
    int Length() const;
    sockaddr *Fill();
    static constexpr int Capacity() { return kStorage; }

private:
    // The IPv4 address in network byte order when this is IPv4 or
    // IPv4-mapped IPv6.
    std::optional<uint32_t> Ipv4() const;
    // As large and as aligned as the system's sockaddr_storage, which the
    // platform's code checks.
    static constexpr int kStorage = 128;
    alignas(8) unsigned char storage_[kStorage] = {};
};

// Text without the brackets that set an IPv6 literal apart ("[::1]" -> "::1");
// anything else unchanged.
std::string WithoutBrackets(const std::string &text);

} // namespace net
