// TTcpSocket: construction, status reports, error texts, host resolution,
// connecting, closing and the wait step every blocking operation uses.
#include "sock/TcpSocket.h"

#include "platform/net/HostLookup.h"
#include "platform/net/MessagePump.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/SocketSystem.h"
#include "sock/SockConst.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>


using namespace SockConst;

namespace {

std::string Text(std::string_view text) { return std::string(text); }

std::string VersionText(uint16_t version)
{
    return std::to_string(version >> 8) + "." + std::to_string(version & 0xFF);
}

uint32_t NextLookupTag()
{
    static uint32_t last = 0;
    if (++last == 0)
        ++last;
    return last;
}

} // namespace

int TTcpSocket::WinsockUsers = 0;

TTcpSocket::TTcpSocket()
{
    StatusMessage(LevelTrace, Text(sCreate));
    SocketWindow = std::make_unique<net::NotificationWindow>(
        [this](const net::Message &msg) { HandleSocketMessage(msg); });
    TimeOutTimer = std::make_unique<TThreadTimer>();
    TimeOutTimer->SetEnabled(false);
    TimeOutTimer->SetOnTimer([this](TThreadTimer *) { TimerFired(); });
    RecvStream = std::make_unique<TMemoryStream>();
    SendStream = std::make_unique<TMemoryStream>();
    SendSpare = std::make_unique<TMemoryStream>();
    StartWinsock();
}

void TTcpSocket::StartWinsock()
{
    StatusMessage(LevelTrace, Text(sInitializingWinsock));
    ++WinsockUsers;
    try {
        if (WinsockUsers == 1) {
            const net::StartupData data = net::Startup();
            WinsockInfo = {
                "Version= " + VersionText(data.Version),
                "High Version= " + VersionText(data.HighVersion),
                "Description= " + data.Description,
                "System= " + data.SystemStatus,
                "Max Sockets= " + std::to_string(data.MaxSockets),
                "Max Udp pack size= " + std::to_string(data.MaxUdpDg),
            };
        }
        OpenSocket(true);
    } catch (const std::exception &) {
        --WinsockUsers;
        SocketHandle.Close();
        throw ESockError(Text(eWinsockInit));
    }
}

TTcpSocket::~TTcpSocket()
{
    destroying_ = true;
    StatusMessage(LevelTrace, Text(sDestroy));
    AbortTransfer();
    Cancel();
    TimeOutTimer.reset();
    SocketWindow.reset(); // drops the messages still pending
    CaptureStream.reset();
    ShuttingDown = true;
    try {
        RequestCloseSocket();
    } catch (const std::exception &) {
        // The socket is released either way; a destructor has nobody to tell.
    }
    --WinsockUsers;
}

void TTcpSocket::OpenSocket(bool ResetOnClose, net::AddressFamily Family)
{
    tls_.reset();  // it reads and writes through the socket being replaced
    SocketHandle = net::Socket::Open(Family);
    if (!SocketHandle.IsOpen())
        ErrorManager(NothingTolerated);
    if (ResetOnClose && SocketHandle.SetResetOnClose() == net::SocketError)
        ErrorManager(NothingTolerated);
    SelectAllEvents();
}

void TTcpSocket::SelectAllEvents()
{
    if (SocketHandle.Select(SocketWindow.get(), net::Message::SocketEvent, net::Notice::All) == net::SocketError)
        ErrorManager(NothingTolerated);
}

void TTcpSocket::AbortTransfer() {}

void TTcpSocket::StatusMessage(uint8_t Level, const std::string &Status)
{
    if (ReportLevel < Level)
        return;
    LastStatus = Status;
    if (!destroying_ && OnStatus)
        OnStatus(this, LastStatus);
}

std::string TTcpSocket::LookupErrorMessage(uint16_t ErrorCode)
{
    StatusMessage(LevelTrace, Text(sLookingUpErrorMessage));
    if (ErrorCode == 0)
        return {};
    const std::string_view text = net::ErrorText(ErrorCode);
    if (text.empty())
        return Text(eUnknownError) + std::to_string(ErrorCode);
    return std::to_string(ErrorCode) + ":" + Text(text);
}

void TTcpSocket::ErrorManager(uint16_t Tolerated)
{
    // The error first: whoever the status reaches may make system calls of
    // its own (a window's does), which set the thread's last error anew.
    LastError = net::GetLastError();
    StatusMessage(LevelErrorCheck, Text(sCheckingError));
    if (LastError == Tolerated)
        return;
    const std::string text = LookupErrorMessage(static_cast<uint16_t>(LastError));
    if (OnError)
        OnError(this, static_cast<uint16_t>(LastError), text);
    throw ESockError(text);
}

void TTcpSocket::TimerOn()
{
    StatusMessage(LevelTrace, Text(sTimerOn));
    TimedOut = false;
    if (TimeOut < 0)
        throw ERangeError();
    TimeOutTimer->SetInterval(static_cast<uint32_t>(TimeOut));
    TimeOutTimer->SetEnabled(true);
}

void TTcpSocket::TimerOff()
{
    StatusMessage(LevelTrace, Text(sTimerOff));
    TimeOutTimer->SetEnabled(false);
}

void TTcpSocket::TimerFired()
{
    StatusMessage(LevelTrace, Text(sTimerTriggered));
    TimerOff(); // the system timer is periodic; one tick is all a time-out needs
    TimedOut = true;
    AbortTransfer();
}

TWaitEnd TTcpSocket::Wait(const std::function<bool()> &Condition, TWaitLimits Limits)
{
    using Clock = std::chrono::steady_clock;
    using std::chrono::milliseconds;
    lastHeard_ = Clock::now();
    // How long until the silence limit or the deadline ends the wait; a
    // value at or below zero: it has ended.
    const auto msLeft = [&]() -> long long {
        long long left = std::numeric_limits<long long>::max();
        if (Limits.SilenceMs > 0)
            left = Limits.SilenceMs - std::chrono::duration_cast<milliseconds>(Clock::now() - lastHeard_).count();
        if (Limits.Deadline)
            left = std::min<long long>(
                left, std::chrono::duration_cast<milliseconds>(*Limits.Deadline - Clock::now()).count());
        return left;
    };
    const bool limited = Limits.SilenceMs > 0 || Limits.Deadline;
    // Armed only when the wait has to sleep: most reads find their line
    // buffered already. Each tick waits out what is left of either limit.
    std::optional<TThreadTimer> limitTimer;
    bool ended = false;
    for (;;) {
        if (Canceled)
            return TWaitEnd::Canceled;
        if (Condition())
            return TWaitEnd::Met;
        if (Limits.TimeOut && TimedOut)
            return TWaitEnd::TimedOut;
        if (Limits.PeerClosed && !Connected)
            return TWaitEnd::PeerClosed;
        if (ended || (limited && msLeft() <= 0))
            return TWaitEnd::Silent;
        if (limited && !limitTimer) {
            limitTimer.emplace();
            limitTimer->SetInterval(static_cast<uint32_t>(std::min<long long>(msLeft(), UINT32_MAX)));
            limitTimer->SetOnTimer([&](TThreadTimer *timer) {
                const long long left = msLeft();
                if (left <= 0)
                    ended = true;
                else
                    timer->SetInterval(static_cast<uint32_t>(std::min<long long>(left, UINT32_MAX)));
            });
        }
        net::WaitForMessages();
    }
}

std::optional<std::chrono::steady_clock::time_point> TTcpSocket::DeadlineFromNow() const
{
    if (ReplyTimeOut <= 0)
        return std::nullopt;
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ReplyTimeOut);
}

void TTcpSocket::StartReplyClock() { replyDeadline_ = DeadlineFromNow(); }

std::string TTcpSocket::NameToResolve() const
{
    const std::string &name = Proxy.empty() ? Host : Proxy;
    std::string zeroTerminated = name.substr(0, name.find('\0'));
    if (zeroTerminated.size() > 127)
        throw ESockError(FormatText(Text(eHostTooLong), std::to_string(zeroTerminated.size())));
    return zeroTerminated;
}

void TTcpSocket::ResolveHost()
{
    StatusMessage(LevelTrace, Text(sResolveHost));
    const std::string zeroTerminated = NameToResolve();
    RemoteAddress = {};
    otherAddresses_.clear();
    if (const std::optional<net::Address> literal = net::Address::FromLiteral(zeroTerminated)) {
        // The unspecified address names no server.
        if (!literal->SameHost(net::Address::Any(literal->Family(), 0)))
            RemoteAddress = *literal;
        return;
    }
    TimerOn();
    EventArrived = false;
    lookupAddresses_.clear();
    pendingLookup_ = NextLookupTag();
    net::AsyncGetHostByName(zeroTerminated, SocketWindow.get(), pendingLookup_);
    const TWaitEnd end = Wait([this] { return EventArrived; }, {.TimeOut = true});
    // An answer that comes after this point is for nobody and is dropped.
    pendingLookup_ = 0;
    TimerOff();
    if (end == TWaitEnd::TimedOut)
        throw ESockError(Text(eLookupTimedOut));
    if (end == TWaitEnd::Canceled)
        throw ESockError(Text(eLookupCanceled));
    if (!EventOk || lookupAddresses_.empty())
        throw ESockError(Text(eLookupFailed));
    RemoteAddress = lookupAddresses_.front();
    otherAddresses_.assign(lookupAddresses_.begin() + 1, lookupAddresses_.end());
    if (OnHostResolved)
        OnHostResolved(this);
}

net::Address TTcpSocket::LocalEndpoint() const
{
    net::Address local;
    if (SocketHandle.GetSockName(local) == net::SocketError)
        return {};
    return local;
}

uint16_t TTcpSocket::CheckedPort(int Value)
{
    if (Value < 0 || Value > 65535)
        throw ESockError(FormatText(Text(ePortRange), std::to_string(Value)));
    return static_cast<uint16_t>(Value);
}

void TTcpSocket::SocketFor(net::AddressFamily Family)
{
    if (!SocketHandle.CanConnect() || SocketHandle.Family() != Family)
        OpenSocket(false, Family);
}

TWaitEnd TTcpSocket::TryConnect(bool Last, int ShareMs)
{
    EventOk = true;
    // A refused or abandoned attempt leaves its socket unable to connect again.
    SocketFor(RemoteAddress.Family());
    if (SocketHandle.Connect(RemoteAddress) == net::SocketError) {
        // An address the machine cannot reach at all (IPv6 without a route)
        // makes way for the next one.
        if (!Last && net::GetLastError() != net::ErrorCode::WouldBlock) {
            LastError = net::GetLastError();
            EventOk = false;
            return TWaitEnd::Met;
        }
        ErrorManager(net::ErrorCode::WouldBlock);
    }
    std::optional<TThreadTimer> share;
    bool shareUsed = false;
    if (ShareMs > 0) {
        share.emplace();
        share->SetInterval(static_cast<uint32_t>(ShareMs));
        share->SetOnTimer([&shareUsed](TThreadTimer *timer) {
            shareUsed = true;
            timer->SetEnabled(false);
        });
    }
    // A peer that closes at once may have its close handled in the same round
    // as the completed connect, before this wait looks: the connection was
    // made all the same, and the next read finds it closed.
    const auto made = [this] { return Connected || peerClosed_; };
    const TWaitEnd end = Wait([&] { return made() || !EventOk || shareUsed; }, {.TimeOut = true});
    // A cancel handled in the same round of events as the completed connect
    // (the server's closing reply read with it, on Windows) leaves the
    // connection made: it ends the next wait instead, as it would a moment later.
    if (end == TWaitEnd::Canceled && made())
        return TWaitEnd::Met;
    if (end != TWaitEnd::Met || made() || !EventOk)
        return end;
    // Given up for the next address: this one must not complete later.
    OpenSocket(false, RemoteAddress.Family());
    LastError = net::ErrorFromErrno(ETIMEDOUT);
    EventOk = false;
    return TWaitEnd::Met;
}

void TTcpSocket::Connect()
{
    StatusMessage(LevelTrace, Text(sConnecting));
    Canceled = false;
    if (Connected)
        throw ESockError(Text(eAlreadyConnected));
    NameToResolve(); // a name the system cannot take is refused, not repaired
    // OnInvalidHost gets one chance to repair a host that does not resolve.
    for (int attempt = 0;; ++attempt) {
        try {
            ResolveHost();
        } catch (const ESockError &e) {
            // Only giving up is final; any other failure (one raised by the
            // OnHostResolved handler too) leaves the address to decide.
            if (e.Message() == eLookupTimedOut || e.Message() == eLookupCanceled)
                throw;
        }
        if (!RemoteAddress.IsEmpty())
            break;
        if (attempt > 0 || !OnInvalidHost)
            throw ESockError(Text(eNullRemoteAddress));
        bool handled = false;
        OnInvalidHost(handled);
        if (!handled)
            throw ESockError(Text(eNullRemoteAddress));
    }
    const uint16_t port = CheckedPort(Proxy.empty() ? Port : ProxyPort);
    std::vector<net::Address> addresses{RemoteAddress};
    addresses.insert(addresses.end(), otherAddresses_.begin(), otherAddresses_.end());
    EventArrived = false;
    peerClosed_ = false;
    connectionError_ = 0;
    // One time-out for all the addresses: the user waits no longer for a
    // name that has several. Each address but the last gets an equal share
    // of the time left, so that one that never answers (a broken IPv6 route)
    // cannot use up the time of the others.
    TimerOn();
    const auto started = std::chrono::steady_clock::now();
    TWaitEnd end = TWaitEnd::Met;
    try {
        // Each refused address makes way for the next.
        for (std::size_t next = 0; next < addresses.size(); ++next) {
            RemoteAddress = addresses[next].WithPort(port);
            const bool last = next + 1 == addresses.size();
            const auto spent =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
            const int share = last || TimeOut == 0
                                  ? 0
                                  : std::max(1, static_cast<int>((TimeOut - spent.count()) /
                                                                 static_cast<long>(addresses.size() - next)));
            end = TryConnect(last, share);
            if (end != TWaitEnd::Met || EventOk)
                break;
        }
    } catch (...) {
        TimerOff();
        throw;
    }
    TimerOff();
    if (end == TWaitEnd::Met && EventOk)
        return;
    // A connect given up must not complete later: the component would count
    // as connected without anyone having logged in.
    if (end != TWaitEnd::Met)
        OpenSocket(false, RemoteAddress.Family());
    if (OnConnectionFailed)
        OnConnectionFailed(this);
    if (end == TWaitEnd::TimedOut)
        throw ESockError(Text(eConnectionTimedOut));
    throw ESockError(Text(end == TWaitEnd::Canceled ? eConnectionCanceled : eConnectionFailed));
}

void TTcpSocket::Disconnect()
{
    StatusMessage(LevelTrace, Text(sDisconnecting));
    peerClosed_ = false;
    connectionError_ = 0;
    RequestCloseSocket();
}

void TTcpSocket::RequestCloseSocket()
{
    StatusMessage(LevelIO, Text(sRequestCloseSocket));
    Connected = false;
    if (!SocketHandle.IsOpen())
        return;
    // Nothing is held back for a socket that is gone.
    readHeld_ = false;
    if (tls_) {
        endProven_ = tls_->EndProven();
        securedAtClose_ = tls_->Established();
        tls_->Shutdown();
    }
    tls_.reset();
    if (SocketHandle.Close() == net::SocketError) {
        ErrorManager(net::ErrorCode::WouldBlock);
        return;
    }
    // The fresh socket comes first, so that an OnDisconnect handler may
    // connect again at once.
    if (!ShuttingDown)
        OpenSocket(false);
    if (OnDisconnect && !destroying_)
        OnDisconnect(this);
}

void TTcpSocket::Cancel()
{
    StatusMessage(LevelTrace, Text(sCanceling));
    Canceled = true;
}

void TTcpSocket::CheckConnection()
{
    for (int attempt = 0; !Connected; ++attempt) {
        if (attempt > 0 || !OnConnectionRequired)
            throw Exception(Text(eNotConnected));
        bool handled = false;
        OnConnectionRequired(handled);
        if (!handled)
            throw Exception(Text(eNotConnected));
    }
}
