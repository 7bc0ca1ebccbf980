#include "platform/net/NotificationWindow.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
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

NotificationWindow::NotificationWindow(Handler handler) : handler_(std::move(handler)) {}

void NotificationWindow::Post(const Message &msg)
{
    // Posted events of one receiver keep their order; QObject's destructor
    // removes those still pending.
    QCoreApplication::postEvent(this, new MessageEvent(msg));
}

bool NotificationWindow::SetTimer(unsigned intervalMs)
{
    KillTimer();
    if (intervalMs == 0 || intervalMs > unsigned(INT_MAX))
        return false;
    timerId_ = startTimer(int(intervalMs));
    return timerId_ != 0;
}

void NotificationWindow::KillTimer()
{
    if (timerId_ != 0)
        killTimer(std::exchange(timerId_, 0));
}

bool NotificationWindow::event(QEvent *e)
{
    if (e->type() != MessageEventType)
        return QObject::event(e);
    handler_(static_cast<MessageEvent *>(e)->message);
    // The message may be what a wait is waiting for. Qt's own dispatcher
    // (QT_NO_GLIB=1), unlike glib's, sleeps after delivering the posted events
    // it found, and the wake-up of a message posted while they were delivered
    // is spent already: woken here, the wait step returns and the wait looks
    // again. (The handler may have destroyed this object.)
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
    return true;
}

void NotificationWindow::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == timerId_)
        handler_(Message{WM_TIMER});
}

} // namespace net
