#include "platform/net/AsyncSelect.h"

#include "platform/net/Messages.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/Sockets.h"

#include <QPointer>
#include <QSocketNotifier>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <memory>
#include <unordered_map>

namespace net {
namespace {

enum class Phase { Idle, Connecting, Connected, Listening, Closed };

// One selected socket. Qt's notifiers report a state (readable, writable) for
// as long as it lasts; each is therefore switched off when it has produced its
// notification and switched on again by the call that Windows Sockets would
// take as the cue to notify again.
struct Selection {
    int socket = -1;
    QPointer<NotificationWindow> window;
    int number = 0;
    uint16_t events = 0;
    Phase phase = Phase::Idle;
    bool suspended = false;
    bool wantRead = false;
    bool wantWrite = false;
    std::unique_ptr<QSocketNotifier> reader;
    std::unique_ptr<QSocketNotifier> writer;

    void Apply()
    {
        const bool on = events != 0 && !suspended;
        reader->setEnabled(on && wantRead);
        writer->setEnabled(on && wantWrite);
    }

    void Notify(uint16_t event, uint16_t error = 0)
    {
        if (window && (events & event) != 0)
            window->Post(Message{number, event, error});
    }
};

std::unordered_map<int, std::unique_ptr<Selection>> &Selections()
{
    static std::unordered_map<int, std::unique_ptr<Selection>> selections;
    return selections;
}

Selection *Find(int s)
{
    auto it = Selections().find(s);
    return it == Selections().end() ? nullptr : it->second.get();
}

uint16_t PendingError(int s)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return ErrorFromErrno(errno);
    return error == 0 ? 0 : ErrorFromErrno(error);
}

Phase PhaseOf(int s)
{
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(s, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return Phase::Idle;
    switch (info.tcpi_state) {
    case TCP_LISTEN:
        return Phase::Listening;
    case TCP_SYN_SENT:
        return Phase::Connecting;
    case TCP_ESTABLISHED:
    case TCP_CLOSE_WAIT:
        return Phase::Connected;
    default:
        return Phase::Idle;
    }
}

void Enter(Selection &sel, Phase phase)
{
    sel.phase = phase;
    sel.wantRead = phase == Phase::Connecting || phase == Phase::Connected || phase == Phase::Listening;
    // A connect ends with the socket writable or, refused, in error; the
    // reader catches the error and the writer the success.
    sel.wantWrite = phase == Phase::Connecting;
    sel.Apply();
}

void BecomeConnected(Selection &sel)
{
    Enter(sel, Phase::Connected);
    sel.Notify(FD_CONNECT);
    sel.Notify(FD_WRITE);
}

void ConnectEnded(Selection &sel)
{
    const uint16_t error = PendingError(sel.socket);
    sockaddr_in peer{};
    if (error == 0 && GetPeerName(sel.socket, peer) != 0)
        return; // still on its way
    if (error == 0) {
        BecomeConnected(sel);
        return;
    }
    Enter(sel, Phase::Idle);
    sel.Notify(FD_CONNECT, error);
}

void Readable(int s)
{
    Selection *sel = Find(s);
    if (!sel)
        return;
    switch (sel->phase) {
    case Phase::Connecting:
        ConnectEnded(*sel);
        return;
    case Phase::Listening:
        sel->wantRead = false;
        sel->Apply();
        sel->Notify(FD_ACCEPT);
        return;
    case Phase::Connected: {
        pollfd p{s, POLLIN | POLLRDHUP, 0};
        ::poll(&p, 1, 0);
        if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) {
            // The peer is gone. FD_CLOSE comes even while data waits, so that
            // its handler takes the rest at once.
            Enter(*sel, Phase::Closed);
            sel->Notify(FD_CLOSE, PendingError(s));
        } else if ((p.revents & POLLIN) != 0) {
            sel->wantRead = false;
            sel->Apply();
            sel->Notify(FD_READ);
        }
        return;
    }
    case Phase::Idle:
    case Phase::Closed:
        sel->wantRead = false;
        sel->Apply();
        return;
    }
}

void Writable(int s)
{
    Selection *sel = Find(s);
    if (!sel)
        return;
    if (sel->phase == Phase::Connecting) {
        ConnectEnded(*sel);
        return;
    }
    sel->wantWrite = false;
    sel->Apply();
    if (sel->phase == Phase::Connected)
        sel->Notify(FD_WRITE);
}

} // namespace

int AsyncSelect(int s, NotificationWindow *window, int number, uint16_t events)
{
    int type = 0;
    socklen_t length = sizeof type;
    if (::getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &length) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return SocketError;
    }
    auto &slot = Selections()[s];
    if (!slot) {
        slot = std::make_unique<Selection>();
        slot->socket = s;
        slot->reader = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Read);
        slot->writer = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Write);
        QObject::connect(slot->reader.get(), &QSocketNotifier::activated, [s] { Readable(s); });
        QObject::connect(slot->writer.get(), &QSocketNotifier::activated, [s] { Writable(s); });
    }
    Selection &sel = *slot;
    sel.window = window;
    sel.number = number;
    sel.events = events;
    sel.suspended = false;
    const Phase phase = PhaseOf(s);
    Enter(sel, phase);
    // A connected socket is writable at once.
    if (phase == Phase::Connected)
        sel.Notify(FD_WRITE);
    return 0;
}

void SuspendNotifications(int s)
{
    if (Selection *sel = Find(s)) {
        sel->suspended = true;
        sel->Apply();
    }
}

void ResumeNotifications(int s)
{
    if (Selection *sel = Find(s)) {
        sel->suspended = false;
        sel->Apply();
    }
}

bool NotificationsSuspended(int s)
{
    const Selection *sel = Find(s);
    return sel && sel->suspended;
}

namespace select_hooks {

void Connecting(int s)
{
    if (Selection *sel = Find(s))
        Enter(*sel, Phase::Connecting);
}

void Connected(int s)
{
    if (Selection *sel = Find(s))
        BecomeConnected(*sel);
}

void Listening(int s)
{
    if (Selection *sel = Find(s))
        Enter(*sel, Phase::Listening);
}

void Received(int s)
{
    Selection *sel = Find(s);
    if (sel && sel->phase == Phase::Connected) {
        sel->wantRead = true;
        sel->Apply();
    }
}

void Accepted(int s)
{
    Selection *sel = Find(s);
    if (sel && sel->phase == Phase::Listening) {
        sel->wantRead = true;
        sel->Apply();
    }
}

void SendBlocked(int s)
{
    Selection *sel = Find(s);
    if (sel && sel->phase == Phase::Connected) {
        sel->wantWrite = true;
        sel->Apply();
    }
}

void Closed(int s)
{
    Selections().erase(s);
}

} // namespace select_hooks

} // namespace net
