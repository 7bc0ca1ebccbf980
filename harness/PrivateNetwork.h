#pragma once
// Real servers listen on fixed or just-freed loopback ports, which another
// program on the machine could hold. Tests that start them run in a private
// network namespace made by harness/in-netns.sh, and skip themselves,
// saying why, where there is none.
#include <string>

namespace harness {

// "" in the private network namespace in-netns.sh made for this process;
// otherwise why this process shares its network with the machine.
std::string WhyNoPrivateNetwork();

}  // namespace harness

// For a test (gtest included) or its fixture's SetUp: ends it as skipped
// outside a private network namespace.
#define VM_SKIP_WITHOUT_PRIVATE_NETWORK()                                            \
    if (const std::string whyNoPrivateNetwork = ::harness::WhyNoPrivateNetwork(); \
        !whyNoPrivateNetwork.empty())                                             \
    GTEST_SKIP() << whyNoPrivateNetwork
