#pragma once
// The event loop as the socket layer's waits use it.
#include <chrono>

namespace net {

// Handles every event that is pending now, once (socket notifications, posted
// messages, timers, the user's input).
void ProcessMessages();

// One step of a wait: sleeps until the next event arrives, for at most
// MaxWait, then handles every pending event.
void WaitForMessages(std::chrono::milliseconds maxWait = std::chrono::milliseconds(2));

} // namespace net
