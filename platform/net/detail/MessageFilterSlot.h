#pragma once
// Where the installed message filter is kept, for the event loop of the
// system that calls it.
#include "platform/net/MessagePump.h"

namespace net {

MessageFilter *&InstalledMessageFilter();

} // namespace net
