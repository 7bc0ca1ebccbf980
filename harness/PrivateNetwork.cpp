#include "harness/PrivateNetwork.h"

#include <cstdlib>
#include <filesystem>

namespace harness {

std::string WhyNoPrivateNetwork()
{
    if (const char *why = std::getenv("VM_NO_PRIVATE_NETWORK"))
        return std::string("no private network namespace: ") + why;
    const char *made = std::getenv("VM_PRIVATE_NETWORK");
    if (!made)
        return "not run through harness/in-netns.sh, so not in a private network namespace";
    // The variable is inherited: a process started outside the namespace
    // (nsenter, a stray environment) must not take it for its own.
    std::error_code error;
    const std::string own = std::filesystem::read_symlink("/proc/self/ns/net", error);
    if (own != made)
        return "the network namespace " + own + " is not the private one in-netns.sh made (" + made + ")";
    return {};
}

}  // namespace harness
