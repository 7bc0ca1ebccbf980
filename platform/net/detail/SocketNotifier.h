#pragma once
// What every system's socket keeps beside its handle: where it stands, and
// where its notifications go, each tagged with the socket's Id. For the
// platform's own code.
#include "platform/net/NotificationWindow.h"

#include <cstdint>

namespace net {

enum class SocketPhase { Fresh, Connecting, Failed, Connected, Listening, Closed };

struct SocketNotifier {
    // Unique in the process and never given again.
    const uint64_t id = NextId();
    NotificationWindow::Poster post;  // empty until selected
    int number = 0;
    uint16_t events = 0;

    // Event goes to the window as message Number if it was selected.
    void Notify(uint16_t event, uint16_t error = 0) const;
    // From now on the selected Events go to Window as message Number.
    void Route(NotificationWindow *window, int messageNumber, uint16_t selected);

private:
    static uint64_t NextId();
};

} // namespace net
