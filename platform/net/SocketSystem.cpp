#include "platform/net/SocketSystem.h"

#include <arpa/inet.h>
#include <sys/resource.h>

#include <algorithm>

namespace net {

StartupData Startup()
{
    StartupData data;
    data.Version = 0x0101;
    data.HighVersion = 0x0101;
    data.Description = "Berkeley sockets, IPv4 stream";
    data.SystemStatus = "Running";
    rlimit files{};
    const rlim_t open = getrlimit(RLIMIT_NOFILE, &files) == 0 ? files.rlim_cur : 0;
    data.MaxSockets = static_cast<uint16_t>(std::min<rlim_t>(open, 65535));
    data.MaxUdpDg = 65507;
    return data;
}

uint32_t InetAddr(const std::string &text)
{
    return ::inet_addr(text.c_str());
}

std::string InetNtoa(uint32_t address)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

} // namespace net
