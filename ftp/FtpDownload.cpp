// TFtpClient's file download: PORT, RETR, accept the server's data connection
// (or, passive, connect to the server's data port before RETR), capture it
// into the local file, read the completion reply.
#include "ftp/FtpClient.h"

#include "ftp/FtpRules.h"
#include "platform/net/MessagePump.h"
#include "sock/ThreadTimer.h"

namespace {

// How long DrainAfterCancel waits for the rest of a server's abort reply, in ms.
constexpr uint32_t kDrainLimitMs = 950;

}  // namespace

void TFtpClient::Download(const std::string &RemoteFile, const std::string &LocalFile)
{
    RequireSingleLine(RemoteFile);
    Canceled = false;
    CheckConnection();
    DataConnection = std::make_unique<TTcpSocket>();
    try {
        Transfer(RemoteFile, LocalFile.empty() ? RemoteFile : LocalFile);
    } catch (...) {
        FinishDownload(false);
        throw;
    }
    FinishDownload(true);
}

void TFtpClient::Transfer(const std::string &RemoteFile, const std::string &LocalFile)
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
    DataConnection->TimeOut = TimeOut;
    if (Passive) {
        OpenPassiveDataConnection(server);
    } else {
        DataConnection->Port = 0;
        DataConnection->Listen(true);
        const std::string port = "PORT " + GetLocalAddress() + DataConnection->GetLocalPort();
        StatusMessage(kStatusLevel, port);
        judge(Transaction(port));
    }

    if (OnPacketRecvd)
        DataConnection->OnPacketRecvd = OnPacketRecvd;
    StatusMessage(kStatusLevel, "RETR " + RemoteFile);
    BytesTotal = 0;
    // ReplyNumber stays the first line's while the further lines are read.
    std::string line;
    Exchange("RETR " + RemoteFile, [&](const std::string &each, bool first) {
        line = each;
        if (BytesTotal == 0)
            BytesTotal = ParseByteCount(each);
        if (!IsRefusal(ReplyNumber))
            return;
        // A refusal whose first line OnFailure handled goes on line by line.
        if (!first && OnUnSupportedFunction && IsUnsupported(ReplyNumber))
            OnUnSupportedFunction(cmdDownload);
        ReportFailure(cmdDownload, each);
    });

    // A server that has closed the control connection will not connect.
    if (!Passive)
        DataConnection->UseAcceptedSocket(DataConnection->AcceptFrom(server, [this] { return Connected; }));
    if (OnTransactionStart)
        OnTransactionStart(this);
    std::unique_ptr<TFileStream> file;
    if (!Canceled && !TimedOut)
        file = DataConnection->CaptureFile(LocalFile);
    if (OnTransactionStop)
        OnTransactionStop(this);
    DataConnection->RequestCloseSocket();
    BytesTotal = DataConnection->BytesRecvd;
    StatusMessage(kStatusLevel, "Received " + std::to_string(BytesTotal) + " Bytes");

    // After the server's abort reply (421, 426) the file is incomplete: the
    // read below then ends with the abort error instead of a success.
    if (!TimedOut)
        line = ReadLn();
    StatusMessage(kStatusLevel, line);
    if (!TimedOut)
        ReadContinuationLines(line);
    // Only a finished download replaces the local copy.
    if (file)
        file->Commit();
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
    bool expired = false;
    TThreadTimer deadline;
    deadline.SetInterval(kDrainLimitMs);
    deadline.SetOnTimer([&expired](TThreadTimer *) { expired = true; });
    std::string taken = Read(0);
    while (taken.empty() && !expired) {
        net::WaitForMessages();
        taken = Read(0);
    }
    StatusMessage(kStatusLevel, taken);
}
