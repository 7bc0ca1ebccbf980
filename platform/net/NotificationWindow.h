#pragma once
// The hidden object a component receives its notifications at: socket events,
// lookup completions, its own read and write requests, and the ticks of its
// system timer. Messages are posted and handled in the order they were posted,
// only while the event loop runs (the main loop or a wait loop); a wait step
// that handled one returns. Destroying the object drops the messages still
// pending for it.
#include "platform/net/Messages.h"

#include <functional>
#include <memory>

namespace net {

class NotificationWindow {
public:
    using Handler = std::function<void(const Message &)>;

    explicit NotificationWindow(Handler handler);
    ~NotificationWindow();
    NotificationWindow(const NotificationWindow &) = delete;
    NotificationWindow &operator=(const NotificationWindow &) = delete;

    // Queues Msg for the handler; returns at once.
    void Post(const Message &msg);
    // Posts as Post does for as long as this object lives, and does nothing
    // afterwards: for news that may come after its receiver is gone (a
    // lookup's answer, a socket's event).
    using Poster = std::function<void(const Message &)>;
    Poster PostWhileAlive() const;

    // Starts the periodic system timer (ticks arrive as Message::Timer),
    // replacing a running one. False when the system has no timer to give.
    bool SetTimer(unsigned intervalMs);
    void KillTimer();

    // Each system's, behind detail/NotificationReceiver.h.
    struct Receiver;

private:
    std::shared_ptr<Receiver> receiver_;
    bool timing_ = false;
};

} // namespace net
