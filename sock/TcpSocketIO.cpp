// TTcpSocket: buffered sending and receiving. The caller's operations only fill
// or drain the streams and wait; the notification handlers move the bytes.
#include "sock/TcpSocket.h"

#include "platform/net/SocketErrors.h"
#include "sock/SockConst.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace SockConst;

namespace {

std::string Text(std::string_view text) { return std::string(text); }

constexpr std::size_t MaxText = 16384;

// Leading digits of a reply, as the signed 16-bit number FTP replies need. A run
// too long for a 32-bit number counts as no number.
int16_t ReplyNumberOf(const std::string &reply)
{
    std::size_t digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits] >= '0' && reply[digits] <= '9')
        ++digits;
    if (digits == 0)
        return 0;
    const long long value = std::stoll(reply.substr(0, digits));
    if (value > 2147483647LL)
        return 0;
    if (value > 32767)
        throw ERangeError();
    return static_cast<int16_t>(value);
}

} // namespace

void TTcpSocket::PostRequest(int Number)
{
    SocketWindow->Post(net::Message{Number});
}

void TTcpSocket::ReleaseBusy()
{
    Busy = false;
    // A request that met Busy would otherwise wait for a notification that
    // may never come again.
    if (std::exchange(writeSkipped_, false))
        PostRequest(net::Message::WriteRequest);
    if (std::exchange(readSkipped_, false))
        PostRequest(net::Message::ReadRequest);
}

void TTcpSocket::SendBuffer(const char *Buffer, uint16_t Length)
{
    StatusMessage(LevelIO, Text(sSendingBuffer));
    if (Canceled)
        return;
    const std::size_t length = Length != 0 ? Length : std::strlen(Buffer);
    if (length > 65535)
        throw ERangeError();
    // Nothing to send would never complete.
    if (length == 0)
        return;
    if (!Connected)
        FailNotConnected(true);
    SendStream->Write(Buffer, length);
    WriteComplete = false;
    PostRequest(net::Message::WriteRequest);
    // A connection the peer has closed takes nothing more: waiting on would never end.
    const TWaitEnd end = Wait([this] { return WriteComplete; }, PeerLimits());
    if (end == TWaitEnd::Met)
        return;
    if (end == TWaitEnd::Canceled) {
        Canceled = false;
        throw EAbortError(Text(eSendAborted));
    }
    SendStream->Clear();
    if (end == TWaitEnd::Silent)
        throw ETimeOutError(Text(eSendTimedOut));
    throw ESockError(Text(eConnectionClosed));
}

void TTcpSocket::Write(const std::string &Text)
{
    StatusMessage(LevelTrace, ::Text(sWrite));
    const std::string text = Text.substr(0, Text.find('\0'));
    if (text.size() > MaxText)
        throw ESockError(FormatText(::Text(eTextTooLong), std::to_string(text.size())));
    SendBuffer(text.c_str(), 0);
}

void TTcpSocket::Writeln(const std::string &Text)
{
    StatusMessage(LevelTrace, ::Text(sWriteln));
    Write(Text + "\r\n");
}

void TTcpSocket::WriteFromStream()
{
    if (Busy) {
        writeSkipped_ = true;
        return;
    }
    uint16_t broken = 0;
    {
        BusyScope busy(*this);
        StatusMessage(LevelTrace, Text(sWriteFromStream));
        if (StepTlsHandshake() || SendStream->Size() == 0 || Canceled)
            return;
        broken = WriteBlock();
    }
    // A broken TLS stream leaves the TCP connection open, and nothing it
    // carries can be trusted any more: the connection ends here.
    if (broken != 0 && Connected) {
        ReportBrokenConnection(broken);
        ClosedByPeer(broken);
    }
}

uint16_t TTcpSocket::WriteBlock()
{
    const std::string_view bytes = SendStream->Bytes();
    const long sent = SendSome(bytes.data(), std::min(bytes.size(), BlockSize));
    if (sent == net::SocketError) {
        // The bytes stay queued; Notice::Write comes when the socket can take them.
        LastError = net::GetLastError();
        return tls_ && LastError != net::ErrorCode::WouldBlock ? static_cast<uint16_t>(LastError) : 0;
    }
    const auto n = static_cast<std::size_t>(sent);
    if (n == bytes.size()) {
        SendStream->Clear();
        WriteComplete = true;
    } else {
        SendSpare->Clear();
        SendSpare->Write(bytes.data() + n, bytes.size() - n);
        SendStream->Clear();
        std::swap(SendStream, SendSpare);
        ReleaseBusy();
        PostRequest(net::Message::WriteRequest);
    }
    bytesSent_ += sent;
    lastHeard_ = std::chrono::steady_clock::now();
    if (PacketEvents && OnPacketSent)
        OnPacketSent(this);
    return 0;
}

TStream &TTcpSocket::ReceiveTarget()
{
    if (captureTarget_)
        return *captureTarget_;
    return *RecvStream;
}

long TTcpSocket::ReceiveBlock(char *Buffer, std::size_t Most)
{
    Most = CaptureRoom(Most);
    // A plain capture goes from the socket to the file, spliced where the
    // system can; a TLS capture needs its bytes decrypted first.
    if (CaptureStream && !tls_)
        return net::ReceiveIntoFile(SocketHandle, *CaptureStream, Most, {Buffer, BlockSize});
    const long n = ReceiveSome(Buffer, std::min(Most, BlockSize));
    if (n > 0)
        ReceiveTarget().Write(Buffer, static_cast<std::size_t>(n));
    return n;
}

// Every received block counts and is reported while packets are watched, also
// the blocks drained at the close, so that progress and totals are complete.
// One receive may bring many blocks: each has its own report.
void TTcpSocket::CountReceived(std::size_t Count)
{
    lastHeard_ = std::chrono::steady_clock::now();
    if (!PacketEvents)
        return;
    for (std::size_t left = Count; left > 0;) {
        const std::size_t block = std::min(left, BlockSize);
        left -= block;
        bytesRecvd_ += static_cast<int64_t>(block);
        if (OnPacketRecvd)
            OnPacketRecvd(this);
    }
}

std::size_t TTcpSocket::CaptureRoom(std::size_t Most) const
{
    if (!captureTarget_)
        return Most;
    const int64_t left = captureLimit_ - bytesRecvd_;
    if (left < 0)
        return 0;
    // One byte past the limit is taken: it shows that the transfer is too large.
    return left < static_cast<int64_t>(Most) ? static_cast<std::size_t>(left) + 1 : Most;
}

bool TTcpSocket::BufferFull() const
{
    if (captureTarget_)
        return CaptureRoom(1) == 0;
    return RecvStream->Bytes().size() >= MaxBuffered;
}

void TTcpSocket::ReadToStream()
{
    if (Busy) {
        readSkipped_ = true;
        return;
    }
    // Nobody takes from a buffer this full: a flooding peer is held back by
    // TCP instead of filling memory, until a read makes room.
    if (BufferFull()) {
        readHeld_ = true;
        return;
    }
    bool received = false;
    bool tlsEnded = false;
    uint16_t tlsBroken = 0;
    {
        BusyScope busy(*this);
        StatusMessage(LevelTrace, Text(sReadToStream));
        if (StepTlsHandshake())
            return;
        char buffer[BlockSize];
        // Whatever is left after the budget, or arrives later, is announced
        // again: every recv re-arms the notification.
        for (std::size_t taken = 0; taken < ReadBudget;) {
            const long n = ReceiveBlock(buffer, ReadBudget - taken);
            if (n == net::SocketError) {
                // Would-block only says that nothing more is there now.
                if (net::GetLastError() != net::ErrorCode::WouldBlock) {
                    const auto code = static_cast<uint16_t>(net::GetLastError());
                    ReportBrokenConnection(code);
                    if (tls_)
                        tlsBroken = code;
                }
                break;
            }
            if (n == 0) {
                // A TCP close follows as its own notification; the end of a
                // TLS stream (close_notify) may come while the peer keeps the
                // connection open for ours.
                tlsEnded = tls_ != nullptr;
                break;
            }
            received = true;
            CountReceived(static_cast<std::size_t>(n));
            taken += static_cast<std::size_t>(n);
            // A short block does not end the run: more may have come
            // meanwhile, and taking it now saves a turn of the event loop.
            if (Canceled || BufferFull())
                break;
        }
    }
    // Bytes TLS decrypted and holds are announced by no socket notification.
    if (tls_ && tls_->HasPending() && !BufferFull())
        PostRequest(net::Message::ReadRequest);
    if (received && OnDataArrived)
        OnDataArrived(this);
    if (tlsEnded && Connected)
        ClosedByPeer(0);
    // As for a send (WriteFromStream).
    if (tlsBroken != 0 && Connected)
        ClosedByPeer(tlsBroken);
}

long TTcpSocket::ReceiveSome(char *Data, std::size_t Length)
{
    return tls_ ? tls_->Recv(Data, Length) : SocketHandle.Recv(Data, Length);
}

long TTcpSocket::SendSome(const char *Data, std::size_t Length)
{
    return tls_ ? tls_->Send(Data, Length) : SocketHandle.Send(Data, Length);
}

bool TTcpSocket::StepTlsHandshake()
{
    if (!tls_ || tls_->Established())
        return false;
    // What came with the last handshake message is announced by no socket
    // notification.
    if (tls_->Handshake() == net::TlsStream::Progress::Done && tls_->HasPending())
        PostRequest(net::Message::ReadRequest);
    return true;
}

void TTcpSocket::StartTls(const net::TlsContext &Context, const std::string &ServerName,
                          const net::TlsSessionRef &Resume)
{
    // Whatever came before the handshake came in the clear, from anyone on
    // the path: it is no part of what the secured connection carries.
    if (RecvStream->Size() > 0)
        throw ETlsError(Text(eCleartextBeforeTls), net::TlsFailure::Handshake);
    endProven_ = false;
    securedAtClose_ = false;
    tls_ = std::make_unique<net::TlsStream>(Context, SocketHandle, ServerName, Resume);
    StepTlsHandshake();
    // The peer's close replaces tls_ while the wait runs: read it afresh each time.
    const auto settled = [this] { return !tls_ || tls_->Established() || tls_->Failure() != net::TlsFailure::None; };
    TWaitLimits limits = PeerLimits();
    limits.Deadline = DeadlineFromNow();
    const TWaitEnd end = Wait(settled, limits);
    // A peer that closed right after the handshake, in the same turn of the
    // event loop, has secured what it sent: its bytes were drained at the close.
    if (end == TWaitEnd::Met && (Secured() || securedAtClose_))
        return;
    const net::TlsFailure reason = tls_ ? tls_->Failure() : net::TlsFailure::None;
    tls_.reset();
    if (end == TWaitEnd::Canceled) {
        Canceled = false;
        throw EAbortError(Text(eSendAborted));
    }
    if (end == TWaitEnd::Silent)
        throw ETimeOutError(Text(eReplyTimedOut));
    // A peer that closed instead of answering does not speak TLS.
    throw ETlsError(Text(eTlsFailed), reason == net::TlsFailure::None ? net::TlsFailure::Handshake : reason);
}

std::string TTcpSocket::TlsDescription() const
{
    return Secured() ? tls_->Protocol() + ", " + tls_->Cipher() : std::string();
}

net::TlsSessionRef TTcpSocket::TlsSession() const { return Secured() ? tls_->Session() : net::TlsSessionRef(); }

void TTcpSocket::ReportBrokenConnection(uint16_t Code)
{
    LastError = Code;
    // Taking the error clears it: the close that follows would look like a
    // plain one.
    connectionError_ = Code;
    const std::string text = LookupErrorMessage(Code);
    if (OnError)
        OnError(this, Code, text);
}

void TTcpSocket::ResumeReadingIfRoom()
{
    if (readHeld_ && !BufferFull()) {
        readHeld_ = false;
        PostRequest(net::Message::ReadRequest);
    }
}

void TTcpSocket::DrainAtClose()
{
    // A handshake still under way may need what came before the close: it
    // finishes, or fails, before anything is read as data.
    StepTlsHandshake();
    char buffer[BlockSize];
    long n;
    do {
        // A capture past its limit takes nothing more: it is about to end.
        if (CaptureRoom(1) == 0)
            return;
        n = ReceiveBlock(buffer, ReadBudget);
        if (n > 0)
            CountReceived(static_cast<std::size_t>(n));
    } while (n > 0 && !Canceled);
}

std::string TTcpSocket::TakeFront(std::size_t Count)
{
    std::string front(RecvStream->Bytes().substr(0, Count));
    RecvStream->Consume(Count);
    ResumeReadingIfRoom();
    return front;
}

void TTcpSocket::FailNotConnected(bool Sending)
{
    if (peerClosed_)
        throw ESockError(Text(eConnectionClosed));
    // The socket says itself why it cannot be used.
    char probe = 0;
    const long result = Sending ? SocketHandle.Send(&probe, 1) : SocketHandle.Recv(&probe, 1);
    if (result == net::SocketError)
        ErrorManager(NothingTolerated);
    throw ESockError(Text(eConnectionClosed));
}

std::string TTcpSocket::Read(uint16_t Count)
{
    StatusMessage(LevelTrace, Text(sRead) + std::to_string(Count) + " )");
    const TWaitEnd end =
        Count > 0 ? Wait([this, Count] { return RecvStream->Size() >= Count; }, PeerLimits())
                  : (Canceled ? TWaitEnd::Canceled : TWaitEnd::Met);
    if (end == TWaitEnd::Canceled) {
        Canceled = false;
        throw EAbortError(Text(eSendAborted));
    }
    if (end == TWaitEnd::Silent)
        throw ETimeOutError(Text(eReplyTimedOut));
    if (end == TWaitEnd::PeerClosed)
        FailNotConnected(false);
    const std::size_t count = Count != 0 ? Count : RecvStream->Bytes().size();
    if (count > 65535)
        throw ERangeError();
    return TakeFront(count);
}

std::string TTcpSocket::ReadLn()
{
    StatusMessage(LevelTrace, Text(sReadLn));
    // Only the first MaxLineLength bytes are searched: a line end beyond them
    // cannot make a line short enough.
    const auto lineEnd = [this] { return RecvStream->Bytes().substr(0, MaxLineLength).find('\n'); };
    const auto tooLong = [this] { return RecvStream->Bytes().size() >= MaxLineLength; };
    TWaitLimits limits = PeerLimits();
    limits.Deadline = replyDeadline_;
    switch (Wait([&] { return lineEnd() != std::string_view::npos || tooLong(); }, limits)) {
    case TWaitEnd::Canceled:
        throw EAbortError(Text(eReadLnAborted));
    case TWaitEnd::Silent:
        throw ETimeOutError(Text(eReplyTimedOut));
    case TWaitEnd::Met:
        break;
    case TWaitEnd::PeerClosed:
    case TWaitEnd::TimedOut:
        FailNotConnected(false);
    }
    const std::size_t end = lineEnd();
    if (end != std::string_view::npos)
        return TakeFront(end + 1);
    // A peer that sends such a line speaks no line protocol: what it sends
    // next cannot be read either, so the connection ends here.
    RecvStream->Clear();
    RequestCloseSocket();
    throw ESockError(FormatText(Text(eLineTooLong), std::to_string(MaxLineLength)));
}

std::string TTcpSocket::Transaction(const std::string &Command)
{
    StatusMessage(LevelTrace, Text(sTransaction));
    ReplyNumber = 0;
    StartReplyClock();
    Writeln(Command);
    LastReply = ReadLn();
    if (!LastReply.empty()) {
        StatusMessage(LevelReply, LastReply);
        ReplyNumber = ReplyNumberOf(LastReply);
    }
    return LastReply;
}

std::unique_ptr<TFileStream> TTcpSocket::CaptureFile(const std::string &FileName, int64_t Limit)
{
    StatusMessage(LevelTrace, Text(sCaptureFile));
    CaptureStream = std::make_unique<TFileStream>(FileName);
    std::unique_ptr<TFileStream> captured;
    Capture(*CaptureStream, Limit, [this] { return CaptureStream->Failed(); },
            [&] {
                CaptureStream->Close();
                captured = std::move(CaptureStream);
            });
    return captured;
}

std::string TTcpSocket::CaptureBytes(int64_t Limit)
{
    TMemoryStream bytes;
    Capture(bytes, Limit, [] { return false; }, [] {});
    return std::string(bytes.Bytes());
}

void TTcpSocket::Capture(TStream &Target, int64_t Limit, const std::function<bool()> &Failed,
                         const std::function<void()> &Whole)
{
    captureTarget_ = &Target;
    captureLimit_ = Limit;
    const auto tooLarge = [this] { return bytesRecvd_ > captureLimit_; };
    TWaitEnd end;
    bool overrun = false;
    {
        struct End {
            TTcpSocket &socket;
            ~End()
            {
                socket.captureTarget_ = nullptr;
                socket.CaptureStream.reset();
                socket.PacketEvents = false;
            }
        } finish{*this};
        PacketEvents = true;
        bytesRecvd_ = 0;
        // What came before the capture began is the start of the file; it was
        // received before packets were watched, so no OnPacketRecvd for it.
        if (RecvStream->Size() > 0) {
            const std::string_view early = RecvStream->Bytes().substr(0, CaptureRoom(RecvStream->Bytes().size()));
            Target.Write(early.data(), early.size());
            bytesRecvd_ = static_cast<int64_t>(early.size());
            RecvStream->Clear();
            ResumeReadingIfRoom();
        }
        // The peer's close is the end of the file, not a failure.
        end = Wait([&] { return !Connected || Failed() || tooLarge(); }, {.SilenceMs = ReplyTimeOut});
        overrun = end == TWaitEnd::Met && tooLarge();
        if (end == TWaitEnd::Met && !overrun)
            Whole();
    }
    if (overrun) {
        // The peer learns from the close that nothing more is taken.
        RequestCloseSocket();
        throw ETooLargeError(FormatText(Text(eTransferTooLarge), std::to_string(Limit)));
    }
    if (end == TWaitEnd::Canceled) {
        Canceled = false;
        throw EAbortError(Text(eSendAborted));
    }
    if (end == TWaitEnd::Silent)
        throw ETimeOutError(Text(eTransferTimedOut));
    // A connection that broke (a reset) did not end the file: it cut it.
    if (connectionError_ != 0)
        throw ESockError(LookupErrorMessage(connectionError_));
}

std::string TTcpSocket::NthWord(const std::string &Text, char Separator, int Index)
{
    if (Index < 1)
        return {};
    std::size_t start = 0;
    for (int field = 1; field < Index; ++field) {
        const std::size_t next = Text.find(Separator, start);
        if (next == std::string::npos)
            return {};
        start = next + 1;
    }
    return Text.substr(start, Text.find(Separator, start) - start);
}
