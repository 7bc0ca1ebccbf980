#pragma once
// Non-blocking IPv4 stream sockets in the shape of the Windows Sockets calls
// the socket component makes. A failing call returns SocketError and leaves
// its code (Windows numbering, see SocketErrors.h) for GetLastError. The calls
// also tell the notification machinery (AsyncSelect.h) what they did, the way
// Windows re-enables a notification when the matching call is made.
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace net {

constexpr int SocketError = -1;
constexpr uint32_t InaddrNone = 0xFFFFFFFFu;

// What the start-up of the socket system reports (WSADATA).
struct StartupData {
    uint16_t Version = 0;     // high byte major, low byte minor
    uint16_t HighVersion = 0;
    std::string Description;
    std::string SystemStatus;
    uint16_t MaxSockets = 0;
    uint16_t MaxUdpDg = 0;
};
StartupData Startup();

// A new non-blocking stream socket, or SocketError.
int Socket();
// Closing resets the connection at once instead of lingering (SO_LINGER {1, 0}).
int SetResetOnClose(int s);
int CloseSocket(int s);

// Connect returns SocketError with WSAEWOULDBLOCK while the connection is
// being made; FD_CONNECT tells the outcome.
int Connect(int s, const sockaddr_in &address);
int Bind(int s, const sockaddr_in &address);
int Listen(int s, int backlog);
// The accepted socket (non-blocking), or SocketError; Peer receives its address.
int Accept(int s, sockaddr_in &peer);

// Bytes handed over or received, or SocketError. Recv returns 0 when the peer
// has closed.
long Send(int s, const char *data, std::size_t length);
long Recv(int s, char *data, std::size_t length);

int GetSockName(int s, sockaddr_in &address);
int GetPeerName(int s, sockaddr_in &address);

// Dotted IPv4 text -> address in network byte order; InaddrNone when Text is
// not an address.
uint32_t InetAddr(const std::string &text);
// Address in network byte order -> dotted text.
std::string InetNtoa(uint32_t address);

} // namespace net
