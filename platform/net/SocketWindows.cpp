#include "platform/net/Socket.h"

#include "platform/net/Messages.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/MessageWindowWindows.h"
#include "platform/net/detail/SocketNotifier.h"
#include "platform/net/detail/SystemAddress.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace net {
namespace {

// Winsock's own notifications for one socket, at its watcher window.
constexpr UINT SocketNotice = PrivateMessageBase;
// A Recv asks the watcher to look again whether a held close can go out now.
constexpr UINT CloseCheck = PrivateMessageBase + 1;

constexpr long WatchedEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// Winsock keeps the failed call's code for GetLastError itself.
int Fail() { return SocketError; }

// A Winsock call's length for a buffer of Length bytes: one call moves at
// most INT_MAX, the rest is the caller's next call.
int Bounded(std::size_t length) { return static_cast<int>(std::min<std::size_t>(length, INT_MAX)); }

bool DataWaits(SOCKET s)
{
    u_long waiting = 0;
    return ::ioctlsocket(s, FIONREAD, &waiting) == 0 && waiting > 0;
}

using Phase = SocketPhase;

} // namespace

// Winsock itself posts each notification once and re-enables it with the call
// the contract names (recv, send that would block, accept), to a watcher
// window of this socket alone: closing the socket destroys the window and
// with it whatever Winsock still had queued, so nothing of a closed socket
// reaches a later one that got the same handle. What is left to do here is
// to drop notifications that no longer hold when they arrive, and to hold a
// close back until the data before it has been received.
struct Socket::State : SocketNotifier {
    SOCKET socket;
    AddressFamily family;
    Phase phase;
    bool closeHeld = false;
    uint16_t closeError = 0;
    // A Notice::Read went out and no Recv has come since.
    bool readAnnounced = false;
    std::unique_ptr<MessageWindow> watcher;

    State(SOCKET s, AddressFamily addressFamily, Phase start) : socket(s), family(addressFamily), phase(start) {}

    void Close()
    {
        phase = Phase::Closed;
        closeHeld = false;
        Notify(Notice::Close, closeError);
    }

    void Noticed(uint16_t event, uint16_t error)
    {
        switch (event) {
        case FD_CONNECT:
            if (phase != Phase::Connecting)
                return;
            phase = error == 0 ? Phase::Connected : Phase::Failed;
            Notify(Notice::Connect, error);
            return;
        case FD_READ:
            // Winsock posts a notice after every recv that leaves data behind,
            // many for one run of reads; passed on, each would start a run of
            // its own, and the event loop's rounds would grow until timers and
            // input wait. So one goes out until the next Recv. A Recv may also
            // have taken the data since Winsock queued this.
            if (phase == Phase::Connected && !readAnnounced && DataWaits(socket)) {
                readAnnounced = true;
                Notify(Notice::Read);
            }
            return;
        case FD_WRITE:
            if (phase == Phase::Connected)
                Notify(Notice::Write);
            return;
        case FD_ACCEPT:
            if (phase == Phase::Listening)
                Notify(Notice::Accept);
            return;
        case FD_CLOSE:
            if (phase != Phase::Connected)
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

    // After each Recv: the next notice of data is passed on, and a held
    // close may go out once nothing is left.
    void Received()
    {
        readAnnounced = false;
        if (closeHeld && watcher)
            ::PostMessageW(watcher->Handle(), CloseCheck, 0, 0);
    }
};

Socket::Socket() noexcept = default;

// A SOCKET is a kernel handle, well below INT_MAX in every process.
Socket::Socket(int fd, AddressFamily family, bool connected)
    : state_(std::make_unique<State>(static_cast<SOCKET>(fd), family, connected ? Phase::Connected : Phase::Fresh))
{
}

Socket Socket::Open(AddressFamily family)
{
    const SOCKET s = ::socket(SystemFamily(family), SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        Fail();
        return Socket();
    }
    // Dual-stack, as Linux makes an IPv6 socket: Windows would refuse an
    // IPv4-mapped address (::ffff:127.0.0.1) on its own default.
    const DWORD v6Only = 0;
    u_long nonBlocking = 1;
    if ((family == AddressFamily::Ipv6 &&
         ::setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char *>(&v6Only), sizeof v6Only) != 0) ||
        ::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        Fail();
        ::closesocket(s);
        return Socket();
    }
    return Socket(static_cast<int>(s), family, false);
}

Socket::~Socket() { Close(); }

Socket::Socket(Socket &&other) noexcept = default;

Socket &Socket::operator=(Socket &&other) noexcept
{
    if (this != &other) {
        Close();
        state_ = std::move(other.state_);
    }
    return *this;
}

int Socket::Descriptor() const { return state_ ? static_cast<int>(state_->socket) : -1; }

uint64_t Socket::Id() const { return state_ ? state_->id : 0; }

AddressFamily Socket::Family() const { return state_ ? state_->family : AddressFamily::Unspecified; }

int Socket::Close()
{
    if (!state_)
        return 0;
    // Closed first, so that Winsock posts nothing more; the watcher then
    // takes with it whatever Winsock had queued.
    const int result = ::closesocket(state_->socket) == 0 ? 0 : Fail();
    state_.reset();
    return result;
}

int Socket::Select(NotificationWindow *window, int number, uint16_t events)
{
    if (!state_) {
        SetLastError(WSAENOTSOCK);
        return SocketError;
    }
    State &s = *state_;
    if (!s.watcher) {
        State *state = &s;
        s.watcher = std::make_unique<MessageWindow>(
            [state](UINT message, WPARAM wParam, LPARAM lParam) { state->Handle(message, wParam, lParam); });
        if (!s.watcher->Handle()) {
            s.watcher.reset();
            SetLastError(WSAENOBUFS);
            return SocketError;
        }
    }
    s.Route(window, number, events);
    // Every call announces what holds now again: a connected socket is
    // writable, waiting data or a waiting connection is readable.
    return ::WSAAsyncSelect(s.socket, s.watcher->Handle(), SocketNotice, WatchedEvents) == 0 ? 0 : Fail();
}

int Socket::SetResetOnClose()
{
    const linger reset{1, 0};
    return ::setsockopt(static_cast<SOCKET>(Descriptor()), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&reset),
                        sizeof reset) == 0
               ? 0
               : Fail();
}

int Socket::Connect(const Address &address)
{
    if (!state_) {
        SetLastError(WSAENOTSOCK);
        return SocketError;
    }
    if (::connect(state_->socket, address.Raw(), address.Length()) == 0) {
        state_->phase = Phase::Connected;
        state_->Notify(Notice::Connect);
        state_->Notify(Notice::Write);
        return 0;
    }
    if (::WSAGetLastError() == WSAEWOULDBLOCK) {
        state_->phase = Phase::Connecting;
        return Fail();
    }
    const int failed = Fail();
    state_->phase = Phase::Failed;
    return failed;
}

bool Socket::CanConnect() const { return state_ && state_->phase == Phase::Fresh; }

int Socket::Bind(const Address &address)
{
    return ::bind(static_cast<SOCKET>(Descriptor()), address.Raw(), address.Length()) == 0 ? 0 : Fail();
}

int Socket::Listen(int backlog)
{
    if (::listen(static_cast<SOCKET>(Descriptor()), backlog) != 0)
        return Fail();
    state_->phase = Phase::Listening;
    return 0;
}

Socket Socket::Accept(Address &peer)
{
    int length = Address::Capacity();
    // Winsock announces the next waiting connection after this call.
    const SOCKET s = ::accept(static_cast<SOCKET>(Descriptor()), peer.Fill(), &length);
    if (s == INVALID_SOCKET) {
        Fail();
        return Socket();
    }
    return Socket(static_cast<int>(s), Family(), true);
}

// As on every system, a socket that has never been connected refuses to move data.
bool Socket::Unconnected() const
{
    if (!state_ || state_->phase == Phase::Connected || state_->phase == Phase::Closed)
        return false;
    SetLastError(WSAENOTCONN);
    return true;
}

long Socket::Send(const char *data, std::size_t length)
{
    if (Unconnected())
        return SocketError;
    const int n = ::send(static_cast<SOCKET>(Descriptor()), data, Bounded(length), 0);
    return n == SOCKET_ERROR ? Fail() : n;
}

template <class Call> long Socket::Received(Call receive)
{
    if (Unconnected())
        return SocketError;
    const long n = receive();
    const int error = ::WSAGetLastError();
    if (state_)
        state_->Received();
    ::WSASetLastError(error);
    return n == SOCKET_ERROR ? Fail() : n;
}

long Socket::Recv(char *data, std::size_t length)
{
    return Received([&] { return long(::recv(static_cast<SOCKET>(Descriptor()), data, Bounded(length), 0)); });
}

// Windows has no splice: receiving into a file takes the plain way.
long Socket::Splice(int, std::size_t)
{
    SetLastError(WSAEINVAL);
    return SocketError;
}

int Socket::GetSockName(Address &address) const
{
    int length = Address::Capacity();
    return ::getsockname(static_cast<SOCKET>(Descriptor()), address.Fill(), &length) == 0 ? 0 : Fail();
}

int Socket::GetPeerName(Address &address) const
{
    int length = Address::Capacity();
    return ::getpeername(static_cast<SOCKET>(Descriptor()), address.Fill(), &length) == 0 ? 0 : Fail();
}

} // namespace net
