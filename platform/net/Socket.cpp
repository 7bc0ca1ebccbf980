#include "platform/net/Socket.h"

#include "platform/net/Messages.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/SystemSocket.h"

#include <utility>

namespace net {
namespace {

using Phase = SocketPhase;

int NotSocket()
{
    SetLastError(ErrorCode::NotSocket);
    return SocketError;
}

std::unique_ptr<SocketState> StateOf(SocketHandle handle, AddressFamily family, Phase start)
{
    return std::make_unique<SocketState>(handle, family, start);
}

} // namespace

void SocketState::Enter(Phase next)
{
    phase = next;
    if (watcher)
        native::PhaseEntered(*watcher);
}

void SocketState::EndConnect(uint16_t error)
{
    Enter(error == 0 ? Phase::Connected : Phase::Failed);
    Notify(Notice::Connect, error);
}

void SocketState::EndConnection(uint16_t error)
{
    Enter(Phase::Closed);
    Notify(Notice::Close, error);
}

Socket::Socket() noexcept = default;

Socket::Socket(std::unique_ptr<SocketState> state) noexcept : state_(std::move(state)) {}

Socket Socket::Open(AddressFamily family)
{
    const SocketHandle handle = native::Open(family);
    if (handle == NoHandle)
        return Socket();
    return Socket(StateOf(handle, family, Phase::Fresh));
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

// A SOCKET is a kernel handle, well below INT_MAX in every process.
int Socket::Descriptor() const { return state_ ? static_cast<int>(state_->handle) : -1; }

uint64_t Socket::Id() const { return state_ ? state_->id : 0; }

AddressFamily Socket::Family() const { return state_ ? state_->family : AddressFamily::Unspecified; }

int Socket::Close()
{
    if (!state_)
        return 0;
    const std::unique_ptr<SocketState> closing = std::move(state_);
    return native::Close(closing->handle, std::move(closing->watcher));
}

int Socket::Select(NotificationWindow *window, int number, uint16_t events)
{
    if (!state_)
        return NotSocket();
    SocketState &s = *state_;
    if (!s.watcher && !(s.watcher = native::Watch(s)))
        return SocketError;
    s.Route(window, number, events);
    return native::Selected(*s.watcher);
}

int Socket::SetResetOnClose() { return state_ ? native::SetResetOnClose(state_->handle) : NotSocket(); }

int Socket::Connect(const Address &address)
{
    if (!state_)
        return NotSocket();
    SocketState &s = *state_;
    switch (native::Connect(s.handle, address)) {
    case native::ConnectResult::Connected:
        // Made at once: no notice of the system's will tell.
        s.EndConnect(0);
        s.Notify(Notice::Write);
        return 0;
    case native::ConnectResult::Pending:
        s.Enter(Phase::Connecting);
        SetLastError(ErrorCode::WouldBlock);
        return SocketError;
    case native::ConnectResult::Failed:
        break;
    }
    s.Enter(Phase::Failed);
    return SocketError;
}

bool Socket::CanConnect() const { return state_ && state_->phase == Phase::Fresh; }

int Socket::Bind(const Address &address) { return state_ ? native::Bind(state_->handle, address) : NotSocket(); }

int Socket::Listen(int backlog)
{
    if (!state_)
        return NotSocket();
    if (native::Listen(state_->handle, backlog) != 0)
        return SocketError;
    state_->Enter(Phase::Listening);
    return 0;
}

Socket Socket::Accept(Address &peer)
{
    if (!state_) {
        NotSocket();
        return Socket();
    }
    SocketState &s = *state_;
    const SocketHandle accepted = native::Accept(s.handle, peer);
    // The next waiting connection is announced again.
    if (s.phase == Phase::Listening && s.watcher)
        native::Accepted(*s.watcher);
    if (accepted == NoHandle)
        return Socket();
    return Socket(StateOf(accepted, s.family, Phase::Connected));
}

// As Windows Sockets, a socket that has never been connected refuses to move
// data whatever the system's own answer would be.
bool Socket::Unconnected() const
{
    if (!state_) {
        NotSocket();
        return true;
    }
    if (state_->phase == Phase::Connected || state_->phase == Phase::Closed)
        return false;
    SetLastError(ErrorCode::NotConnected);
    return true;
}

long Socket::Send(const char *data, std::size_t length)
{
    if (Unconnected())
        return SocketError;
    SocketState &s = *state_;
    const long n = native::Send(s.handle, data, length);
    // Writing is announced again once the send can go on.
    if (n == SocketError && s.phase == Phase::Connected && s.watcher && GetLastError() == ErrorCode::WouldBlock)
        native::SendBlocked(*s.watcher);
    return n;
}

template <class Call> long Socket::Received(Call receive)
{
    if (Unconnected())
        return SocketError;
    SocketState &s = *state_;
    const long n = receive(s.handle);
    // What is left, or the close behind it, is announced again.
    if (s.phase == Phase::Connected && s.watcher)
        native::Received(*s.watcher);
    return n;
}

long Socket::Recv(char *data, std::size_t length)
{
    return Received([&](SocketHandle handle) { return native::Recv(handle, data, length); });
}

long Socket::Splice(int pipe, std::size_t length)
{
    return Received([&](SocketHandle handle) { return native::Splice(handle, pipe, length); });
}

int Socket::GetSockName(Address &address) const
{
    return state_ ? native::SockName(state_->handle, address) : NotSocket();
}

int Socket::GetPeerName(Address &address) const
{
    return state_ ? native::PeerName(state_->handle, address) : NotSocket();
}

} // namespace net
