#include "ftp/FtpClient.h"

#include "ftp/FtpRules.h"
#include "platform/CodePage.h"
#include "sock/SockConst.h"
#include "sock/ThreadTimer.h"

#include <algorithm>

TFtpClient::TFtpClient()
{
    Port = 21;
    OnDataArrived = [this](TTcpSocket *) { CheckServerAbort(); };
}

TFtpClient::~TFtpClient()
{
    OnStatus = {};
    OnDisconnect = {};
    OnError = {};
    Cancel();
    if (Connected) {
        // A server that never answers QUIT must not keep the program alive:
        // the logout gets a few seconds, then its wait is cancelled.
        TThreadTimer deadline;
        deadline.SetInterval(LogoutLimitMs);
        deadline.SetOnTimer([this](TThreadTimer *) { Cancel(); });
        try {
            Disconnect();
        } catch (...) {
            // Logging out is a courtesy; the socket is closed either way.
        }
    }
}

void TFtpClient::Connect()
{
    Canceled = false;
    if (Connected)
        return;
    // Nothing goes out when the trust the check asks for cannot be had.
    tlsContext_.reset();
    if (UseTls) {
        tlsContext_ = std::make_unique<net::TlsContext>(TrustedCaFile);
        if (tlsContext_->LoadFailure() != net::TlsFailure::None)
            throw ETlsError("Cannot read the CA certificates " + TrustedCaFile, tlsContext_->LoadFailure());
    }
    RecvStream->Clear();
    TTcpSocket::Connect();
    try {
        StartReplyClock();  // the greeting's time counts from the connect
        ReadReply();
        if (UseTls)
            SecureControlConnection();
        if ((UserID.empty() || Password.empty()) && OnAuthenticationNeeded) {
            bool handled = false;
            OnAuthenticationNeeded(handled);
        }
        // Anything to USER but a refusal or 331 completes the login.
        const auto judge = [this](const std::string &reply) {
            if (IsLoginRefusal(ReplyNumber)) {
                if (OnConnectionFailed)
                    OnConnectionFailed(this);
                throw FTPException(reply);
            }
        };
        // Through the proxy the server's name goes with the user's, unshown.
        judge(SendCommand("USER " + UserID, Proxy.empty() ? "" : "@" + Host));
        if (ReplyNumber == 331)  // password required
            judge(SendCommand("PASS ", Password));
        if (OnConnect)
            OnConnect(this);
    } catch (const ETimeOutError &) {
        // A server gone silent would not answer QUIT either; it failed the
        // connection as a refusal does.
        if (OnConnectionFailed)
            OnConnectionFailed(this);
        AbandonLogin(false);
        throw;
    } catch (const ETlsError &) {
        // Nothing more goes out in the clear.
        AbandonLogin(false);
        throw;
    } catch (...) {
        // A QUIT before the connection is secured would go out in the clear.
        AbandonLogin(!UseTls || Secured());
        throw;
    }
}

void TFtpClient::AbandonLogin(bool SayQuit)
{
    if (SayQuit) {
        // The logout is a courtesy to a server that may be gone already: its
        // own failure must not hide why the login ended.
        try {
            Disconnect();
        } catch (const std::exception &) {
        }
    } else if (Connected) {
        TTcpSocket::Disconnect();
    }
    StatusMessage(kStatusLevel, "Disconnected");
}

void TFtpClient::SecureControlConnection()
{
    const std::string reply = SendCommand("AUTH TLS");
    if (ReplyNumber != 234)  // 234: the security data exchange may begin
        throw ETlsError(reply, net::TlsFailure::Refused);
    // Anything the server sent after its 234 came in the clear: StartTls
    // refuses it, so that nothing of it is taken as a reply.
    StartTls(*tlsContext_, Host);
    StatusMessage(kStatusLevel, Cp("Połączenie szyfrowane: ") + TlsDescription());
    for (const char *command : {"PBSZ 0", "PROT P"}) {
        const std::string answer = SendCommand(command);
        if (ReplyNumber < 200 || ReplyNumber > 299)
            throw ETlsError(answer, net::TlsFailure::Unprotected);
    }
}

void TFtpClient::Disconnect()
{
    Canceled = false;
    if (!Connected)
        return;
    std::string reply;
    try {
        Vendor = DefaultVendor;
        DropBufferedReplies();
        reply = SendCommand("QUIT");
    } catch (...) {
        TTcpSocket::Disconnect();
        throw;
    }
    // Also when the server has closed after its goodbye: the close of the
    // user's disconnect is then the last thing the owner hears.
    TTcpSocket::Disconnect();
    if (IsRefusal(ReplyNumber))  // QUIT refused; closed all the same
        throw FTPException(reply);
}

std::string TFtpClient::SendCommand(const std::string &Shown, const std::string &Hidden, const EachReplyLine &EachLine)
{
    StatusMessage(kStatusLevel, Shown);
    return Exchange(Shown + Hidden, EachLine);
}

std::string TFtpClient::Exchange(const std::string &Command, const EachReplyLine &EachLine)
{
    RequireSingleLine(Command);
    return ClosingIfLate([&] {
        const std::string first = TTcpSocket::Transaction(Command);
        if (EachLine)
            EachLine(first, true);
        ReadContinuationLines(first, EachLine);
        return first;
    });
}

std::string TFtpClient::ReadReply(const EachReplyLine &EachLine)
{
    return ClosingIfLate([&] {
        const std::string first = ReadLn();
        StatusMessage(kStatusLevel, first);
        if (EachLine)
            EachLine(first, true);
        ReadContinuationLines(first, EachLine);
        return first;
    });
}

std::string TFtpClient::ClosingIfLate(const std::function<std::string()> &Read)
{
    try {
        return Read();
    } catch (const ETimeOutError &) {
        // The rest of a reply that did not come whole in time may still come,
        // and would be read as the answer to the next command.
        if (Connected)
            TTcpSocket::Disconnect();
        throw;
    }
}

std::string TFtpClient::ReadContinuationLines(std::string First, const EachReplyLine &EachLine)
{
    std::string line = First;
    if (OpensMultiLineReply(First)) {
        int lines = 1;
        std::size_t bytes = First.size();
        do {
            line = ReadLn();
            // A reply without end would hold the check for as long as the
            // server likes.
            if (++lines > MaxReplyLines || (bytes += line.size()) > MaxReplyBytes)
                throw ETimeOutError(std::string(SockConst::eReplyTimedOut));
            StatusMessage(kStatusLevel, line);
            if (EachLine)
                EachLine(line, false);
        } while (!EndsMultiLineReply(First, line));
    }
    // A reply that came in the same block as this one is at the head of the
    // buffer only now.
    CheckServerAbort();
    return line;
}

void TFtpClient::DoCommand(const std::string &CommandText)
{
    RequireSingleLine(CommandText);
    const TCmdType kind = CommandKind(NthWord(CommandText, ' ', 1), CommandText);
    Canceled = false;
    CheckConnection();
    DropBufferedReplies();
    const std::string reply = SendCommand(CommandText);
    if (!IsNegative(ReplyNumber)) {
        if (OnSuccess)
            OnSuccess(kind);
        return;
    }
    if (OnUnSupportedFunction && IsUnsupported(ReplyNumber))
        OnUnSupportedFunction(kind);
    ReportFailure(kind, reply);
}

void TFtpClient::Mode(int TheMode)
{
    static const char *const commands[] = {"TYPE A", "TYPE I", "TYPE L 8"};
    if (TheMode >= modeAscii && TheMode <= modeLocal8)
        DoCommand(commands[TheMode - modeAscii]);
}

void TFtpClient::AbortTransfer()
{
    if (DataConnection)
        DataConnection->Cancel();
}

int64_t TFtpClient::BytesRecvd() const { return DataConnection ? DataConnection->BytesRecvd() : 0; }

int64_t TFtpClient::BytesSent() const { return DataConnection ? DataConnection->BytesSent() : 0; }

void TFtpClient::CheckServerAbort()
{
    if (IsServerAbort(RecvStream->Bytes()))
        Cancel();
}

void TFtpClient::DropBufferedReplies()
{
    // In pieces that Read can return: a hostile server may have sent more.
    while (RecvStream->Size() > 0)
        Read(static_cast<uint16_t>(std::min<int64_t>(RecvStream->Size(), 65535)));
}
