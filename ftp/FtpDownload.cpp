// TFtpClient's file download: PORT, RETR, accept the server's data connection
// (or, passive, connect to the server's data port before RETR), capture it
// into the local file (or into memory), read the completion reply.
#include "ftp/FtpClient.h"

#include "ftp/FtpRules.h"

#include <algorithm>

namespace {

// A server gone silent, or a data connection that could not be secured, fails
// the download as a refusal does.
bool FailsLikeARefusal(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ETimeOutError &) {
        return true;
    } catch (const ETlsError &) {
        return true;
    } catch (...) {
        return false;
    }
}

// How long DrainAfterCancel waits for the rest of a server's abort reply, in ms.
constexpr int kDrainLimitMs = 950;

std::string ByteCount(int64_t Count) { return std::to_string(Count) + " bytes"; }

}  // namespace

void TFtpClient::Download(const std::string &RemoteFile, const std::string &LocalFile,
                          const TCheckReceived &BeforeCommit)
{
    RunDownload(RemoteFile, true, [&] {
        std::unique_ptr<TFileStream> file;
        Transfer(RemoteFile, DownloadLimit(), false, [&](int64_t Limit) {
            file = DataConnection->CaptureFile(LocalFile.empty() ? RemoteFile : LocalFile, Limit);
        });
        // A file refused, or one that cannot be put in place, fails the
        // download as a refusal does: the last word is the failure.
        std::string note;
        try {
            if (BeforeCommit)
                BeforeCommit(*file);
            note = file->Commit();
        } catch (...) {
            AnnounceDownloadFailure();
            throw;
        }
        // The new copy is in place: a directory that could not be synced is
        // worth a word, not a failed download.
        if (!note.empty())
            StatusMessage(kStatusLevel, note);
    });
}

std::string TFtpClient::Fetch(const std::string &RemoteFile, int64_t Limit)
{
    std::string bytes;
    RunDownload(RemoteFile, false, [&] {
        Transfer(RemoteFile, Limit, true, [&](int64_t Most) { bytes = DataConnection->CaptureBytes(Most); });
    });
    return bytes;
}

void TFtpClient::RunDownload(const std::string &RemoteFile, bool Announce, const std::function<void()> &Steps)
{
    RequireSingleLine(RemoteFile);
    Canceled = false;
    CheckConnection();
    DataConnection = std::make_unique<TTcpSocket>();
    try {
        Steps();
    } catch (...) {
        if (FailsLikeARefusal(std::current_exception()))
            AnnounceDownloadFailure();
        FinishDownload(false);
        throw;
    }
    FinishDownload(Announce);
}

void TFtpClient::Transfer(const std::string &RemoteFile, int64_t Limit, bool Quiet, const TCapture &Capture)
{
    // PORT or RETR refused: OnFailure may let the download go on.
    const auto judge = [this](const std::string &line) {
        if (IsRefusal(ReplyNumber))
            ReportFailure(cmdDownload, line);
    };

    DropBufferedReplies();
    // Only the server (or the proxy) may deliver the file: its address is
    // taken now, while the control connection surely has it.
    const std::string server = GetPeerAddress();
    // Over TLS a file is whole only when its end is proven: by close_notify,
    // or by as many bytes as a size known in advance.
    knownSize_ = Secured() ? AskSize(RemoteFile) : std::nullopt;
    if (knownSize_ && *knownSize_ > Limit)
        FailDownload(TooLargeError(*knownSize_, Limit));
    DataConnection->TimeOut = TimeOut;
    DataConnection->ReplyTimeOut = ReplyTimeOut;
    if (Passive) {
        OpenPassiveDataConnection(server);
    } else {
        // The server connects to the address the control connection uses,
        // so the listener takes only that one. PORT has no IPv6 form.
        const net::Address local = LocalEndpoint();
        DataConnection->Port = 0;
        DataConnection->Listen(true, local);
        if (local.IsIpv6())
            judge(SendCommand(EprtCommand(local.HostText(), static_cast<uint16_t>(DataConnection->Port))));
        else
            judge(SendCommand("PORT " + GetLocalAddress() + DataConnection->GetLocalPort()));
    }

    if (OnPacketRecvd)
        DataConnection->OnPacketRecvd = OnPacketRecvd;
    BytesTotal = 0;
    // ReplyNumber stays the first line's while the further lines are read.
    SendCommand("RETR " + RemoteFile, {}, [&](const std::string &each, bool first) {
        if (BytesTotal == 0)
            BytesTotal = ParseByteCount(each);
        if (!knownSize_)
            knownSize_ = AnnouncedSize(each);
        if (!IsRefusal(ReplyNumber))
            return;
        // A refusal whose first line OnFailure handled goes on line by line.
        if (!first && !Quiet && OnUnSupportedFunction && IsUnsupported(ReplyNumber))
            OnUnSupportedFunction(cmdDownload);
        ReportFailure<ERetrRefused>(cmdDownload, each);
    });

    if (knownSize_ && *knownSize_ > Limit)
        AbandonTransfer(TooLargeError(*knownSize_, Limit));
    if (!Passive)
        AcceptDataConnection(server);
    // The server checks that the data comes from the client it secured.
    if (Secured())
        DataConnection->StartTls(*tlsContext_, Host, TlsSession());
    if (OnTransactionStart)
        OnTransactionStart(this);
    // Captured also after a server's abort reply: the data connection came,
    // and what ends it is judged with the reply.
    try {
        Capture(std::min(Limit, knownSize_.value_or(NoLimit)));
    } catch (const ETooLargeError &) {
        if (knownSize_)
            AbandonTransfer(FTPException("Transfer too long: more than the " + ByteCount(*knownSize_) +
                                         " announced"));
        AbandonTransfer(EFileTooLarge("File too large: more than " + ByteCount(Limit)));
    }
    if (OnTransactionStop)
        OnTransactionStop(this);
    DataConnection->RequestCloseSocket();
    BytesTotal = DataConnection->BytesRecvd();
    StatusMessage(kStatusLevel, "Received " + std::to_string(BytesTotal) + " Bytes");

    // Only a transfer the server says it completed, with every byte it
    // announced, replaces the local copy.
    const std::string completion = ReadTransferReply();
    if (!IsPositiveCompletion(completion))
        FailDownload(FTPException(completion));
    if (knownSize_ && BytesTotal < *knownSize_)
        FailDownload(FTPException("Transfer incomplete: received " + std::to_string(BytesTotal) + " of " +
                                  ByteCount(*knownSize_)));
    // Anyone on the path can end a TCP connection; only the server can end
    // its TLS stream.
    if (Secured() && !knownSize_ && !DataConnection->TlsEndProven())
        FailDownload(FTPException("Transfer incomplete: the data connection ended without close_notify after " +
                                  std::to_string(BytesTotal) + " bytes"));
}

std::optional<int64_t> TFtpClient::AskSize(const std::string &RemoteFile)
{
    // A refusal only means that no size is known: it is no failure.
    const std::string reply = SendCommand("SIZE " + RemoteFile);
    return SizeFromReply(reply);
}

void TFtpClient::AcceptDataConnection(const std::string &Server)
{
    // A server that cannot connect says so on the control connection (425),
    // and one that has closed it will not connect: either ends the wait.
    const auto stillWanted = [this] { return Connected && !StartsWithNegativeReply(RecvStream->Bytes()); };
    try {
        DataConnection->UseAcceptedSocket(DataConnection->AcceptFrom(Server, stillWanted));
    } catch (const ESockError &) {
        if (DataConnection->IsCanceled() || !StartsWithNegativeReply(RecvStream->Bytes()))
            throw;
        const std::string refusal = ReadTransferReply();
        FailDownload(FTPException(refusal));
    }
}

std::string TFtpClient::ReadTransferReply()
{
    StartReplyClock();
    for (;;) {
        // A server's abort reply (421, 426) cancels the waits on the control
        // connection; here it is the reply awaited.
        if (IsServerAbort(RecvStream->Bytes()))
            Canceled = false;
        try {
            return ReadReply();
        } catch (const EAbortError &) {
            if (!IsServerAbort(RecvStream->Bytes()))
                throw;
        }
    }
}

int64_t TFtpClient::DownloadLimit() const { return MaxDownloadBytes > 0 ? MaxDownloadBytes : NoLimit; }

EFileTooLarge TFtpClient::TooLargeError(int64_t Announced, int64_t Limit)
{
    return EFileTooLarge("File too large: " + ByteCount(Announced) + " announced, at most " + std::to_string(Limit));
}

void TFtpClient::CutTransferShort()
{
    // The server learns from the close that the transfer is over and says so
    // on the control connection. Its answer is read now, so that it cannot
    // pass for the reply to the next command; a connection whose answer
    // cannot be read is closed, so that nothing it still brings can.
    DataConnection->RequestCloseSocket();
    try {
        ReadTransferReply();
    } catch (const ESockError &) {
        if (Connected)
            TTcpSocket::Disconnect();
    }
}

void TFtpClient::AnnounceDownloadFailure()
{
    bool handled = false;
    if (OnFailure)
        OnFailure(handled, cmdDownload);
}

void TFtpClient::FinishDownload(bool Success)
{
    DataConnection.reset();
    if (Success && OnSuccess)
        OnSuccess(cmdDownload);
    if (Canceled)
        DrainAfterCancel();
}

void TFtpClient::DrainAfterCancel()
{
    Canceled = false;
    // A new abort reply that cancels this wait makes the Read raise.
    Wait([this] { return RecvStream->Size() > 0; }, {.SilenceMs = kDrainLimitMs});
    if (RecvStream->Size() == 0 || Canceled) {
        StatusMessage(kStatusLevel, Read(0));
        return;
    }
    // What came begins a reply: it is read whole, so that none of it is
    // taken as the answer to the next command.
    StartReplyClock();
    ReadReply();
}
