#include "platform/net/NotificationWindow.h"

#include "platform/net/detail/PosterWhileAlive.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimerEvent>
#include <climits>
#include <utility>

namespace net {
namespace {

const QEvent::Type MessageEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    explicit MessageEvent(const Message &msg) : QEvent(MessageEventType), message(msg) {}
    Message message;
};

} // namespace

// The Qt object the messages are posted to; QObject's destructor removes those
// still pending.
struct NotificationWindow::Receiver : QObject {
    explicit Receiver(Handler h) : handler(std::move(h)) {}

    void Post(const Message &msg)
    {
        // Posted events of one receiver keep their order.
        QCoreApplication::postEvent(this, new MessageEvent(msg));
    }

    bool event(QEvent *e) override
    {
        if (e->type() != MessageEventType)
            return QObject::event(e);
        handler(static_cast<MessageEvent *>(e)->message);
        // The message may be what a wait is waiting for. Qt's own dispatcher
        // (QT_NO_GLIB=1), unlike glib's, sleeps after delivering the posted events
        // it found, and the wake-up of a message posted while they were delivered
        // is spent already: woken here, the wait step returns and the wait looks
        // again. (The handler may have destroyed this object.)
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->wakeUp();
        return true;
    }

    void timerEvent(QTimerEvent *e) override
    {
        if (e->timerId() == timerId)
            handler(Message{Message::Timer});
    }

    Handler handler;
    int timerId = 0;
};

NotificationWindow::NotificationWindow(Handler handler) : receiver_(std::make_shared<Receiver>(std::move(handler))) {}

NotificationWindow::~NotificationWindow() = default;

void NotificationWindow::Post(const Message &msg) { receiver_->Post(msg); }

NotificationWindow::Poster NotificationWindow::PostWhileAlive() const { return PosterWhileAlive(receiver_); }

bool NotificationWindow::SetTimer(unsigned intervalMs)
{
    KillTimer();
    if (intervalMs == 0 || intervalMs > unsigned(INT_MAX))
        return false;
    receiver_->timerId = receiver_->startTimer(int(intervalMs));
    return receiver_->timerId != 0;
}

void NotificationWindow::KillTimer()
{
    if (receiver_->timerId != 0)
        receiver_->killTimer(std::exchange(receiver_->timerId, 0));
}

} // namespace net
