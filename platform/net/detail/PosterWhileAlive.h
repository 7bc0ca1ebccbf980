#pragma once
// A notification object's PostWhileAlive, for each system's receiver of its
// messages: the poster holds the receiver weakly and posts only while it lives.
#include "platform/net/NotificationWindow.h"

#include <memory>

namespace net {

template <class Receiver> NotificationWindow::Poster PosterWhileAlive(const std::shared_ptr<Receiver> &receiver)
{
    return [weak = std::weak_ptr<Receiver>(receiver)](const Message &msg) {
        if (const std::shared_ptr<Receiver> alive = weak.lock())
            alive->Post(msg);
    };
}

} // namespace net
