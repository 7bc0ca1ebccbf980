// TTcpSocket: the passive side of a connection, and the address texts of a
// PORT argument.
#include "sock/TcpSocket.h"

#include "platform/net/SocketErrors.h"
#include "sock/SockConst.h"

#include <algorithm>
#include <optional>
#include <utility>

using namespace SockConst;

void TTcpSocket::Listen(bool UseAcceptMessage, const net::Address &On)
{
    StatusMessage(LevelTrace, std::string(sListening));
    const uint16_t port = CheckedPort(Port);
    RemoteAddress = On.IsEmpty() ? net::Address::Any(net::AddressFamily::Ipv4, port) : On.WithPort(port);
    EventArrived = false;
    SocketFor(RemoteAddress.Family());
    // A socket that cannot listen would leave Accept waiting for ever; its
    // failure is reported here instead.
    if (SocketHandle.Bind(RemoteAddress) == net::SocketError)
        ErrorManager(NothingTolerated);
    Port = LocalEndpoint().Port();
    if (SocketHandle.Select(SocketWindow.get(), UseAcceptMessage ? net::Message::LookupDone : net::Message::SocketEvent,
                            net::Notice::Accept) == net::SocketError)
        ErrorManager(NothingTolerated);
    if (SocketHandle.Listen(1) == net::SocketError)
        ErrorManager(NothingTolerated);
}

net::Socket TTcpSocket::Accept()
{
    return AcceptFrom(std::string());
}

net::Socket TTcpSocket::AcceptFrom(const std::string &PeerAddress, const std::function<bool()> &StillWanted)
{
    std::optional<net::Address> required;
    if (!PeerAddress.empty()) {
        required = net::Address::FromLiteral(PeerAddress);
        if (!required)
            throw ESockError(FormatText(std::string(ePeerAddress), PeerAddress));
    }
    const auto wanted = [&StillWanted] { return !StillWanted || StillWanted(); };
    // Connections refused below start the wait again, but not its time: they
    // cannot keep the caller waiting.
    const TWaitLimits limits{.SilenceMs = ReplyTimeOut, .Deadline = DeadlineFromNow()};
    for (;;) {
        const TWaitEnd end = Wait([&] { return EventArrived || !wanted(); }, limits);
        if (end == TWaitEnd::Canceled)
            throw ESockError(std::string(eAcceptingCanceled));
        if (end == TWaitEnd::Silent)
            throw ETimeOutError(std::string(eAcceptTimedOut));
        // A connection made before the news that the caller no longer wants
        // one may not have been announced yet: it is taken all the same, so
        // that what happens follows the order in which it happened.
        const bool announced = EventArrived;
        if (announced && !EventOk)
            throw ESockError(std::string(eDataConnection));
        if (announced)
            StatusMessage(LevelIO, std::string(sAccepting));
        net::Address peer;
        net::Socket accepted = SocketHandle.Accept(peer);
        if (!accepted.IsOpen()) {
            if (!announced)
                throw ESockError(std::string(eConnectionClosed));
            // The connection went away before it was taken; wait for the next.
            EventArrived = false;
            ErrorManager(net::ErrorCode::WouldBlock);
            continue;
        }
        RemoteAddress = peer;
        if (Canceled) {
            Canceled = false;
            throw EAbortError(std::string(eSendAborted));
        }
        if (required && !peer.SameHost(*required)) {
            EventArrived = false;
            continue;
        }
        return accepted;
    }
}

void TTcpSocket::UseAcceptedSocket(net::Socket Accepted)
{
    tls_.reset();
    SocketHandle = std::move(Accepted);
    Connected = true;
    peerClosed_ = false;
    connectionError_ = 0;
    SelectAllEvents();
}

std::string TTcpSocket::GetLocalAddress()
{
    net::Address local;
    if (SocketHandle.GetSockName(local) == net::SocketError)
        ErrorManager(NothingTolerated);
    std::string text = local.HostText();
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string TTcpSocket::GetLocalPort()
{
    net::Address local;
    if (SocketHandle.GetSockName(local) == net::SocketError)
        ErrorManager(NothingTolerated);
    const unsigned port = local.Port();
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
    net::Address peer;
    if (SocketHandle.GetPeerName(peer) == net::SocketError)
        return {};
    return peer.HostText();
}
