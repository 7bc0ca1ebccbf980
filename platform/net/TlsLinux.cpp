#include "platform/net/Tls.h"

#include "platform/net/SocketErrors.h"
#include "platform/net/detail/TlsPeer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdlib>

namespace net {

struct TlsContext::Native {
    Native() = default;
    ~Native() { SSL_CTX_free(ctx); }
    Native(const Native &) = delete;
    Native &operator=(const Native &) = delete;
    SSL_CTX *const ctx = SSL_CTX_new(TLS_client_method());
};

struct TlsSession {
    explicit TlsSession(SSL_SESSION *s) : session(s) {}
    ~TlsSession() { SSL_SESSION_free(session); }
    TlsSession(const TlsSession &) = delete;
    TlsSession &operator=(const TlsSession &) = delete;
    SSL_SESSION *const session;
};

namespace {

// What the session's BIO reads and writes through.
struct Transport {
    Socket &socket;
    bool ended = false;  // the last read found the peer's TCP close
};

// Bytes of records a session reads ahead of the one it decrypts.
constexpr std::size_t kReadAhead = 256 * 1024;

// The BIO every session reads and writes through: the socket's own Recv and
// Send, which keep its notifications coming.
int BioWrite(BIO *bio, const char *data, int length)
{
    auto *transport = static_cast<Transport *>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    const long sent = transport->socket.Send(data, static_cast<std::size_t>(length));
    if (sent >= 0)
        return static_cast<int>(sent);
    if (GetLastError() == ErrorCode::WouldBlock)
        BIO_set_retry_write(bio);
    return -1;
}

int BioRead(BIO *bio, char *data, int length)
{
    auto *transport = static_cast<Transport *>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    const long received = transport->socket.Recv(data, static_cast<std::size_t>(length));
    transport->ended = received == 0;
    if (received >= 0)
        return static_cast<int>(received);
    if (GetLastError() == ErrorCode::WouldBlock)
        BIO_set_retry_read(bio);
    return -1;
}

long BioControl(BIO *bio, int command, long, void *)
{
    if (command == BIO_CTRL_FLUSH)
        return 1;
    // A TCP close without close_notify is told apart from a broken stream by this.
    if (command == BIO_CTRL_EOF)
        return static_cast<Transport *>(BIO_get_data(bio))->ended ? 1 : 0;
    return 0;
}

BIO_METHOD *SocketBioMethod()
{
    static BIO_METHOD *method = [] {
        BIO_METHOD *m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "net::Socket");
        BIO_meth_set_write(m, BioWrite);
        BIO_meth_set_read(m, BioRead);
        BIO_meth_set_ctrl(m, BioControl);
        return m;
    }();
    return method;
}

TlsFailure FailureOfVerification(long result)
{
    switch (result) {
    case X509_V_OK:
        return TlsFailure::Handshake;
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return TlsFailure::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return TlsFailure::NotYetValid;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return TlsFailure::NameMismatch;
    // A certificate issued for other purposes than a server's
    // (X509_V_ERR_INVALID_PURPOSE) among the rest.
    default:
        return TlsFailure::Untrusted;
    }
}

// What a read or write that moved nothing returns in the socket's terms:
// would-block while TLS waits for the socket, a reset for a broken stream.
long NothingMoved(int error)
{
    ERR_clear_error();
    SetLastError(error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ? ErrorCode::WouldBlock
                                                                               : ErrorCode::ConnectionReset);
    return SocketError;
}

// Tells the session what the certificate must name and, for a name, which
// server to ask for. False when OpenSSL could not take it: the check would
// then be skipped.
bool TellPeer(SSL *ssl, const TlsPeer &peer)
{
    if (peer.IsAddress())
        return X509_VERIFY_PARAM_set1_ip(SSL_get0_param(ssl), peer.AddressBytes().data(),
                                         peer.AddressBytes().size()) == 1;
    if (SSL_set1_host(ssl, peer.Name().c_str()) != 1)
        return false;
    // A name too long for SNI is only not announced.
    if (peer.SendsSni())
        SSL_set_tlsext_host_name(ssl, peer.Name().c_str());
    return true;
}

// The peer ended the TCP connection without close_notify.
bool EndedWithoutCloseNotify(int error)
{
    return error == SSL_ERROR_SSL && ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

// The system's bundle of CAs, loaded into the store only when a chain asks
// for a certificate that nothing loaded so far has: a check that trusts the
// server through its own CA file never parses the system's hundred and more
// (most of the context's memory and time).
int FromBundleOnDemand(X509_LOOKUP *lookup, X509_LOOKUP_TYPE type, const X509_NAME *name, X509_OBJECT *ret)
{
    // Once loaded, the store answers for the bundle before any lookup.
    if (X509_LOOKUP_get_method_data(lookup))
        return 0;
    X509_LOOKUP_set_method_data(lookup, lookup);
    const char *chosen = ::secure_getenv(X509_get_default_cert_file_env());
    X509_load_cert_crl_file(lookup, chosen ? chosen : X509_get_default_cert_file(), X509_FILETYPE_PEM);
    ERR_clear_error();
    X509_STORE *store = X509_LOOKUP_get_store(lookup);
    if (!X509_STORE_lock(store))
        return 0;
    const X509_OBJECT *found = X509_OBJECT_retrieve_by_subject(X509_STORE_get0_objects(store), type, name);
    // Lent, as OpenSSL's own lookups lend what the store holds: the caller
    // takes its own reference, so the one set1 took goes back at once.
    int copied = 0;
    if (X509 *cert = found && type == X509_LU_X509 ? X509_OBJECT_get0_X509(found) : nullptr) {
        copied = X509_OBJECT_set1_X509(ret, cert);
        if (copied)
            X509_free(cert);
    } else if (X509_CRL *crl = found && type == X509_LU_CRL ? X509_OBJECT_get0_X509_CRL(found) : nullptr) {
        copied = X509_OBJECT_set1_X509_CRL(ret, crl);
        if (copied)
            X509_CRL_free(crl);
    }
    X509_STORE_unlock(store);
    return copied;
}

// The system's CAs where OpenSSL's defaults find them (SSL_CERT_DIR,
// SSL_CERT_FILE or the built-in places): the hashed directory, read one
// certificate at a time, before the bundle.
void TrustSystemCas(SSL_CTX *ctx)
{
    static X509_LOOKUP_METHOD *const onDemand = [] {
        X509_LOOKUP_METHOD *method = X509_LOOKUP_meth_new("system bundle on demand");
        if (method)
            X509_LOOKUP_meth_set_get_by_subject(method, FromBundleOnDemand);
        return method;
    }();
    X509_STORE *store = SSL_CTX_get_cert_store(ctx);
    if (X509_LOOKUP *dir = X509_STORE_add_lookup(store, X509_LOOKUP_hash_dir()))
        X509_LOOKUP_add_dir(dir, nullptr, X509_FILETYPE_DEFAULT);
    if (X509_LOOKUP *uri = X509_STORE_add_lookup(store, X509_LOOKUP_store()))
        X509_LOOKUP_add_store(uri, nullptr);
    if (!onDemand || !X509_STORE_add_lookup(store, onDemand))
        SSL_CTX_set_default_verify_paths(ctx);
}

} // namespace

struct TlsStream::Native {
    Native(Socket &socket, SSL *s) : transport{socket}, ssl(s) {}
    ~Native() { SSL_free(ssl); }
    Native(const Native &) = delete;
    Native &operator=(const Native &) = delete;
    Transport transport;
    SSL *const ssl;
};

TlsContext::TlsContext(const std::string &CaFile) : native_(std::make_unique<Native>())
{
    SSL_CTX *ctx = native_->ctx;
    if (!ctx) {
        loadFailure_ = TlsFailure::Handshake;
        return;
    }
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    // The send buffer is compacted between retries: same bytes, new place.
    SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A receive takes what has arrived, many records at once, instead of
    // each record's header and then its body.
    SSL_CTX_set_read_ahead(ctx, 1);
    SSL_CTX_set_default_read_buffer_len(ctx, kReadAhead);
    TrustSystemCas(ctx);
    if (!CaFile.empty() && SSL_CTX_load_verify_locations(ctx, CaFile.c_str(), nullptr) != 1)
        loadFailure_ = TlsFailure::CaFile;
    ERR_clear_error();
}

TlsContext::~TlsContext() = default;

TlsStream::TlsStream(const TlsContext &Context, Socket &Connection, const std::string &Host,
                     const TlsSessionRef &Resume)
    : native_(std::make_unique<Native>(Connection, SSL_new(Context.Handle().ctx)))
{
    SSL *ssl = native_->ssl;
    if (!ssl) {
        failure_ = TlsFailure::Handshake;
        return;
    }
    BIO *bio = BIO_new(SocketBioMethod());
    BIO_set_data(bio, &native_->transport);
    BIO_set_init(bio, 1);
    SSL_set_bio(ssl, bio, bio);
    // OpenSSL would take an empty name as leave to skip the check.
    const TlsPeer peer(Host);
    if (peer.NamesNothing()) {
        failure_ = TlsFailure::NameMismatch;
        return;
    }
    if (!TellPeer(ssl, peer)) {
        failure_ = TlsFailure::Handshake;
        return;
    }
    if (Resume)
        SSL_set_session(ssl, Resume->session);
}

TlsStream::~TlsStream() = default;

TlsStream::Progress TlsStream::Handshake()
{
    if (established_)
        return Progress::Done;
    if (failure_ != TlsFailure::None)
        return Progress::Failed;
    ERR_clear_error();
    const int result = SSL_connect(native_->ssl);
    if (result == 1) {
        established_ = true;
        return Progress::Done;
    }
    const int error = SSL_get_error(native_->ssl, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
        return Progress::Waiting;
    failure_ = FailureOfVerification(SSL_get_verify_result(native_->ssl));
    ERR_clear_error();
    return Progress::Failed;
}

long TlsStream::Recv(char *Data, std::size_t Length)
{
    ERR_clear_error();
    std::size_t received = 0;
    if (SSL_read_ex(native_->ssl, Data, Length, &received) == 1)
        return static_cast<long>(received);
    const int error = SSL_get_error(native_->ssl, 0);
    // Either is the end of the stream; EndProven tells them apart.
    if (error == SSL_ERROR_ZERO_RETURN || EndedWithoutCloseNotify(error)) {
        ERR_clear_error();
        return 0;
    }
    return NothingMoved(error);
}

long TlsStream::Send(const char *Data, std::size_t Length)
{
    ERR_clear_error();
    std::size_t sent = 0;
    if (SSL_write_ex(native_->ssl, Data, Length, &sent) == 1)
        return static_cast<long>(sent);
    return NothingMoved(SSL_get_error(native_->ssl, 0));
}

bool TlsStream::EndProven() const { return (SSL_get_shutdown(native_->ssl) & SSL_RECEIVED_SHUTDOWN) != 0; }

bool TlsStream::HasPending() const { return SSL_pending(native_->ssl) > 0 || SSL_has_pending(native_->ssl) == 1; }

void TlsStream::Shutdown()
{
    if (established_)
        SSL_shutdown(native_->ssl);
    ERR_clear_error();
}

std::string TlsStream::Protocol() const { return SSL_get_version(native_->ssl); }

// The suite's standard (IANA) name, which Windows gives too: OpenSSL's own
// names of TLS 1.2 suites differ.
std::string TlsStream::Cipher() const { return SSL_CIPHER_standard_name(SSL_get_current_cipher(native_->ssl)); }

TlsSessionRef TlsStream::Session() const
{
    SSL_SESSION *session = SSL_get1_session(native_->ssl);
    if (!session)
        return {};
    return std::make_shared<TlsSession>(session);
}

} // namespace net
