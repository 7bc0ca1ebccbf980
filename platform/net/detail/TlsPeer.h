#pragma once
// The server of one TLS connection as both systems' TLS sees it, worked out
// once from the host the connect was given: a name, which goes out as the
// server name (SNI) and which the certificate must name, or an address, which
// the certificate must hold among its addresses, byte for byte.
#include <string>
#include <vector>

namespace net {

class TlsPeer {
public:
    // Host as the connect reads it: "example.com", "127.1", "[::1]",
    // "fe80::1%eth0", "::ffff:127.0.0.1".
    explicit TlsPeer(const std::string &host);

    bool IsAddress() const { return !addressBytes_.empty(); }
    // A name without brackets or final dot ("example.com." is the same name);
    // empty for an address.
    const std::string &Name() const { return name_; }
    // An address in network byte order: 4 bytes for IPv4 and for an
    // IPv4-mapped IPv6 address, which stands for the IPv4 one it carries, 16
    // for IPv6; no interface. Empty for a name.
    const std::vector<unsigned char> &AddressBytes() const { return addressBytes_; }
    // The address as text, without interface ("127.0.0.1", "fe80::1").
    const std::string &AddressText() const { return addressText_; }
    // SNI carries a name only: never an address, nor an empty name.
    bool SendsSni() const { return !name_.empty(); }
    // An empty host: no certificate can name it, and no TLS library can be
    // told to match it (both would skip the check instead).
    bool NamesNothing() const { return !IsAddress() && name_.empty(); }
    // What Windows' TLS is given as the target name: it also keys its session
    // cache, which the control and the data connections of one check share.
    const std::string &TargetName() const { return IsAddress() ? addressText_ : name_; }

private:
    std::string name_;
    std::vector<unsigned char> addressBytes_;
    std::string addressText_;
};

} // namespace net
