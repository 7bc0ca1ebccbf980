#include "platform/net/detail/SystemSocket.h"

#include "platform/net/Messages.h"
#include "platform/net/Socket.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/SystemAddress.h"
#include "platform/net/detail/SystemCallsLinux.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace net {
namespace {

using Phase = SocketPhase;

int Fail()
{
    SetLastError(ErrorFromErrno(errno));
    return SocketError;
}

// The call, repeated while a signal interrupts it.
template <class Call> auto Uninterrupted(Call call)
{
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

int Descriptor(SocketHandle handle) { return static_cast<int>(handle); }

uint16_t PendingError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return ErrorFromErrno(errno);
    return error == 0 ? 0 : ErrorFromErrno(error);
}

} // namespace

// Qt's notifiers report a state (readable, writable) for as long as it lasts;
// each is therefore switched off when it has produced its notification and
// switched on again by the call that Windows Sockets takes as the cue to
// notify again.
struct SocketWatcher {
    SocketState &state;
    const int fd = Descriptor(state.handle);
    bool wantRead = false;
    bool wantWrite = false;
    QSocketNotifier reader{fd, QSocketNotifier::Read};
    QSocketNotifier writer{fd, QSocketNotifier::Write};

    explicit SocketWatcher(SocketState &watched) : state(watched)
    {
        QObject::connect(&reader, &QSocketNotifier::activated, [this] { Readable(); });
        QObject::connect(&writer, &QSocketNotifier::activated, [this] { Writable(); });
    }

    void Apply()
    {
        reader.setEnabled(state.events != 0 && wantRead);
        writer.setEnabled(state.events != 0 && wantWrite);
    }

    void Follow(Phase phase)
    {
        wantRead = phase == Phase::Connecting || phase == Phase::Connected || phase == Phase::Listening;
        // A connect ends with the socket writable or, refused, in error; the
        // reader catches the error and the writer the success.
        wantWrite = phase == Phase::Connecting;
        Apply();
    }

    void Watch(bool &want)
    {
        want = true;
        Apply();
    }

    void Unwatch(bool &want)
    {
        want = false;
        Apply();
    }

    void ConnectEnded()
    {
        const uint16_t error = PendingError(fd);
        Address peer;
        socklen_t length = static_cast<socklen_t>(Address::Capacity());
        if (error == 0 && ::getpeername(fd, peer.Fill(), &length) != 0)
            return; // still on its way
        state.EndConnect(error);
        // The writer is off while connected, so the Write that follows a
        // connect goes out here.
        if (error == 0)
            state.Notify(Notice::Write);
    }

    // Data first: the close is announced only once nothing the peer sent
    // before it is left in the socket.
    void ConnectedReadable()
    {
        int waiting = 0;
        if (::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) {
            Unwatch(wantRead);
            state.Notify(Notice::Read);
            return;
        }
        pollfd p{fd, POLLIN | POLLRDHUP, 0};
        ::poll(&p, 1, 0);
        if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
            state.EndConnection(PendingError(fd));
    }

    void Readable()
    {
        switch (state.phase) {
        case Phase::Connecting:
            ConnectEnded();
            return;
        case Phase::Listening:
            Unwatch(wantRead);
            state.Notify(Notice::Accept);
            return;
        case Phase::Connected:
            ConnectedReadable();
            return;
        case Phase::Fresh:
        case Phase::Failed:
        case Phase::Closed:
            Unwatch(wantRead);
            return;
        }
    }

    void Writable()
    {
        if (state.phase == Phase::Connecting) {
            ConnectEnded();
            return;
        }
        Unwatch(wantWrite);
        if (state.phase == Phase::Connected)
            state.Notify(Notice::Write);
    }
};

void WatcherDeleter::operator()(SocketWatcher *watcher) const { delete watcher; }

namespace native {

SocketHandle Open(AddressFamily family)
{
    const int fd = Calls().socket(SystemFamily(family), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Fail();
        return NoHandle;
    }
    return fd;
}

int Close(SocketHandle handle, WatcherPointer watcher)
{
    // The notifiers go first: Qt must not watch a descriptor that is gone.
    watcher.reset();
    // Not retried on EINTR: Linux has released the descriptor already, and a
    // second close could hit one opened meanwhile.
    return Calls().close(Descriptor(handle)) == 0 ? 0 : Fail();
}

ConnectResult Connect(SocketHandle handle, const Address &address)
{
    if (Calls().connect(Descriptor(handle), address.Raw(), static_cast<socklen_t>(address.Length())) == 0)
        return ConnectResult::Connected;
    // An interrupted non-blocking connect goes on in the background, as one
    // in progress does.
    if (errno == EINPROGRESS || errno == EINTR)
        return ConnectResult::Pending;
    Fail();
    return ConnectResult::Failed;
}

int Bind(SocketHandle handle, const Address &address)
{
    return ::bind(Descriptor(handle), address.Raw(), static_cast<socklen_t>(address.Length())) == 0 ? 0 : Fail();
}

int Listen(SocketHandle handle, int backlog) { return ::listen(Descriptor(handle), backlog) == 0 ? 0 : Fail(); }

SocketHandle Accept(SocketHandle handle, Address &peer)
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    const int fd = Uninterrupted(
        [&] { return Calls().accept4(Descriptor(handle), peer.Fill(), &length, SOCK_NONBLOCK | SOCK_CLOEXEC); });
    if (fd < 0) {
        Fail();
        return NoHandle;
    }
    return fd;
}

long Send(SocketHandle handle, const char *data, std::size_t length)
{
    const ssize_t n = Uninterrupted([&] { return Calls().send(Descriptor(handle), data, length, MSG_NOSIGNAL); });
    return n < 0 ? Fail() : n;
}

long Recv(SocketHandle handle, char *data, std::size_t length)
{
    const ssize_t n = Uninterrupted([&] { return Calls().recv(Descriptor(handle), data, length, 0); });
    return n < 0 ? Fail() : n;
}

long Splice(SocketHandle handle, int pipe, std::size_t length)
{
    // Never blocks: the socket is non-blocking, and a pipe that is still full
    // answers EAGAIN instead of waiting.
    const ssize_t n = Uninterrupted([&] {
        return Calls().splice(Descriptor(handle), nullptr, pipe, nullptr, length, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
    });
    return n < 0 ? Fail() : n;
}

int SockName(SocketHandle handle, Address &address)
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    return ::getsockname(Descriptor(handle), address.Fill(), &length) == 0 ? 0 : Fail();
}

int PeerName(SocketHandle handle, Address &address)
{
    socklen_t length = static_cast<socklen_t>(Address::Capacity());
    return ::getpeername(Descriptor(handle), address.Fill(), &length) == 0 ? 0 : Fail();
}

int SetResetOnClose(SocketHandle handle)
{
    const linger reset{1, 0};
    return ::setsockopt(Descriptor(handle), SOL_SOCKET, SO_LINGER, &reset, sizeof reset) == 0 ? 0 : Fail();
}

WatcherPointer Watch(SocketState &state) { return WatcherPointer(new SocketWatcher(state)); }

int Selected(SocketWatcher &watcher)
{
    watcher.Follow(watcher.state.phase);
    // A connected socket is writable at once.
    if (watcher.state.phase == Phase::Connected)
        watcher.state.Notify(Notice::Write);
    return 0;
}

void PhaseEntered(SocketWatcher &watcher) { watcher.Follow(watcher.state.phase); }

void Received(SocketWatcher &watcher) { watcher.Watch(watcher.wantRead); }

void SendBlocked(SocketWatcher &watcher) { watcher.Watch(watcher.wantWrite); }

void Accepted(SocketWatcher &watcher) { watcher.Watch(watcher.wantRead); }

} // namespace native

} // namespace net
