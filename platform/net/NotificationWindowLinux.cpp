#include "platform/net/detail/NotificationReceiver.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimerEvent>
#include <memory>
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

namespace native {

std::shared_ptr<Receiver> MakeReceiver(NotificationWindow::Handler handler) { return std::make_shared<Receiver>(std::move(handler)); }

void Post(Receiver &receiver, const Message &msg)
{
    // Posted events of one receiver keep their order.
    QCoreApplication::postEvent(&receiver, new MessageEvent(msg));
}

bool StartTimer(Receiver &receiver, unsigned intervalMs)
{
    receiver.timerId = receiver.startTimer(int(intervalMs));
    return receiver.timerId != 0;
}

void StopTimer(Receiver &receiver) { receiver.killTimer(std::exchange(receiver.timerId, 0)); }

} // namespace native

} // namespace net
