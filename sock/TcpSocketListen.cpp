// TTcpSocket: the passive side of a connection, and the address texts of a
// PORT argument.
#include "sock/TcpSocket.h"

#include "platform/net/AsyncSelect.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/Sockets.h"
#include "sock/SockConst.h"

#include <arpa/inet.h>

#include <algorithm>
#include <utility>

using namespace SockConst;

void TTcpSocket::Listen(bool UseAcceptMessage)
{
    StatusMessage(LevelTrace, std::string(sListening));
    RemoteAddress = sockaddr_in{};
    RemoteAddress.sin_family = AF_INET;
    RemoteAddress.sin_addr.s_addr = net::InetAddr("0.0.0.0");
    RemoteAddress.sin_port = htons(CheckedPort(Port));
    EventArrived = false;
    // A socket that cannot listen would leave Accept waiting for ever; its
    // failure is reported here instead.
    if (net::Bind(SocketHandle, RemoteAddress) == net::SocketError)
        ErrorManager(NothingTolerated);
    if (net::AsyncSelect(SocketHandle, SocketWindow.get(),
                         UseAcceptMessage ? net::WM_LOOKUPDONE : net::WM_SOCKETEVENT,
                         net::FD_ACCEPT) == net::SocketError)
        ErrorManager(NothingTolerated);
    if (net::Listen(SocketHandle, 1) == net::SocketError)
        ErrorManager(NothingTolerated);
}

uint16_t TTcpSocket::Accept()
{
    return AcceptFrom(std::string());
}

uint16_t TTcpSocket::AcceptFrom(const std::string &PeerAddress)
{
    uint32_t required = 0;
    if (!PeerAddress.empty()) {
        required = net::InetAddr(PeerAddress);
        if (required == net::InaddrNone)
            throw ESockError(FormatMessage(std::string(ePeerAddress), PeerAddress));
    }
    for (;;) {
        WaitFor([this] { return EventArrived; });
        if (Canceled)
            throw ESockError(std::string(eAcceptingCanceled));
        if (!EventOk)
            throw ESockError(std::string(eDataConnection));
        StatusMessage(LevelIO, std::string(sAccepting));
        EventArrived = false;
        sockaddr_in peer{};
        const int accepted = net::Accept(SocketHandle, peer);
        if (accepted == net::SocketError) {
            // The connection went away before it was taken; wait for the next.
            ErrorManager(net::WSAEWOULDBLOCK);
            continue;
        }
        if (accepted >= InvalidSocket) {
            net::CloseSocket(accepted);
            throw ERangeError();
        }
        RemoteAddress = peer;
        if (Canceled) {
            net::CloseSocket(accepted);
            Canceled = false;
            throw EAbortError(std::string(eSendAborted));
        }
        if (required != 0 && peer.sin_addr.s_addr != required) {
            net::CloseSocket(accepted);
            continue;
        }
        return static_cast<uint16_t>(accepted);
    }
}

void TTcpSocket::UseAcceptedSocket(uint16_t Accepted)
{
    const uint16_t listening = std::exchange(SocketHandle, Accepted);
    if (listening != InvalidSocket)
        net::CloseSocket(listening);
    Connected = true;
    SelectAllEvents();
}

std::string TTcpSocket::GetLocalAddress()
{
    sockaddr_in local{};
    if (net::GetSockName(SocketHandle, local) == net::SocketError)
        ErrorManager(NothingTolerated);
    std::string text = net::InetNtoa(local.sin_addr.s_addr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string TTcpSocket::GetLocalPort()
{
    sockaddr_in local{};
    if (net::GetSockName(SocketHandle, local) == net::SocketError)
        ErrorManager(NothingTolerated);
    const unsigned port = ntohs(local.sin_port);
    // Appended piece by piece: concatenating temporaries trips a false
    // -Wrestrict alarm of GCC 12 in optimised builds.
    std::string text = ",";
    text += std::to_string(port / 256);
    text += ",";
    text += std::to_string(port % 256);
    return text;
}

std::string TTcpSocket::GetPeerAddress()
{
    sockaddr_in peer{};
    if (SocketHandle == InvalidSocket || net::GetPeerName(SocketHandle, peer) == net::SocketError)
        return {};
    return net::InetNtoa(peer.sin_addr.s_addr);
}
