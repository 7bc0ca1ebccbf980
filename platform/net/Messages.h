#pragma once
// The messages by which the network layer reaches a component's notification
// object, numbered as the socket component has always numbered them, and the
// six socket event codes carried in their low word. The names are our own, so
// that this header may stand before or after any system header.
#include "platform/net/Address.h"

#include <cstdint>
#include <vector>

namespace net {

// Socket event codes: the Event of a SocketEvent message.
namespace Notice {
constexpr uint16_t Read = 1;
constexpr uint16_t Write = 2;
constexpr uint16_t Oob = 4;
constexpr uint16_t Accept = 8;
constexpr uint16_t Connect = 16;
constexpr uint16_t Close = 32;
constexpr uint16_t All = 63;
} // namespace Notice

// One message. Event and Error are the low and high word of what Windows
// packs into lParam; Tag identifies the lookup a LookupDone answers (0 for
// socket events) and Addresses carries that lookup's answer, every address
// of the name in the order to try them. Source is the Id of the socket that raised the event (0 for
// anything else): a socket's descriptor number is reused, its Id never, so an
// event still queued when its socket is replaced can be told from the
// replacement's.
struct Message {
    // Message numbers.
    static constexpr int SocketEvent = 1125;  // a selected socket event
    static constexpr int LookupDone = 1126;   // a host lookup ended, or Notice::Accept after Listen(true)
    static constexpr int WriteRequest = 1127; // the component asks itself to send
    static constexpr int ReadRequest = 1128;  // the component asks itself to receive
    static constexpr int Timer = 275;         // a tick of the object's system timer

    int Number = 0;
    uint16_t Event = 0;
    uint16_t Error = 0;
    uint32_t Tag = 0;
    uint64_t Source = 0;
    std::vector<Address> Addresses = {};
};

} // namespace net
