#include "harness/SmallDisk.h"

#include <sched.h>
#include <sys/mount.h>

namespace harness {

namespace {

// Once per process: a mount namespace of its own whose mounts do not
// propagate back to the system's.
bool PrivateMounts()
{
    static const bool ready = ::unshare(CLONE_NEWNS) == 0 &&
                              ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ready;
}

}  // namespace

SmallDisk::SmallDisk(std::size_t bytes)
{
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    mounted_ = PrivateMounts() && ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(dir_.Path().c_str(), MNT_DETACH);
}

std::vector<std::string> SmallDisk::Names() const { return NamesIn(dir_.Path()); }

}  // namespace harness
