#include "platform/net/detail/TlsPeer.h"

#include "platform/net/Address.h"
#include "platform/net/detail/SystemAddress.h"

#include <optional>

namespace net {
namespace {

// An IPv6 literal's interface ("fe80::1%eth0") is cut off before the address
// is read: it means nothing to a certificate, and read, it would make the
// answer depend on the interfaces this machine has. Anything else is read
// whole, as the connect reads it.
std::optional<Address> LiteralOf(const std::string &host)
{
    const std::string bare = WithoutBrackets(host);
    const std::size_t zone = bare.find('%');
    return Address::FromLiteral(bare.find(':') < zone ? bare.substr(0, zone) : host);
}

std::vector<unsigned char> BytesOf(const Address &address)
{
    if (address.Family() == AddressFamily::Ipv4) {
        const auto &in = *reinterpret_cast<const sockaddr_in *>(address.Raw());
        const auto *start = reinterpret_cast<const unsigned char *>(&in.sin_addr);
        return {start, start + 4};
    }
    const auto &in6 = *reinterpret_cast<const sockaddr_in6 *>(address.Raw());
    const auto *start = reinterpret_cast<const unsigned char *>(&in6.sin6_addr);
    return {start + (address.IsIpv6() ? 0 : 12), start + 16};
}

} // namespace

TlsPeer::TlsPeer(const std::string &host)
{
    if (const std::optional<Address> literal = LiteralOf(host)) {
        addressBytes_ = BytesOf(*literal);
        addressText_ = literal->HostText();
        return;
    }
    name_ = WithoutBrackets(host);
    // A name with its final dot is the same name; SNI carries none, and
    // certificates name none.
    if (!name_.empty() && name_.back() == '.')
        name_.pop_back();
}

} // namespace net
