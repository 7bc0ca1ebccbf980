#pragma once
// Socket notifications as Windows Sockets delivers them to a window, built on
// Qt's socket notifiers. For a selected socket the notification object
// receives, as the message chosen:
//   FD_CONNECT once when a connect ends, with its error code;
//   FD_WRITE after a successful connect (or when a connected socket is
//     selected), and again only after a send that would have blocked can go on;
//   FD_READ when data waits, and again only after the next Recv;
//   FD_ACCEPT when a connection waits on a listening socket, and again only
//     after the next Accept;
//   FD_CLOSE once when the peer has closed or reset the connection, even while
//     received data is still unread.
// So a socket that stays writable, or whose data is left unread, costs nothing.
#include <cstdint>

namespace net {

class NotificationWindow;

// Selects Events (a mask of FD_ codes) of socket S to arrive at Window as
// message Number; Events 0 stops every notification of S. Returns 0, or
// SocketError when S is not a socket.
int AsyncSelect(int s, NotificationWindow *window, int number, uint16_t events);

// Holds the notifications of S back, and lets them go on with the selection
// unchanged; data that arrived meanwhile is announced then.
void SuspendNotifications(int s);
void ResumeNotifications(int s);
bool NotificationsSuspended(int s);

// What the socket calls report, so that the notifications follow them.
namespace select_hooks {
void Connecting(int s);    // a connect is in progress
void Connected(int s);     // a connect succeeded at once
void Listening(int s);     // listen succeeded
void Received(int s);      // Recv was called: FD_READ may come again
void Accepted(int s);      // Accept was called: FD_ACCEPT may come again
void SendBlocked(int s);   // Send would have blocked: FD_WRITE when it can go on
void Closed(int s);        // the socket is gone
} // namespace select_hooks

} // namespace net
