#include "platform/net/SocketSystem.h"

#include <winsock2.h>

namespace net {

// Asks for Windows Sockets 1.1, the version the component is written for;
// the highest version the system offers comes in the report. WSAStartup's own
// report, or an empty one (version 0) when it failed, with its code for
// GetLastError.
StartupData Startup()
{
    StartupData data;
    WSADATA system{};
    if (const int error = ::WSAStartup(MAKEWORD(1, 1), &system); error != 0) {
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
