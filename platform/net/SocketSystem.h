#pragma once
// What the socket system says about itself at start-up, and the dotted texts
// of IPv4 addresses.
#include <cstdint>
#include <string>

namespace net {

constexpr uint32_t InaddrNone = 0xFFFFFFFFu;

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

// Dotted IPv4 text -> address in network byte order; InaddrNone when Text is
// not an address.
uint32_t InetAddr(const std::string &text);
// Address in network byte order -> dotted text.
std::string InetNtoa(uint32_t address);

} // namespace net
