#include "platform/net/HostLookup.h"

#include "platform/net/NotificationWindow.h"
#include "platform/net/detail/SystemResolver.h"

#include <utility>

namespace net {
namespace {

HostResolver *installed = nullptr;

HostResolver &Current() { return installed ? *installed : SystemResolver(); }

} // namespace

HostResolver *SetHostResolver(HostResolver *resolver)
{
    return std::exchange(installed, resolver);
}

void AsyncGetHostByName(const std::string &name, NotificationWindow *window, uint32_t tag)
{
    Current().Lookup(name, [post = window->PostWhileAlive(), tag](std::vector<Address> addresses, uint16_t error) {
        post(Message{Message::LookupDone, 0, error, tag, 0, std::move(addresses)});
    });
}

} // namespace net
