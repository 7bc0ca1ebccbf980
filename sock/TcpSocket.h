#pragma once
// TTcpSocket: one TCP stream socket driven without threads. Every socket call
// is non-blocking; socket events, lookup answers and the component's own read
// and write requests arrive as messages at its hidden notification object and
// are handled only while the event loop runs. An operation that has to wait
// (lookup, connect, a reply line, a send, an accept, a capture) pumps the event
// loop, sleeping until the next event, until its condition holds, Cancel is
// called, (lookup and connect) TimeOut runs out, or (every other wait) nothing
// has come from the peer for ReplyTimeOut; a reply, a handshake and an accept
// must also be done within ReplyTimeOut from their start, however much the
// peer sends meanwhile. While it waits, any other handler may run, including
// the owner's.
//
// Ownership: the owner holds the component by value or std::unique_ptr. It may
// destroy it at any time except from inside one of the component's own events
// or while one of its operations is waiting further up the stack. The
// destructor closes the socket without OnDisconnect and without status
// reports; it calls this class's AbortTransfer only, so a descendant that
// overrides AbortTransfer calls it in its own destructor.
//
// Texts are single-byte strings (code page 1250); reply lines keep CR LF.
#include "platform/Exception.h"
#include "platform/files/FileStream.h"
#include "platform/net/Messages.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/Socket.h"
#include "platform/net/Tls.h"
#include "sock/MemoryStream.h"
#include "sock/ThreadTimer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TTcpSocket;

using TNotifyEvent = std::function<void(TTcpSocket *Sender)>;
using TOnStatus = std::function<void(TTcpSocket *Sender, const std::string &Status)>;
using TOnErrorEvent = std::function<void(TTcpSocket *Sender, uint16_t Errno, const std::string &Errmsg)>;
using THandlerEvent = std::function<void(bool &Handled)>;
using TOnHostResolved = std::function<void(TTcpSocket *Sender)>;

// A socket failure; the message is the display text.
class ESockError : public Exception {
public:
    using Exception::Exception;
};

// A wait that was ended by Cancel.
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// A wait that was ended because nothing came from the peer for ReplyTimeOut.
class ETimeOutError : public ESockError {
public:
    using ESockError::ESockError;
};

// A capture received more bytes than its limit.
class ETooLargeError : public ESockError {
public:
    using ESockError::ESockError;
};

// The connection could not be secured: no TLS, or a server that could not
// prove who it is. Reason says which.
class ETlsError : public ESockError {
public:
    ETlsError(const std::string &Message, net::TlsFailure Why) : ESockError(Message), Reason(Why) {}
    net::TlsFailure Reason;
};

// How a wait ended.
enum class TWaitEnd {
    Met,         // its condition holds
    Canceled,    // Cancel was called
    TimedOut,    // TimeOut ran out (lookup and connect)
    PeerClosed,  // the connection is gone
    Silent,      // nothing came from the peer for the silence limit, or the deadline passed
};

// What besides its condition and Cancel ends a wait.
struct TWaitLimits {
    bool TimeOut = false;     // the time-out timer (TimerOn) fired
    bool PeerClosed = false;  // the connection ended
    int SilenceMs = 0;        // nothing received or sent for this long; 0: no limit
    // A peer that keeps sending a little cannot stretch the wait past this.
    std::optional<std::chrono::steady_clock::time_point> Deadline = std::nullopt;
};

class TTcpSocket {
protected:
    // CaptureFile's limit when there is none.
    static constexpr int64_t NoLimit = std::numeric_limits<int64_t>::max();

public:
    // Starts the socket system for the first component of the process (its
    // six information lines go to WinsockInfo) and opens a socket selected for
    // all six notifications. Raises ESockError "Initializaton of windows
    // sockets failed" when no socket can be had. Not copyable (it owns its
    // socket and streams).
    TTcpSocket();
    virtual ~TTcpSocket();

    // ---- The five virtual operations, in this order.

    // Waits for a connection on a socket that listened with Listen(true) and
    // takes it; returns the new socket, which the caller puts to use (see
    // UseAcceptedSocket) or lets go. EventArrived stays set. Raises ESockError "Accepting Canceled"
    // on Cancel (Canceled stays set), ESockError "Error creating Data
    // Connection" when the accept notification carried an error, EAbortError
    // "Socket send aborted" when Cancel came during the accept step itself.
    virtual net::Socket Accept();
    // Resolves Proxy (if set) or Host (an IPv4 or IPv6 literal, brackets
    // allowed, or a name), connects to ProxyPort or Port within TimeOut ms
    // (0: no limit), trying each address of a name in turn until one answers. Raises ESockError on failure: "Already
    // connected", "Host Lookup Timed Out", "Host Lookup Canceled", "Null
    // Remote Address", "Connection Timed out", "Connection Canceled",
    // "Connection Failed" (refused or otherwise failed; LastError then holds
    // the reason, 10061 for a refusal; the last address's), a looked-up error
    // text when the last address fails at once, or a refusal of a too long host name
    // or a port outside 0..65535. A socket spent by an earlier attempt that
    // failed or was given up is replaced first.
    virtual void Connect();
    // Closes the connection; a fresh socket is ready for the next Connect.
    virtual void Disconnect();
    // Sends Command with CR LF, reads one reply line into LastReply, reports it
    // at level 1, sets ReplyNumber from its leading digits; returns the line.
    // The reply clock starts as the command goes out: the line, and the
    // further lines of the same reply, must come within ReplyTimeOut.
    virtual std::string Transaction(const std::string &Command);
    // Called when the time-out fires and when the component is destroyed;
    // does nothing here.
    virtual void AbortTransfer();

    // ---- Session.

    // Sets Canceled; every wait in progress ends at its next step.
    void Cancel();
    // Closes the socket (OnDisconnect) and opens a fresh one selected for all
    // six notifications.
    void RequestCloseSocket();

    // ---- Buffered I/O. On a socket that is not connected, SendBuffer, Read
    // and ReadLn fail as the system call does (OnError 10057 and ESockError
    // "10057:Socket is not connected"), or with ESockError "Connection closed
    // by the peer" when the peer ended the connection. Each wait ends with
    // ETimeOutError when nothing has come from the peer for ReplyTimeOut ms:
    // "Send Timed Out", "Reply Timed Out", "Transfer Timed Out" (CaptureFile),
    // "Accepting Timed Out" (Accept).

    // Sends Text up to its first zero byte; a text over 16384 bytes is refused
    // with ESockError.
    void Write(const std::string &Text);
    void Writeln(const std::string &Text);
    // Waits for Count buffered bytes and takes them; Count 0 takes what is
    // buffered without waiting. EAbortError "Socket send aborted" on Cancel.
    std::string Read(uint16_t Count);
    // Waits for a line feed and takes the line with its line end. EAbortError
    // "Socket readln aborted" on Cancel; Canceled stays set. While the reply
    // clock runs (see StartReplyClock), ETimeOutError "Reply Timed Out" also
    // when its deadline passes, however much the peer still sends. A line longer
    // than MaxLineLength (line end included) closes the connection
    // (OnDisconnect) and raises ESockError "Line too long: ...": holding an
    // endless line would take unbounded memory.
    std::string ReadLn();
    // Receives for the file FileName until the peer closes, with BytesRecvd
    // counting and OnPacketRecvd per block. Bytes already buffered go first.
    // Returns the written file, which takes FileName's place only when the
    // caller commits it. EAbortError "Socket send aborted" on Cancel (FileName
    // unchanged); EFCreateError when the file cannot be created; EWriteError
    // when it cannot be written; ESockError with the looked-up text when the
    // peer reset the connection ("10054:Connection reset by peer"). A byte
    // past Limit ends the capture at once: the connection is closed and
    // ETooLargeError "Transfer larger than N bytes" raised (FileName
    // unchanged); the file never holds more than Limit + 1 bytes.
    [[nodiscard]] std::unique_ptr<TFileStream> CaptureFile(const std::string &FileName, int64_t Limit = NoLimit);
    // Receives into memory as CaptureFile does into a file, and returns the
    // bytes: for what is small and must never reach the disk.
    [[nodiscard]] std::string CaptureBytes(int64_t Limit);

    // ---- TLS on this connection (the program is the TLS client).

    // Secures the connected socket: the handshake, the certificate checked
    // against Context's trust and against ServerName (a name or an IP literal
    // as Connect reads it, brackets allowed), resuming Resume when given.
    // Raises ETlsError with the reason (also when bytes arrived before the
    // handshake began: they came in the clear), or the waits' errors; the
    // handshake must end within ReplyTimeOut. Everything sent and received
    // afterwards is encrypted.
    void StartTls(const net::TlsContext &Context, const std::string &ServerName,
                  const net::TlsSessionRef &Resume = {});
    bool Secured() const { return tls_ && tls_->Established(); }
    // The last secured stream ended with the peer's close_notify: its end
    // was the peer's own, not a cut made on the way.
    bool TlsEndProven() const { return endProven_; }

    // ---- Listening side.

    // Binds the socket to Port (0: the system chooses; Port then holds the
    // chosen one) on local address On (empty: every local IPv4 address) and
    // listens; the accept notification comes as net::Message::LookupDone
    // when UseAcceptMessage, else as net::Message::SocketEvent. ESockError for
    // a Port outside 0..65535, and with the looked-up text when the port
    // cannot be bound ("10048:Address already in use").
    void Listen(bool UseAcceptMessage, const net::Address &On = {});
    // Accept that takes a connection only from PeerAddress (an IPv4 or IPv6
    // literal, an IPv4-mapped peer matching its IPv4 address; empty: from
    // anyone). A connection from another address is closed at once and the
    // wait goes on. ESockError when PeerAddress is not a dotted address, and
    // ESockError "Connection closed by the peer" as soon as StillWanted (when
    // given) says false and no connection waits: the connection the data
    // belonged to has ended or refused it. ETimeOutError "Accepting Timed
    // Out" when no connection from PeerAddress came within ReplyTimeOut ms.
    net::Socket AcceptFrom(const std::string &PeerAddress, const std::function<bool()> &StillWanted = {});
    // Closes the listening socket, makes Accepted this component's socket and
    // selects all six notifications for it.
    void UseAcceptedSocket(net::Socket Accepted);
    // The socket's local address with commas for dots ("192,168,1,5") and its
    // local port as ",high,low" (",4,6" for 1030): the two halves of a PORT
    // argument. An IPv6 address has no dots and keeps its colons ("::1").
    std::string GetLocalAddress();
    std::string GetLocalPort();
    // The connected peer's address, dotted ("127.0.0.1", also for an
    // IPv4-mapped peer) or IPv6 ("::1"); empty when there is no peer.
    std::string GetPeerAddress();

    // ---- Properties the owner sets.
    std::string Host;
    int Port = 0;
    int TimeOut = 0;      // ms for lookup and connect; 0: no limit
    int ReplyTimeOut = 0; // ms of silence that ends any other wait; 0: no limit
    int ReportLevel = 0;  // 0 nothing, 1 replies, 4 I/O notes, 8 trace, 16 all
    std::string Proxy;    // when set, resolved and connected instead of Host
    int ProxyPort = 0;

    // ---- Events, fired only when assigned.
    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnect;
    THandlerEvent OnInvalidHost;        // may fix Host/Proxy and set Handled
    TOnHostResolved OnHostResolved;
    TOnStatus OnStatus;
    TNotifyEvent OnConnectionFailed;    // Connect is about to raise its failure
    TOnErrorEvent OnError;              // a socket error was looked up
    THandlerEvent OnConnectionRequired; // asked by CheckConnection
    TNotifyEvent OnPacketRecvd;         // a block was received while PacketEvents
    TNotifyEvent OnPacketSent;          // a block was sent while PacketEvents

    // ---- State the owner reads.
    bool IsConnected() const { return Connected; }
    // A Cancel that no operation has taken back yet.
    bool IsCanceled() const { return Canceled; }
    // Bytes received during the last CaptureFile, sent since creation.
    virtual int64_t BytesRecvd() const { return bytesRecvd_; }
    virtual int64_t BytesSent() const { return bytesSent_; }

protected:
    // Raises Exception "Not Connected" unless Connected; OnConnectionRequired
    // gets one chance to connect first.
    void CheckConnection();
    // Queues Length bytes (0: up to the first zero byte) and waits until all
    // are handed to the socket; Write and Writeln send through it. Does
    // nothing while Canceled is set; raises EAbortError "Socket send aborted"
    // on Cancel (clearing Canceled).
    void SendBuffer(const char *Buffer, uint16_t Length);
    // Fills the address of RemoteAddress from Proxy or Host (see Connect), and
    // the addresses to try after it; RemoteAddress stays empty when there is
    // none.
    void ResolveHost();
    // The local address of the connected socket; empty when there is none.
    net::Address LocalEndpoint() const;
    // Passes Status to OnStatus when ReportLevel >= Level.
    void StatusMessage(uint8_t Level, const std::string &Status);
    // "10061:Connection refused" style text; empty for 0; "Unknown Error No. N".
    std::string LookupErrorMessage(uint16_t ErrorCode);
    // After a failed socket call: quiet when the error is Tolerated, otherwise
    // OnError and ESockError with the looked-up text.
    void ErrorManager(uint16_t Tolerated);
    void TimerOn();
    void TimerOff();
    // Field Index (1-based) of Text split at Separator; empty beyond the last.
    static std::string NthWord(const std::string &Text, char Separator, int Index);

    // Notification handlers. WriteFromStream sends at most one 16383-byte
    // block; ReadToStream receives everything that is ready, one
    // OnPacketRecvd per block of at most 16383 bytes, up to ReadBudget bytes
    // per run so that the event loop keeps turning.
    void ReadToStream();
    void WriteFromStream();

    // "TLSv1.3, TLS_AES_256_GCM_SHA384"; empty when not secured.
    std::string TlsDescription() const;
    // The session for another connection to resume; empty when not secured.
    net::TlsSessionRef TlsSession() const;

    // Called after ReadToStream has appended received bytes: a protocol
    // above looks at them (the FTP client for a server's abort reply).
    TNotifyEvent OnDataArrived;

    // ---- State of the connection and of the running operation.
    bool PacketEvents = false;  // count BytesRecvd and fire the packet events
    bool Busy = false;          // ReadToStream or WriteFromStream is running
    std::vector<std::string> WinsockInfo;  // start-up lines, first component only
    bool Canceled = false;      // sticky until an operation clears it
    bool ShuttingDown = false;  // set by the destructor
    int LastError = 0;          // code of the last failed socket call or connect
    std::string LastStatus;     // last status text that passed the filter
    bool EventOk = false;       // the last notification carried no error
    bool TimedOut = false;      // the time-out fired since the last TimerOn
    bool EventArrived = false;  // a lookup ended, or a connection waits (Listen(true))
    net::Address RemoteAddress;  // connect target, bind address, accepted peer
    std::string LastReply;
    int16_t ReplyNumber = 0;
    bool WriteComplete = false;
    net::Socket SocketHandle;
    bool Connected = false;
    int64_t bytesSent_ = 0;
    int64_t bytesRecvd_ = 0;

    // Components that have started the socket system (process-wide).
    static int WinsockUsers;

    // Received bytes not yet taken by Read/ReadLn. During a capture
    // received bytes go to its target instead: CaptureStream, or the
    // memory of CaptureBytes.
    std::unique_ptr<TMemoryStream> RecvStream;
    // Bytes not yet handed to the socket, and its compaction spare.
    std::unique_ptr<TMemoryStream> SendStream;
    std::unique_ptr<TMemoryStream> SendSpare;
    std::unique_ptr<TFileStream> CaptureStream;

    std::unique_ptr<TThreadTimer> TimeOutTimer;
    std::unique_ptr<net::NotificationWindow> SocketWindow;

    // Dispatches one message of the notification object; never raises.
    void HandleSocketMessage(const net::Message &Msg);
    // The one wait: pumps the event loop until Condition() holds or a limit
    // ends it, and says which. Cancel ends it first, even when the condition
    // holds too.
    TWaitEnd Wait(const std::function<bool()> &Condition, TWaitLimits Limits);
    // The limits of a wait for the peer: its close and ReplyTimeOut.
    TWaitLimits PeerLimits() const { return {.PeerClosed = true, .SilenceMs = ReplyTimeOut}; }
    // ReplyTimeOut from now; none when ReplyTimeOut is 0.
    std::optional<std::chrono::steady_clock::time_point> DeadlineFromNow() const;
    // The lines ReadLn reads from now on belong to one reply, which must be
    // whole within ReplyTimeOut: a peer that drips it cannot hold the wait.
    void StartReplyClock();
    void StopReplyClock() { replyDeadline_.reset(); }

private:
    void TimerFired();
    void StartWinsock();
    // Opens a fresh socket of Family into SocketHandle; ResetOnClose sets
    // SO_LINGER {1, 0}.
    void OpenSocket(bool ResetOnClose, net::AddressFamily Family = net::AddressFamily::Ipv4);
    // A fresh socket of Family unless SocketHandle is one that can still connect.
    void SocketFor(net::AddressFamily Family);
    // Starts connecting to RemoteAddress and waits, at most ShareMs when
    // given (then the attempt is given up); how the wait ended, Met with
    // EventOk false for a refusal or a share used up. Only the last address
    // raises when its connect fails at once.
    TWaitEnd TryConnect(bool Last, int ShareMs);
    // Raises the failure of an operation that needs a connection there is not.
    [[noreturn]] void FailNotConnected(bool Sending);
    void SelectAllEvents();
    void PostRequest(int Number);
    // Clears Busy and re-posts the requests that met it.
    void ReleaseBusy();
    // Holds Busy for one handler run and releases it on every path.
    struct BusyScope {
        explicit BusyScope(TTcpSocket &Owner) : socket(Owner) { socket.Busy = true; }
        ~BusyScope() { socket.ReleaseBusy(); }
        BusyScope(const BusyScope &) = delete;
        BusyScope &operator=(const BusyScope &) = delete;
        TTcpSocket &socket;
    };
    void HandleSocketEvent(const net::Message &Msg);
    TStream &ReceiveTarget();
    // The receive buffer holds as much as it may while nobody takes from it,
    // or a capture has taken all its limit lets it.
    bool BufferFull() const;
    // Most, or less while a capture runs: what it may still take, up to the
    // byte past its limit that shows it too large.
    std::size_t CaptureRoom(std::size_t Most) const;
    // The capture both CaptureFile and CaptureBytes run: into Target until the
    // peer closes, Failed() holds or a byte passes Limit; Whole is called when
    // the peer's close ended it. Raises as CaptureFile says.
    void Capture(TStream &Target, int64_t Limit, const std::function<bool()> &Failed,
                 const std::function<void()> &Whole);
    // Receives up to Most bytes (BlockSize unless spliced into the capture's
    // file, and no more than the capture's room) into the capture or
    // RecvStream, through Buffer (BlockSize bytes) when they are copied; the
    // count, 0 at the end, or SocketError.
    long ReceiveBlock(char *Buffer, std::size_t Most);
    // Count bytes were received: the counter and OnPacketRecvd per block.
    void CountReceived(std::size_t Count);
    void DrainAtClose();
    // The peer ended the connection (Error: what broke it, 0 for a plain end):
    // what it sent is taken, then the socket is closed (OnDisconnect).
    void ClosedByPeer(uint16_t Error);
    // The first Count buffered bytes, removed from RecvStream.
    std::string TakeFront(std::size_t Count);
    // Lets reading go on once the receive buffer has room again.
    void ResumeReadingIfRoom();
    // A receive failed for good: LastError, OnError, and the capture fails.
    void ReportBrokenConnection(uint16_t Code);
    // One receive or send on the socket, through TLS when it is secured.
    long ReceiveSome(char *Data, std::size_t Length);
    long SendSome(const char *Data, std::size_t Length);
    // Sends one block of SendStream; the code of a broken TLS stream, 0 otherwise.
    uint16_t WriteBlock();
    // Steps a TLS handshake under way; true when one is (the caller's I/O waits).
    bool StepTlsHandshake();
    static uint16_t CheckedPort(int Value);
    // Proxy or Host up to its first zero byte; ESockError when it is longer
    // than the system takes.
    std::string NameToResolve() const;

    // ErrorManager's argument for calls whose failure is never the would-block
    // of a non-blocking socket.
    static constexpr uint16_t NothingTolerated = 0;

    bool destroying_ = false;      // status reports and OnDisconnect are silent
    uint32_t pendingLookup_ = 0;   // tag of the lookup being waited for
    std::vector<net::Address> lookupAddresses_;  // its answer
    std::vector<net::Address> otherAddresses_;   // to try after RemoteAddress
    // When something last came from the peer or went to it.
    std::chrono::steady_clock::time_point lastHeard_{};
    std::unique_ptr<net::TlsStream> tls_;  // on SocketHandle, while secured or securing
    // When the reply being read must be whole (StartReplyClock); none: no deadline.
    std::optional<std::chrono::steady_clock::time_point> replyDeadline_;
    bool readSkipped_ = false;     // a read request met Busy
    bool writeSkipped_ = false;    // a write request met Busy
    bool readHeld_ = false;        // the receive buffer was full: nothing more was read
    bool peerClosed_ = false;      // the connection ended by the peer's close
    uint16_t connectionError_ = 0; // what broke the connection (a reset: 10054), 0 for a plain close
    bool endProven_ = false;       // see TlsEndProven
    bool securedAtClose_ = false;  // the TLS stream closed was established
    int64_t captureLimit_ = NoLimit;  // bytes the running capture may take
    TStream *captureTarget_ = nullptr;  // where the running capture puts what comes
};
