#pragma once
// The system's own host resolver, behind HostLookup's replaceable one.
#include "platform/net/HostLookup.h"

namespace net {

HostResolver &SystemResolver();

} // namespace net
