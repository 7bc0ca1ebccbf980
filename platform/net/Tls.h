#pragma once
// TLS over one net::Socket, driven without blocking by the
// socket's own notifications: every byte goes through the socket's Recv and
// Send, so its notifiers are re-armed exactly as for plain data. The program
// is always the TLS client; the server's certificate is verified against the
// system's trust store (plus an extra CA file) and against the host name or IP
// address it was asked for.
#include "platform/net/Socket.h"

#include <cstddef>
#include <memory>
#include <string>

namespace net {

// Why a secured connection could not be had.
enum class TlsFailure {
    None,
    Untrusted,      // the chain does not lead to a trusted CA (self-signed among them)
    Expired,
    NotYetValid,
    NameMismatch,   // the certificate is for another name or address
    Handshake,      // the peer does not speak TLS, or the handshake broke off
    CaFile,         // the extra CA file cannot be read
    Refused,        // the peer declined to start TLS
    Unprotected,    // the peer declined to protect what follows
};

// What every session of one check shares: TLS 1.2 at least, verification on.
class TlsContext {
public:
    // CaFile: PEM certificates trusted besides the system's (empty: none).
    // The failure to read it shows in LoadFailure(), not as an exception, so
    // that the caller reports it like any other reason.
    explicit TlsContext(const std::string &CaFile);
    ~TlsContext();
    TlsContext(const TlsContext &) = delete;
    TlsContext &operator=(const TlsContext &) = delete;
    TlsFailure LoadFailure() const { return loadFailure_; }
    // What the TLS library keeps for it.
    struct Native;
    const Native &Handle() const { return *native_; }

private:
    std::unique_ptr<Native> native_;
    TlsFailure loadFailure_ = TlsFailure::None;
};

// A session kept for the data connections to resume (servers may require it).
struct TlsSession;
using TlsSessionRef = std::shared_ptr<TlsSession>;

class TlsStream {
public:
    // Host is what the certificate must name: a DNS name, or an IP literal
    // in any form the connect takes (brackets and an interface allowed).
    TlsStream(const TlsContext &Context, Socket &Connection, const std::string &Host,
              const TlsSessionRef &Resume = {});
    ~TlsStream();
    TlsStream(const TlsStream &) = delete;
    TlsStream &operator=(const TlsStream &) = delete;

    enum class Progress { Done, Waiting, Failed };
    // One step of the handshake; call again when the socket has news.
    Progress Handshake();
    bool Established() const { return established_; }
    TlsFailure Failure() const { return failure_; }

    // As Socket::Recv and Send: bytes moved, 0 when the peer closed,
    // SocketError (ErrorCode::WouldBlock when nothing can move yet).
    long Recv(char *Data, std::size_t Length);
    long Send(const char *Data, std::size_t Length);
    // The peer ended the stream with close_notify; a stream that Recv found
    // ended without it may have been cut on the way.
    bool EndProven() const;
    // Decrypted bytes held inside, which no socket notification announces.
    bool HasPending() const;
    // Sends close_notify without waiting for the peer's.
    void Shutdown();

    std::string Protocol() const;
    std::string Cipher() const;
    TlsSessionRef Session() const;

private:
    // What the TLS library keeps for the session, and the socket it goes through.
    struct Native;
    std::unique_ptr<Native> native_;
    bool established_ = false;
    TlsFailure failure_ = TlsFailure::None;
};

} // namespace net
