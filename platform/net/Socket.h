#pragma once
// One non-blocking IPv4 or IPv6 stream socket and everything that belongs to it: the
// descriptor, the notifiers that watch it and the state that decides which
// notification comes next. Move-only; an empty socket holds -1. Destroying it
// closes the descriptor without a word.
//
// A failing call returns SocketError (or an empty socket) and leaves its code,
// in Windows Sockets numbering, for GetLastError (SocketErrors.h).
//
// Notifications, once selected, arrive at the notification object as the
// message chosen, in the order in which the events happened:
//   Notice::Connect once when a connect ends, with its error code;
//   Notice::Write after a successful connect (or when a connected socket is
//     selected), and again only after a send that would have blocked can go on;
//   Notice::Read when data waits, and again only after the next Recv;
//   Notice::Accept when a connection waits on a listening socket, and again only
//     after the next Accept;
//   Notice::Close once when the peer has closed or reset the connection and every
//     byte it sent before has been received.
// So a socket that stays writable, or whose data is left unread, costs nothing,
// and a close never overtakes the data that came before it.
#include "platform/net/Address.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class TFileStream;

namespace net {

class NotificationWindow;
struct SocketState;

constexpr int SocketError = -1;

class Socket {
public:
    Socket() noexcept;
    // A fresh socket of Family, or an empty one when the system has none to give.
    static Socket Open(AddressFamily family = AddressFamily::Ipv4);
    ~Socket();
    Socket(Socket &&other) noexcept;
    Socket &operator=(Socket &&other) noexcept;
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    bool IsOpen() const { return state_ != nullptr; }
    int Descriptor() const;
    // Unique in the process and never given again; it goes with the socket
    // when it is moved, and every notification carries it as its Source.
    // 0 for an empty socket.
    uint64_t Id() const;
    // The address family it was opened for; Unspecified when empty.
    AddressFamily Family() const;

    // Closes now and leaves the socket empty; the descriptor is released even
    // when SocketError is returned. Closing an empty socket does nothing.
    int Close();

    // Events (a mask of FD_ codes) arrive at Window as message Number from now
    // on; 0 stops them.
    int Select(NotificationWindow *window, int number, uint16_t events);

    // Closing resets the connection at once instead of lingering.
    int SetResetOnClose();
    // SocketError with ErrorCode::WouldBlock while the connection is being
    // made; Notice::Connect tells the outcome.
    int Connect(const Address &address);
    // True until a connect has been started: a socket whose connect failed or
    // was given up cannot be connected again.
    bool CanConnect() const;
    int Bind(const Address &address);
    int Listen(int backlog);
    // The waiting connection, connected and non-blocking; Peer receives its
    // address. Empty on failure.
    Socket Accept(Address &peer);

    // Bytes handed over or received, or SocketError (ENOTCONN's code on a
    // socket that was never connected). Recv returns 0 when the peer has closed.
    long Send(const char *data, std::size_t length);
    long Recv(char *data, std::size_t length);

    int GetSockName(Address &address) const;
    int GetPeerName(Address &address) const;

private:
    // Receiving into a file is the one caller of Splice (platform/files).
    friend long ReceiveIntoFile(Socket &socket, TFileStream &file, std::size_t most, std::span<char> spare);

    // As Recv, but the bytes go into the pipe Pipe without passing through the
    // process (ErrorCode::InvalidArgument where the system cannot splice from
    // this socket).
    long Splice(int pipe, std::size_t length);
    explicit Socket(std::unique_ptr<SocketState> state) noexcept;
    // True, with its code for GetLastError, when no data can move: the socket
    // is empty (ErrorCode::NotSocket) or was never connected (NotConnected).
    bool Unconnected() const;
    // Runs Receive, one receiving call, as Recv and Splice do.
    template <class Call> long Received(Call receive);
    // Kept apart from the socket object so that the notifiers, which point at
    // it, stay valid when the socket is moved.
    std::unique_ptr<SocketState> state_;
};

} // namespace net
