#pragma once
// The event loop as the socket layer's waits use it.

namespace net {

// Handles every event that is pending now, once (socket notifications, posted
// messages, timers, the user's input).
void ProcessMessages();

// One step of a wait: sleeps until at least one event has arrived and handles
// every pending event. A waiting program wakes for nothing else, so whatever
// ends a wait must arrive as an event (a notification, a message, a timer).
void WaitForMessages();

} // namespace net
