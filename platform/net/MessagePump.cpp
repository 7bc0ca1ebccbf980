#include "platform/net/MessagePump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QObject>

namespace net {

void ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitForMessages(std::chrono::milliseconds maxWait)
{
    // A plain sleep would hold arriving data back for the whole step; waiting
    // in the dispatcher wakes at the first event, and the timer bounds it.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
        QObject waker;
        waker.startTimer(maxWait, Qt::PreciseTimer);
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    }
    ProcessMessages();
}

} // namespace net
