#pragma once
// What the shared socket (Socket.cpp) asks of each system: the system calls on
// one handle, and the system's watch that turns its events into notifications.
// Each system implements it in its own file (SocketLinux.cpp, SocketWindows.cpp).
// A failing call returns SocketError (or NoHandle) and leaves its code for
// GetLastError; none is repeated by the caller.
#include "platform/net/Address.h"
#include "platform/net/detail/SocketNotifier.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace net {

// A descriptor on Linux, a SOCKET on Windows (whose INVALID_SOCKET is -1 here).
using SocketHandle = std::intptr_t;
constexpr SocketHandle NoHandle = -1;

// The system's watch over one socket, made when it is first selected.
struct SocketWatcher;
struct WatcherDeleter {
    void operator()(SocketWatcher *watcher) const;
};
using WatcherPointer = std::unique_ptr<SocketWatcher, WatcherDeleter>;

// One socket's handle, where it stands and where its notifications go; the
// watcher reports the system's events through it.
struct SocketState : SocketNotifier {
    SocketState(SocketHandle socketHandle, AddressFamily addressFamily, SocketPhase start)
        : handle(socketHandle), family(addressFamily), phase(start)
    {
    }

    const SocketHandle handle;
    const AddressFamily family;
    SocketPhase phase;
    WatcherPointer watcher;

    // Phase becomes Next, and the watcher follows it.
    void Enter(SocketPhase next);
    // A connect has ended, made (Error 0) or failed: Notice::Connect.
    void EndConnect(uint16_t error);
    // The peer has closed or reset the connection: Notice::Close.
    void EndConnection(uint16_t error);
};

namespace native {

enum class ConnectResult { Connected, Pending, Failed };

// A fresh non-blocking stream socket of Family, or NoHandle.
SocketHandle Open(AddressFamily family);
// Closes the handle and ends the watch, in the order the system needs; the
// handle is released even when SocketError is returned.
int Close(SocketHandle handle, WatcherPointer watcher);
ConnectResult Connect(SocketHandle handle, const Address &address);
int Bind(SocketHandle handle, const Address &address);
int Listen(SocketHandle handle, int backlog);
// The waiting connection, non-blocking, or NoHandle; Peer receives its address.
SocketHandle Accept(SocketHandle handle, Address &peer);
long Send(SocketHandle handle, const char *data, std::size_t length);
long Recv(SocketHandle handle, char *data, std::size_t length);
// Received bytes go into the pipe Pipe (InvalidArgument where the system
// cannot splice).
long Splice(SocketHandle handle, int pipe, std::size_t length);
int SockName(SocketHandle handle, Address &address);
int PeerName(SocketHandle handle, Address &address);
int SetResetOnClose(SocketHandle handle);

// The watch over State, which must outlive it; empty, with a code for
// GetLastError, when the system has none to give.
WatcherPointer Watch(SocketState &state);
// State has just been routed anew: what holds now is announced again.
int Selected(SocketWatcher &watcher);
// State has entered a new phase.
void PhaseEntered(SocketWatcher &watcher);
// A connected socket has been received from.
void Received(SocketWatcher &watcher);
// A send on a connected socket would have blocked.
void SendBlocked(SocketWatcher &watcher);
// A listening socket has been accepted from.
void Accepted(SocketWatcher &watcher);

} // namespace native

} // namespace net
