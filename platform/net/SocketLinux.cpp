#include "platform/net/Socket.h"

#include "platform/net/Messages.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/SocketNotifier.h"
#include "platform/net/detail/SystemAddress.h"
#include "platform/net/detail/SystemCallsLinux.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <utility>

namespace net {
namespace {

int Fail()
{
    SetLastError(ErrorFromErrno(errno));
    return SocketError;
}

uint16_t PendingError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return ErrorFromErrno(errno);
    return error == 0 ? 0 : ErrorFromErrno(error);
}

using Phase = SocketPhase;

} // namespace

// Qt's notifiers report a state (readable, writable) for as long as it lasts;
// each is therefore switched off when it has produced its notification and
// switched on again by the call that Windows Sockets takes as the cue to
// notify again.
struct Socket::State : SocketNotifier {
    int fd;
    AddressFamily family;
    Phase phase;
    bool wantRead = false;
    bool wantWrite = false;
    std::unique_ptr<QSocketNotifier> reader;
    std::unique_ptr<QSocketNotifier> writer;

    State(int descriptor, AddressFamily addressFamily, Phase start) : fd(descriptor), family(addressFamily), phase(start) {}

    void Apply()
    {
        if (!reader)
            return;
        reader->setEnabled(events != 0 && wantRead);
        writer->setEnabled(events != 0 && wantWrite);
    }

    void Enter(Phase next)
    {
        phase = next;
        wantRead = next == Phase::Connecting || next == Phase::Connected || next == Phase::Listening;
        // A connect ends with the socket writable or, refused, in error; the
        // reader catches the error and the writer the success.
        wantWrite = next == Phase::Connecting;
        Apply();
    }

    void BecomeConnected()
    {
        Enter(Phase::Connected);
        Notify(Notice::Connect);
        Notify(Notice::Write);
    }

    void ConnectEnded()
    {
        const uint16_t error = PendingError(fd);
        Address peer;
        socklen_t length = static_cast<socklen_t>(Address::Capacity());
        if (error == 0 && ::getpeername(fd, peer.Fill(), &length) != 0)
            return; // still on its way
        if (error == 0) {
            BecomeConnected();
            return;
        }
        Enter(Phase::Failed);
        Notify(Notice::Connect, error);
    }

    // Data first: the close is announced only once nothing the peer sent
    // before it is left in the socket.
    void ConnectedReadable()
    {
        int waiting = 0;
        if (::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) {
            wantRead = false;
            Apply();
            Notify(Notice::Read);
            return;
        }
        pollfd p{fd, POLLIN | POLLRDHUP, 0};
        ::poll(&p, 1, 0);
        if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) {
            Enter(Phase::Closed);
            Notify(Notice::Close, PendingError(fd));
        }
    }

    void Readable()
    {
        switch (phase) {
        case Phase::Connecting:
            ConnectEnded();
            return;
        case Phase::Listening:
            wantRead = false;
            Apply();
            Notify(Notice::Accept);
            return;
        case Phase::Connected:
            ConnectedReadable();
            return;
        case Phase::Fresh:
        case Phase::Failed:
        case Phase::Closed:
            wantRead = false;
            Apply();
            return;
        }
    }

    void Writable()
    {
        if (phase == Phase::Connecting) {
            ConnectEnded();
            return;
        }
        wantWrite = false;
        Apply();
        if (phase == Phase::Connected)
            Notify(Notice::Write);
    }
};

Socket::Socket() noexcept = default;

Socket::Socket(int fd, AddressFamily family, bool connected)
    : state_(std::make_unique<State>(fd, family, connected ? Phase::Connected : Phase::Fresh))
{
}

Socket Socket::Open(AddressFamily family)
{
    const int fd = Calls().socket(SystemFamily(family), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Fail();
        return Socket();
    }
    return Socket(fd, family, false);
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

int Socket::Descriptor() const { return state_ ? state_->fd : -1; }

uint64_t Socket::Id() const { return state_ ? state_->id : 0; }

AddressFamily Socket::Family() const { return state_ ? state_->family : AddressFamily::Unspecified; }

int Socket::Close()
{
    if (!state_)
        return 0;
    // The notifiers go first: Qt must not watch a descriptor that is gone.
    const int fd = state_->fd;
    state_.reset();
    // Not retried on EINTR: Linux has released the descriptor already, and a
    // second close could hit one opened meanwhile.
    return Calls().close(fd) == 0 ? 0 : Fail();
}

int Socket::Select(NotificationWindow *window, int number, uint16_t events)
{
    if (!state_) {
        SetLastError(ErrorFromErrno(ENOTSOCK));
        return SocketError;
    }
    State &s = *state_;
    if (!s.reader) {
        s.reader = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Read);
        s.writer = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Write);
        State *state = &s;
        QObject::connect(s.reader.get(), &QSocketNotifier::activated, [state] { state->Readable(); });
        QObject::connect(s.writer.get(), &QSocketNotifier::activated, [state] { state->Writable(); });
    }
    s.Route(window, number, events);
    s.Enter(s.phase);
    // A connected socket is writable at once.
    if (s.phase == Phase::Connected)
        s.Notify(Notice::Write);
    return 0;
}

int Socket::SetResetOnClose()
{
    const linger reset{1, 0};
    return ::setsockopt(Descriptor(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset) == 0 ? 0 : Fail();
}

int Socket::Connect(const Address &address)
{
    if (Calls().connect(Descriptor(), address.Raw(), static_cast<socklen_t>(address.Length())) == 0) {
        state_->BecomeConnected();
        return 0;
    }
    // An interrupted non-blocking connect goes on in the background, as one
    // in progress does.
    if (errno == EINPROGRESS || errno == EINTR) {
        state_->Enter(Phase::Connecting);
        SetLastError(ErrorFromErrno(EINPROGRESS));
        return SocketError;
    }
    if (state_)
        state_->Enter(Phase::Failed);
    return Fail();
}

bool Socket::CanConnect() const { return state_ && state_->phase == Phase::Fresh; }

int Socket::Bind(const Address &address)
{
    return ::bind(Descriptor(), address.Raw(), static_cast<socklen_t>(address.Length())) == 0 ? 0 : Fail();
}

int Socket::Listen(int backlog)
{
    if (::listen(Descriptor(), backlog) != 0)
        return Fail();
    state_->Enter(Phase::Listening);
    return 0;
}

Socket Socket::Accept(Address &peer)
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    int fd;
    do
        fd = Calls().accept4(Descriptor(), peer.Fill(), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    const int saved = errno;
    // The next waiting connection is announced again.
    if (state_ && state_->phase == Phase::Listening) {
        state_->wantRead = true;
        state_->Apply();
    }
    if (fd < 0) {
        errno = saved;
        Fail();
        return Socket();
    }
    return Socket(fd, Family(), true);
}

// As Windows Sockets, a socket that has never been connected refuses to move
// data whatever the system's own answer would be.
bool Socket::Unconnected() const
{
    if (!state_ || state_->phase == Phase::Connected || state_->phase == Phase::Closed)
        return false;
    SetLastError(ErrorFromErrno(ENOTCONN));
    return true;
}

long Socket::Send(const char *data, std::size_t length)
{
    if (Unconnected())
        return SocketError;
    ssize_t n;
    do
        n = Calls().send(Descriptor(), data, length, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    if (n >= 0)
        return n;
    if (errno == EWOULDBLOCK && state_ && state_->phase == Phase::Connected) {
        state_->wantWrite = true;
        state_->Apply();
    }
    return Fail();
}

template <class Call> long Socket::Received(Call receive)
{
    if (Unconnected())
        return SocketError;
    ssize_t n;
    do
        n = receive();
    while (n < 0 && errno == EINTR);
    const int saved = errno;
    // What is left, or the close behind it, is announced again.
    if (state_ && state_->phase == Phase::Connected) {
        state_->wantRead = true;
        state_->Apply();
    }
    errno = saved;
    return n < 0 ? Fail() : n;
}

long Socket::Recv(char *data, std::size_t length)
{
    return Received([&] { return Calls().recv(Descriptor(), data, length, 0); });
}

long Socket::Splice(int pipe, std::size_t length)
{
    // Never blocks: the socket is non-blocking, and a pipe that is still full
    // answers EAGAIN instead of waiting.
    return Received([&] {
        return Calls().splice(Descriptor(), nullptr, pipe, nullptr, length, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
    });
}

int Socket::GetSockName(Address &address) const
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    return ::getsockname(Descriptor(), address.Fill(), &length) == 0 ? 0 : Fail();
}

int Socket::GetPeerName(Address &address) const
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    return ::getpeername(Descriptor(), address.Fill(), &length) == 0 ? 0 : Fail();
}

} // namespace net
