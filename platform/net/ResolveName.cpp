#include "platform/net/detail/ResolveName.h"

#include "platform/net/SocketErrors.h"
#include "platform/net/detail/SystemSockets.h"

namespace net {
namespace {

uint16_t LookupError(int error)
{
    switch (error) {
    case EAI_NONAME:
        return ErrorCode::HostNotFound;
    case EAI_AGAIN:
        return ErrorCode::TryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA:
        return ErrorCode::NoData;
#endif
    default:
        return ErrorCode::NoRecovery;
    }
}

} // namespace

Resolved ResolveName(const std::string &name)
{
    // One answer for each address: a stream socket's.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found); error != 0)
        return {{}, LookupError(error)};
    Resolved result;
    for (const addrinfo *a = found; a; a = a->ai_next) {
        if (a->ai_family == AF_INET)
            result.addresses.emplace_back(*reinterpret_cast<const sockaddr_in *>(a->ai_addr));
        else if (a->ai_family == AF_INET6)
            result.addresses.emplace_back(*reinterpret_cast<const sockaddr_in6 *>(a->ai_addr));
    }
    ::freeaddrinfo(found);
    if (result.addresses.empty())
        result.error = ErrorCode::NoData;
    return result;
}

} // namespace net
