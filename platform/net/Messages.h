#pragma once
// The messages by which the network layer reaches a component's notification
// object, numbered as the socket component has always numbered them, and the
// six socket event codes carried in their low word.
#include "platform/net/Address.h"

#include <cstdint>
#include <vector>

namespace net {

// Message numbers.
constexpr int WM_SOCKETEVENT = 1125;  // a selected socket event
constexpr int WM_LOOKUPDONE = 1126;   // a host lookup ended, or FD_ACCEPT after Listen(true)
constexpr int WM_WRITEREQUEST = 1127; // the component asks itself to send
constexpr int WM_READREQUEST = 1128;  // the component asks itself to receive
constexpr int WM_TIMER = 275;         // a tick of the object's system timer

// Socket event codes.
constexpr uint16_t FD_READ = 1;
constexpr uint16_t FD_WRITE = 2;
constexpr uint16_t FD_OOB = 4;
constexpr uint16_t FD_ACCEPT = 8;
constexpr uint16_t FD_CONNECT = 16;
constexpr uint16_t FD_CLOSE = 32;
constexpr uint16_t FD_ALL_EVENTS = 63;

// One message. Event and Error are the low and high word of what Windows
// packs into lParam; Tag identifies the lookup a WM_LOOKUPDONE answers (0 for
// socket events) and Addresses carries that lookup's answer, every address
// of the name in the order to try them. Source is the Id of the socket that raised the event (0 for
// anything else): a socket's descriptor number is reused, its Id never, so an
// event still queued when its socket is replaced can be told from the
// replacement's.
struct Message {
    int Number = 0;
    uint16_t Event = 0;
    uint16_t Error = 0;
    uint32_t Tag = 0;
    uint64_t Source = 0;
    std::vector<Address> Addresses = {};
};

} // namespace net
