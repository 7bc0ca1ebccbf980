// The TLS of a build that has none: every context reports Unavailable, so the
// FTP client refuses a secured check before anything goes out, and no stream
// is ever made on one.
#include "platform/net/Tls.h"

#include "platform/net/SocketErrors.h"

namespace net {

struct TlsContext::Native {};

struct TlsSession {};

struct TlsStream::Native {};

TlsContext::TlsContext(const std::string &) : native_(std::make_unique<Native>()), loadFailure_(TlsFailure::Unavailable)
{
}

TlsContext::~TlsContext() = default;

TlsStream::TlsStream(const TlsContext &, Socket &, const std::string &, const TlsSessionRef &)
    : native_(std::make_unique<Native>()), failure_(TlsFailure::Unavailable)
{
}

TlsStream::~TlsStream() = default;

TlsStream::Progress TlsStream::Handshake() { return Progress::Failed; }

// Nothing moves: a stream without TLS fails as an unusable socket does.
long TlsStream::Recv(char *, std::size_t)
{
    SetLastError(WSAEINVAL);
    return SocketError;
}

long TlsStream::Send(const char *, std::size_t)
{
    SetLastError(WSAEINVAL);
    return SocketError;
}

bool TlsStream::EndProven() const { return false; }

bool TlsStream::HasPending() const { return false; }

void TlsStream::Shutdown() {}

std::string TlsStream::Protocol() const { return {}; }

std::string TlsStream::Cipher() const { return {}; }

TlsSessionRef TlsStream::Session() const { return {}; }

} // namespace net
