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

// Sees each message the loop fetches before it is dispatched: where a window
// handles keys of its own (a dialog's Tab and Enter) or must notice the end
// of the program. The system message comes as the loop fetched it (a Win32
// MSG); where the toolkit dispatches everything itself, no filter is called.
class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    // True when SystemMessage has been dealt with and must not be dispatched.
    virtual bool Filter(void *systemMessage) = 0;
};

// Installs Filter for every later message (nullptr: none); returns the one
// installed before. The caller keeps ownership.
MessageFilter *SetMessageFilter(MessageFilter *filter);

} // namespace net
