#pragma once
// What the shared notification object (NotificationWindow.cpp) asks of each
// system: the receiver its messages are posted to and its timer ticks at.
// Each system defines NotificationWindow::Receiver and these calls in its own
// file (NotificationWindowLinux.cpp, NotificationWindowWindows.cpp).
#include "platform/net/NotificationWindow.h"

#include <memory>

namespace net::native {

using Receiver = NotificationWindow::Receiver;

// A receiver that hands each message and tick to Handler.
std::shared_ptr<Receiver> MakeReceiver(NotificationWindow::Handler handler);
// Queues Msg for the receiver's handler, in order, and returns at once.
void Post(Receiver &receiver, const Message &msg);
// Starts the receiver's one periodic timer of IntervalMs (1 to INT_MAX);
// whether the system gave one.
bool StartTimer(Receiver &receiver, unsigned intervalMs);
// Stops the timer StartTimer gave.
void StopTimer(Receiver &receiver);

} // namespace net::native
