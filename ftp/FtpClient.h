#pragma once
// TFtpClient: an FTP client on the control connection that its base TTcpSocket
// provides. It logs in, directly or through a proxy that takes the target
// server in the user name, sends single commands, classifies the replies,
// downloads files over a data connection that the server opens to it (active
// mode) or that it opens to the server (passive mode, when asked), and reports
// every step as a status text (level 1) and as events.
//
// Every operation is synchronous and waits by pumping the event loop, so the
// owner's handlers (the abort button among them) run inside it. One operation
// at a time: nothing guards against a second one started from a handler.
#include "ftp/FtpTypes.h"
#include "sock/TcpSocket.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TFtpClient : public TTcpSocket {
public:
    TFtpClient();
    // Logs out when still connected, waiting at most LogoutLimitMs for the
    // server. The owner's handlers are not called any more: the owner may be
    // half destroyed itself.
    ~TFtpClient() override;
    static constexpr uint32_t LogoutLimitMs = 3000;

    // Connects (to Proxy:ProxyPort when Proxy is set, else Host:Port), reads
    // the greeting and logs in as UserID (USER, and PASS on 331). Does nothing
    // when already connected. A refused login (401..599) fires
    // OnConnectionFailed and raises FTPException with the reply line; after
    // any failure past the TCP connect, QUIT is sent, the connection closed and
    // "Disconnected" reported before the error passes on.
    void Connect() override;
    // Sends QUIT and closes; raises FTPException when QUIT is refused
    // (301..599), after closing. Does nothing when not connected.
    void Disconnect() override;
    // Sends Command, reads its whole reply (further lines reported and
    // dropped) and returns the first line; ReplyNumber is the first line's.
    std::string Transaction(const std::string &Command) override { return Exchange(Command); }
    // Stops a running Download's data connection (accept, connect or capture). Sends
    // nothing to the server.
    void AbortTransfer() override;

    // Sends one command and fires one outcome event of its kind (see
    // CommandKind): 400..599 is a failure (OnUnSupportedFunction first for 500,
    // 501 and 502, then OnFailure or FTPException), anything else a success.
    void DoCommand(const std::string &CommandText);
    // 1 "TYPE A", 2 "TYPE I", 3 "TYPE L 8" through DoCommand; other values do nothing.
    void Mode(int TheMode);
    // Fetches RemoteFile (sent unchanged with RETR) into LocalFile (RemoteFile
    // when empty) over a data connection accepted from the control
    // connection's peer only, or with Passive opened to that peer. Refusals of PORT or RETR (301..599) go to
    // OnFailure (cmdDownload) or raise FTPException. OnSuccess (cmdDownload)
    // only when the completion reply is 2xx and exactly the bytes the RETR
    // reply announced have come; otherwise OnFailure and FTPException with
    // the reply (or "Transfer incomplete: ...", see also MaxDownloadBytes),
    // the local copy kept. A silent server (ReplyTimeOut) also fails the
    // download through OnFailure. A directory that cannot be synced after the
    // new copy is in place is reported as a status text, not as a failure.
    // BeforeCommit, when given, is shown the file that would replace the
    // local copy; when it raises, the download fails (OnFailure, then its
    // error) and the local copy stays. A new copy that cannot be put in place
    // fails the download the same way.
    // A RETR refusal raises ERetrRefused, a file past MaxDownloadBytes
    // EFileTooLarge.
    void Download(const std::string &RemoteFile, const std::string &LocalFile,
                  const TCheckReceived &BeforeCommit = {});
    // Fetches RemoteFile into memory as Download fetches it into a file, with
    // the same steps, texts and failures, at most Limit bytes (EFileTooLarge
    // past it), and returns the bytes. It is a step of something larger: no
    // OnSuccess, and no OnUnSupportedFunction for its RETR.
    std::string Fetch(const std::string &RemoteFile, int64_t Limit);
    // Progress of the running Download (its data connection's counts); 0 when
    // none runs. They stand for the base's counts of the control connection,
    // which no owner of an FTP client wants.
    int64_t BytesRecvd() const override;
    int64_t BytesSent() const override;
    // The size the RETR reply announced (0: none), and after a transfer the
    // bytes it brought.
    int64_t BytesTotal = 0;
    // The most bytes one Download may bring (0: no limit). A download that
    // passes it, or that brings more than the size the server announced,
    // fails at once, and one announced larger than it fails before a byte
    // is written: OnFailure (cmdDownload) and FTPException, the local copy
    // kept. The server's reply to the transfer cut short is read; when it
    // cannot be, the control connection is closed.
    int64_t MaxDownloadBytes = 0;

    // ---- Properties.
    std::string UserID;
    std::string Password;  // sent with PASS, never shown
    int Vendor = DefaultVendor;  // stored only; Disconnect resets it
    // Download connects to the data port the server offers (EPSV, or PASV
    // when EPSV is refused over IPv4) instead of offering one with PORT (EPRT
    // over IPv6).
    bool Passive = false;
    // Connect secures the control connection before the login (AUTH TLS,
    // the server's certificate checked against Host, PBSZ 0, PROT P) and
    // Download every data connection, resuming the control connection's TLS
    // session. Any failure raises ETlsError and sends nothing in the clear.
    bool UseTls = false;
    // PEM file of CA certificates trusted besides the system's (empty: none).
    std::string TrustedCaFile;
    bool ParseList = false;  // stored only

    // ---- Events, fired only when assigned.
    // After the login. It hides the socket's own OnConnect on purpose: the
    // owner of an FTP client hears of a connection only once it is logged in.
    TNotifyEvent OnConnect;
    TNotifyEvent OnTransactionStart;  // around a Download's data transfer
    TNotifyEvent OnTransactionStop;
    THandlerEvent OnAuthenticationNeeded;  // before USER when UserID or Password is empty
    THandlerEvent OnAuthenticationFailed;  // never fired
    TFailureEvent OnFailure;
    TSuccessEvent OnSuccess;
    TFtpListItem OnListItem;  // never fired
    TUnsupportedEvent OnUnSupportedFunction;

protected:
    // Each line of a reply as it is read: the first before any further line.
    using EachReplyLine = std::function<void(const std::string &Line, bool First)>;
    // The one way a command goes out: reports Shown, sends Shown + Hidden and
    // reads the whole reply (Exchange); returns its first line. What Hidden
    // holds (a password, the server's name for the proxy) is never shown.
    std::string SendCommand(const std::string &Shown, const std::string &Hidden = {},
                            const EachReplyLine &EachLine = {});
    // The one way a command's reply is read: sends Command, takes the first
    // line and its number through the socket layer's Transaction, then every
    // further line (ReadContinuationLines). Returns the first line.
    std::string Exchange(const std::string &Command, const EachReplyLine &EachLine = {});
    // Reads a reply that is not the answer to a command (the greeting, the
    // end of a transfer) whole, reporting each line; returns the first. The
    // caller starts its clock.
    std::string ReadReply(const EachReplyLine &EachLine = {});
    // Reads the further lines of the reply whose first line is First: when
    // First is "ddd-", every line up to the one that begins with the same
    // three digits and no "-", reporting each and passing it to EachLine.
    // Returns the last line read (First when none followed). A reply of more
    // than MaxReplyLines lines or MaxReplyBytes bytes fails as one that did
    // not come in time. A server abort reply left behind it cancels the next wait.
    // First is a copy: EachLine may change where the caller keeps it.
    std::string ReadContinuationLines(std::string First, const EachReplyLine &EachLine = {});

private:
    // Every text this component reports has this level.
    static constexpr uint8_t kStatusLevel = 1;

    // Runs Read, which reads a reply; when the reply does not come whole in
    // time (ETimeOutError), the control connection ends before the error
    // passes on: client and server are out of step on it.
    std::string ClosingIfLate(const std::function<std::string()> &Read);

    // Installed as OnDataArrived: a 421 or 426 at the head of the received
    // bytes cancels the wait in progress on the control connection.
    void CheckServerAbort();
    // After a server abort: reports what the server still sent, waiting up to
    // about a second for it.
    void DrainAfterCancel();
    // Drops a late reply or the rest of an aborted transfer before a command.
    void DropBufferedReplies();
    // OnFailure(kind) may handle a refusal; otherwise Error(Line).
    template <class Error = FTPException>
    void ReportFailure(TCmdType Kind, const std::string &Line)
    {
        bool handled = false;
        if (OnFailure)
            OnFailure(handled, Kind);
        if (!handled)
            throw Error(Line);
    }
    // Runs Steps of a download (Download's or Fetch's) between creating and
    // freeing the data connection; OnSuccess afterwards only when Announce.
    void RunDownload(const std::string &RemoteFile, bool Announce, const std::function<void()> &Steps);
    // Receives what the data connection brings, at most Limit bytes.
    using TCapture = std::function<void(int64_t Limit)>;
    // The transfer of RemoteFile, at most Limit bytes, through Capture, up to
    // the judged completion reply; Quiet: no OnUnSupportedFunction.
    void Transfer(const std::string &RemoteFile, int64_t Limit, bool Quiet, const TCapture &Capture);
    // Passive step of Transfer: asks for a data port and connects to it on
    // Server within TimeOut. An unusable reply or a failed connect fires
    // OnFailure (cmdDownload) and raises; AbortTransfer ends the connect with
    // "Connection Canceled".
    void OpenPassiveDataConnection(const std::string &Server);
    // Active step of Transfer: waits for the server's data connection, from
    // Server only. A negative reply on the control connection meanwhile (425)
    // ends the wait with that reply as the error (OnFailure first).
    void AcceptDataConnection(const std::string &Server);
    // Over TLS, before the data port: SIZE, answered by "213 <bytes>"; nothing
    // when the server refuses it or names no size.
    std::optional<int64_t> AskSize(const std::string &RemoteFile);
    // Reads the reply that ends a transfer or refuses it, also when it is a
    // server's abort reply, reporting each line; returns the first. It must
    // be whole within ReplyTimeOut from now.
    std::string ReadTransferReply();
    // MaxDownloadBytes, or NoLimit for none.
    int64_t DownloadLimit() const;
    // A size known before the transfer (SIZE, the RETR reply) that passes Limit.
    static EFileTooLarge TooLargeError(int64_t Announced, int64_t Limit);
    // Ends a transfer the client cuts short: closes the data connection,
    // reads the server's reply to that (or closes the control connection when
    // it cannot), then fails the download with Error.
    template <class Error>
    [[noreturn]] void AbandonTransfer(const Error &E)
    {
        CutTransferShort();
        FailDownload(E);
    }
    // AbandonTransfer's steps before the failure.
    void CutTransferShort();
    // OnFailure (cmdDownload) hears that the download cannot go on, whatever
    // it answers; the caller raises the error.
    void AnnounceDownloadFailure();
    // The one way a download that cannot go on fails: OnFailure, then Error.
    template <class Error>
    [[noreturn]] void FailDownload(const Error &E)
    {
        AnnounceDownloadFailure();
        throw E;
    }
    void FinishDownload(bool Success);
    // AUTH TLS, the handshake, PBSZ 0 and PROT P; ETlsError when any fails.
    void SecureControlConnection();
    // Ends a login that failed: QUIT first only when SayQuit.
    void AbandonLogin(bool SayQuit);
    std::unique_ptr<net::TlsContext> tlsContext_;  // while UseTls: the trust of this session

    std::unique_ptr<TTcpSocket> DataConnection;  // exists only during Download
    // The size the server gave for the running download (SIZE, or the RETR
    // reply); none when it gave none.
    std::optional<int64_t> knownSize_;
};
