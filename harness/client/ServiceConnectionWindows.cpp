#include "harness/client/ServiceConnection.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace harness {

namespace {

[[noreturn]] void Fail(const std::string &what, int error)
{
    throw std::runtime_error("harness service: " + what + ": Winsock error " + std::to_string(error));
}

// Winsock counts its users; this one stays for the whole process, which may
// hold connections until its static objects go.
void StartWinsock()
{
    static const int started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0)
        Fail("WSAStartup", started);
}

SOCKET Handle(std::intptr_t socket) { return static_cast<SOCKET>(socket); }

// Winsock counts bytes in an int.
int Chunk(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, 1 << 30)); }

}  // namespace

ServiceConnection::ServiceConnection(const std::string &host, uint16_t port)
{
    StartWinsock();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("harness service: not an IPv4 address: " + host);
    // Blocking, and not inherited by the programs a test starts.
    const SOCKET s = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET)
        Fail("socket", ::WSAGetLastError());
    socket_ = static_cast<std::intptr_t>(s);
    const DWORD limitMs = kReplyLimitSeconds * 1000;
    const char *limit = reinterpret_cast<const char *>(&limitMs);
    if (::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, limit, sizeof limitMs) != 0 ||
        ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, limit, sizeof limitMs) != 0 ||
        ::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = ::WSAGetLastError();
        ::closesocket(s);
        Fail("cannot connect to " + host + ":" + std::to_string(port), error);
    }
}

ServiceConnection::~ServiceConnection() { ::closesocket(Handle(socket_)); }

void ServiceConnection::Send(const std::string &bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int n = ::send(Handle(socket_), bytes.data() + sent, Chunk(bytes.size() - sent), 0);
        if (n == SOCKET_ERROR)
            Fail("send", ::WSAGetLastError());
        sent += static_cast<std::size_t>(n);
    }
}

std::size_t ServiceConnection::Receive(char *buffer, std::size_t size)
{
    const int n = ::recv(Handle(socket_), buffer, Chunk(size), 0);
    if (n != SOCKET_ERROR)
        return static_cast<std::size_t>(n);
    const int error = ::WSAGetLastError();
    Fail(error == WSAETIMEDOUT ? "no reply within the limit" : "receive", error);
}

void ServiceConnection::EndSending() { ::shutdown(Handle(socket_), SD_SEND); }

}  // namespace harness
