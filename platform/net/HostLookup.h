#pragma once
// Asynchronous host-name lookup. The answer arrives as a LookupDone message
// at the notification object that asked, never before the caller has returned
// to the event loop. The resolver is replaceable so that tests can make a
// lookup fail or never answer without asking a name server.
#include "platform/net/Address.h"
#include "platform/net/SocketErrors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace net {

class NotificationWindow;

class HostResolver {
public:
    // Addresses: every address of the name, IPv4 and IPv6, in the order to
    // try them (port 0); Error: 0 or one of ErrorCode's lookup codes
    // (HostNotFound ... NoData).
    using Answer = std::function<void(std::vector<Address> addresses, uint16_t error)>;

    virtual ~HostResolver() = default;
    // Starts looking Name up; calls Done later from the event loop, at most
    // once. Done may come after the asker is gone: it checks for itself.
    virtual void Lookup(const std::string &name, Answer done) = 0;
};

// Installs Resolver for every later lookup (nullptr: the system's resolver);
// returns the one installed before. The caller keeps ownership.
HostResolver *SetHostResolver(HostResolver *resolver);

// Starts looking Name up for Window; the answer is posted to it as
// Message::LookupDone carrying Tag.
void AsyncGetHostByName(const std::string &name, NotificationWindow *window, uint32_t tag);

} // namespace net
