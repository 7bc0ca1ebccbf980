#pragma once
// What the socket system says about itself at start-up.
#include <cstdint>
#include <string>

namespace net {

// What the start-up of the socket system reports (WSADATA).
struct StartupData {
    uint16_t Version = 0;     // high byte major, low byte minor
    uint16_t HighVersion = 0;
    std::string Description;
    std::string SystemStatus;
    uint16_t MaxSockets = 0;
    uint16_t MaxUdpDg = 0;
};
StartupData Startup();

} // namespace net
