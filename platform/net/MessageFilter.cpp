#include "platform/net/MessagePump.h"

#include "platform/net/detail/MessageFilterSlot.h"

#include <utility>

namespace net {

MessageFilter *&InstalledMessageFilter()
{
    static MessageFilter *installed = nullptr;
    return installed;
}

MessageFilter *SetMessageFilter(MessageFilter *filter) { return std::exchange(InstalledMessageFilter(), filter); }

} // namespace net
