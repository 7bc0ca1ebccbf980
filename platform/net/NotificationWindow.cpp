// The notification object's own logic, the same on every system; the
// receiver and its timer are each system's (detail/NotificationReceiver.h).
#include "platform/net/NotificationWindow.h"

#include "platform/net/detail/NotificationReceiver.h"

#include <climits>
#include <utility>

namespace net {

NotificationWindow::NotificationWindow(Handler handler) : receiver_(native::MakeReceiver(std::move(handler))) {}

NotificationWindow::~NotificationWindow() { KillTimer(); }

void NotificationWindow::Post(const Message &msg) { native::Post(*receiver_, msg); }

NotificationWindow::Poster NotificationWindow::PostWhileAlive() const
{
    return [weak = std::weak_ptr<Receiver>(receiver_)](const Message &msg) {
        if (const std::shared_ptr<Receiver> alive = weak.lock())
            native::Post(*alive, msg);
    };
}

bool NotificationWindow::SetTimer(unsigned intervalMs)
{
    KillTimer();
    if (intervalMs == 0 || intervalMs > unsigned(INT_MAX))
        return false;
    timing_ = native::StartTimer(*receiver_, intervalMs);
    return timing_;
}

void NotificationWindow::KillTimer()
{
    if (std::exchange(timing_, false))
        native::StopTimer(*receiver_);
}

} // namespace net
