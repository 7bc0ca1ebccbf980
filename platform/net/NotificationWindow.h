#pragma once
// The hidden object a component receives its notifications at: socket events,
// lookup completions, its own read and write requests, and the ticks of its
// system timer. Messages are posted and handled in the order they were posted,
// only while the event loop runs (the main loop or a wait loop); a wait step
// that handled one returns. Destroying the object drops the messages still
// pending for it.
#include "platform/net/Messages.h"

#include <QObject>
#include <functional>

namespace net {

class NotificationWindow : public QObject {
public:
    using Handler = std::function<void(const Message &)>;

    explicit NotificationWindow(Handler handler);

    // Queues Msg for the handler; returns at once.
    void Post(const Message &msg);

    // Starts the periodic system timer (ticks arrive as WM_TIMER), replacing a
    // running one. False when the system has no timer to give.
    bool SetTimer(unsigned intervalMs);
    void KillTimer();

protected:
    bool event(QEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

private:
    Handler handler_;
    int timerId_ = 0;
};

} // namespace net
