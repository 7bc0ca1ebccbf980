#pragma once
// The system's address families beside the portable ones: for the platform's
// own code, which passes addresses to system calls.
#include "platform/net/Address.h"
#include "platform/net/detail/SystemSockets.h"

namespace net {

// AF_INET, AF_INET6, or AF_UNSPEC.
int SystemFamily(AddressFamily family);
// Unspecified for a family that is neither.
AddressFamily FamilyOf(int systemFamily);

}  // namespace net
