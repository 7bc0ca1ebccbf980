#include "platform/net/detail/SystemSocket.h"

#include "platform/net/Messages.h"
#include "platform/net/Socket.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/MessageWindowWindows.h"
#include "platform/net/detail/SystemAddress.h"

#include <algorithm>
#include <climits>

namespace net {
namespace {

using Phase = SocketPhase;

// Winsock's own notifications for one socket, at its watcher window.
constexpr UINT SocketNotice = PrivateMessageBase;
// A Recv asks the watcher to look again whether a held close can go out now.
constexpr UINT CloseCheck = PrivateMessageBase + 1;

constexpr long WatchedEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// Winsock keeps the failed call's code for GetLastError itself.
int Fail() { return SocketError; }

SOCKET Native(SocketHandle handle) { return static_cast<SOCKET>(handle); }

// A Winsock call's length for a buffer of Length bytes: one call moves at
// most INT_MAX, the rest is the caller's next call.
int Bounded(std::size_t length) { return static_cast<int>(std::min<std::size_t>(length, INT_MAX)); }

bool DataWaits(SOCKET s)
{
    u_long waiting = 0;
    return ::ioctlsocket(s, FIONREAD, &waiting) == 0 && waiting > 0;
}

} // namespace

// Winsock itself posts each notification once and re-enables it with the call
// the contract names (recv, send that would block, accept), to a watcher
// window of this socket alone: closing the socket destroys the window and
// with it whatever Winsock still had queued, so nothing of a closed socket
// reaches a later one that got the same handle. What is left to do here is
// to drop notifications that no longer hold when they arrive, and to hold a
// close back until the data before it has been received.
struct SocketWatcher {
    SocketState &state;
    const SOCKET socket = Native(state.handle);
    bool closeHeld = false;
    uint16_t closeError = 0;
    // A Notice::Read went out and no Recv has come since.
    bool readAnnounced = false;
    MessageWindow window{[this](UINT message, WPARAM wParam, LPARAM lParam) { Handle(message, wParam, lParam); }};

    explicit SocketWatcher(SocketState &watched) : state(watched) {}

    void Close()
    {
        closeHeld = false;
        state.EndConnection(closeError);
    }

    void Noticed(uint16_t event, uint16_t error)
    {
        switch (event) {
        case FD_CONNECT:
            if (state.phase == Phase::Connecting)
                state.EndConnect(error);
            return;
        case FD_READ:
            // Winsock posts a notice after every recv that leaves data behind,
            // many for one run of reads; passed on, each would start a run of
            // its own, and the event loop's rounds would grow until timers and
            // input wait. So one goes out until the next Recv. A Recv may also
            // have taken the data since Winsock queued this.
            if (state.phase == Phase::Connected && !readAnnounced && DataWaits(socket)) {
                readAnnounced = true;
                state.Notify(Notice::Read);
            }
            return;
        case FD_WRITE:
            if (state.phase == Phase::Connected)
                state.Notify(Notice::Write);
            return;
        case FD_ACCEPT:
            if (state.phase == Phase::Listening)
                state.Notify(Notice::Accept);
            return;
        case FD_CLOSE:
            if (state.phase != Phase::Connected)
                return;
            closeError = error;
            closeHeld = true;
            // Data still waiting goes first; the Recv that empties the
            // socket lets the close out.
            if (!DataWaits(socket))
                Close();
            return;
        default:
            return;
        }
    }

    void Handle(UINT message, WPARAM wParam, LPARAM lParam)
    {
        // A socket accepted here reports to this window until it is selected
        // for itself.
        if (message == SocketNotice && wParam == socket)
            Noticed(WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
        else if (message == CloseCheck && closeHeld && !DataWaits(socket))
            Close();
    }
};

void WatcherDeleter::operator()(SocketWatcher *watcher) const { delete watcher; }

namespace native {

SocketHandle Open(AddressFamily family)
{
    const SOCKET s = ::socket(SystemFamily(family), SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return NoHandle;
    // Dual-stack, as Linux makes an IPv6 socket: Windows would refuse an
    // IPv4-mapped address (::ffff:127.0.0.1) on its own default.
    const DWORD v6Only = 0;
    u_long nonBlocking = 1;
    if ((family == AddressFamily::Ipv6 &&
         ::setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char *>(&v6Only), sizeof v6Only) != 0) ||
        ::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        const int error = ::WSAGetLastError();
        ::closesocket(s);
        ::WSASetLastError(error);
        return NoHandle;
    }
    return static_cast<SocketHandle>(s);
}

int Close(SocketHandle handle, WatcherPointer watcher)
{
    // Closed first, so that Winsock posts nothing more; the watcher then
    // takes with it whatever Winsock had queued.
    const int result = ::closesocket(Native(handle)) == 0 ? 0 : Fail();
    watcher.reset();
    return result;
}

ConnectResult Connect(SocketHandle handle, const Address &address)
{
    if (::connect(Native(handle), address.Raw(), address.Length()) == 0)
        return ConnectResult::Connected;
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? ConnectResult::Pending : ConnectResult::Failed;
}

int Bind(SocketHandle handle, const Address &address)
{
    return ::bind(Native(handle), address.Raw(), address.Length()) == 0 ? 0 : Fail();
}

int Listen(SocketHandle handle, int backlog) { return ::listen(Native(handle), backlog) == 0 ? 0 : Fail(); }

SocketHandle Accept(SocketHandle handle, Address &peer)
{
    int length = Address::Capacity();
    // Winsock announces the next waiting connection after this call.
    const SOCKET s = ::accept(Native(handle), peer.Fill(), &length);
    return s == INVALID_SOCKET ? NoHandle : static_cast<SocketHandle>(s);
}

long Send(SocketHandle handle, const char *data, std::size_t length)
{
    const int n = ::send(Native(handle), data, Bounded(length), 0);
    return n == SOCKET_ERROR ? Fail() : n;
}

long Recv(SocketHandle handle, char *data, std::size_t length)
{
    const int n = ::recv(Native(handle), data, Bounded(length), 0);
    return n == SOCKET_ERROR ? Fail() : n;
}

// Windows has no splice: receiving into a file takes the plain way.
long Splice(SocketHandle, int, std::size_t)
{
    SetLastError(ErrorCode::InvalidArgument);
    return SocketError;
}

int SockName(SocketHandle handle, Address &address)
{
    int length = Address::Capacity();
    return ::getsockname(Native(handle), address.Fill(), &length) == 0 ? 0 : Fail();
}

int PeerName(SocketHandle handle, Address &address)
{
    int length = Address::Capacity();
    return ::getpeername(Native(handle), address.Fill(), &length) == 0 ? 0 : Fail();
}

int SetResetOnClose(SocketHandle handle)
{
    const linger reset{1, 0};
    return ::setsockopt(Native(handle), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&reset),
                        sizeof reset) == 0
               ? 0
               : Fail();
}

WatcherPointer Watch(SocketState &state)
{
    WatcherPointer watcher(new SocketWatcher(state));
    if (!watcher->window.Handle()) {
        watcher.reset();
        SetLastError(WSAENOBUFS);
        return nullptr;
    }
    return watcher;
}

int Selected(SocketWatcher &watcher)
{
    // Every call announces what holds now again: a connected socket is
    // writable, waiting data or a waiting connection is readable.
    return ::WSAAsyncSelect(watcher.socket, watcher.window.Handle(), SocketNotice, WatchedEvents) == 0 ? 0 : Fail();
}

// Winsock re-enables its own notices with the calls themselves.
void PhaseEntered(SocketWatcher &) {}
void SendBlocked(SocketWatcher &) {}
void Accepted(SocketWatcher &) {}

// After each Recv: the next notice of data is passed on, and a held close
// may go out once nothing is left.
void Received(SocketWatcher &watcher)
{
    watcher.readAnnounced = false;
    if (!watcher.closeHeld)
        return;
    const int error = ::WSAGetLastError();
    ::PostMessageW(watcher.window.Handle(), CloseCheck, 0, 0);
    ::WSASetLastError(error);
}

} // namespace native

} // namespace net
