#include "platform/net/SocketSystem.h"

#include <winsock2.h>

namespace net {

// Windows Sockets 2.2; WSAStartup's own report, or an empty one (version 0)
// when it failed, with its code for GetLastError.
StartupData Startup()
{
    StartupData data;
    WSADATA system{};
    if (const int error = ::WSAStartup(MAKEWORD(2, 2), &system); error != 0) {
        ::WSASetLastError(error);
        return data;
    }
    data.Version = system.wVersion;
    data.HighVersion = system.wHighVersion;
    data.Description = system.szDescription;
    data.SystemStatus = system.szSystemStatus;
    data.MaxSockets = system.iMaxSockets;
    data.MaxUdpDg = system.iMaxUdpDg;
    return data;
}

} // namespace net
