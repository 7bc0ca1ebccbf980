#pragma once
// One blocking name lookup through the system's resolver, for the helper
// threads of each system's resolver.
#include "platform/net/Address.h"

#include <cstdint>
#include <string>
#include <vector>

namespace net {

struct Resolved {
    std::vector<Address> addresses; // in the system's order, port 0
    uint16_t error = 0;             // 0, or one of ErrorCode's lookup codes
};

// Blocks for as long as the system's resolver takes.
Resolved ResolveName(const std::string &name);

} // namespace net
