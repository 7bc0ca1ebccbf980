#include "platform/net/detail/SocketNotifier.h"

#include <atomic>

namespace net {

void SocketNotifier::Notify(uint16_t event, uint16_t error) const
{
    if (post && (events & event) != 0)
        post(Message{number, event, error, 0, id});
}

void SocketNotifier::Route(NotificationWindow *window, int messageNumber, uint16_t selected)
{
    post = window ? window->PostWhileAlive() : NotificationWindow::Poster();
    number = messageNumber;
    events = selected;
}

uint64_t SocketNotifier::NextId()
{
    static std::atomic<uint64_t> last{0};
    return ++last;
}

} // namespace net
