#include "platform/net/SocketSystem.h"

#include <sys/resource.h>

#include <algorithm>

namespace net {

StartupData Startup()
{
    StartupData data;
    data.Version = 0x0101;
    data.HighVersion = 0x0101;
    data.Description = "Berkeley sockets, IPv4 and IPv6 stream";
    data.SystemStatus = "Running";
    rlimit files{};
    const rlim_t open = getrlimit(RLIMIT_NOFILE, &files) == 0 ? files.rlim_cur : 0;
    data.MaxSockets = static_cast<uint16_t>(std::min<rlim_t>(open, 65535));
    data.MaxUdpDg = 65507;
    return data;
}

} // namespace net
