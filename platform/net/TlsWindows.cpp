// TLS through Windows' own SChannel: the records go through the socket's Recv
// and Send, so its notifications keep coming as for plain data; the server's
// certificate is checked by TlsTrust, not by SChannel.
#include "platform/net/Tls.h"

#include "platform/detail/WideTextWindows.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/HandshakeCallWindows.h"
#include "platform/net/detail/TlsPeer.h"
#include "platform/net/detail/TlsSuiteNamesWindows.h"
#include "platform/net/detail/TlsTrustWindows.h"

// The newer credentials (SCH_CREDENTIALS) are declared only on request.
#define SCHANNEL_USE_BLACKLISTS
#include <subauth.h>
#include <schannel.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace net {
namespace {

// A broken TLS stream cuts what it carried, as a reset connection does.
constexpr uint16_t BrokenStream = WSAECONNRESET;
// Bytes of records taken from the socket at a time.
constexpr std::size_t ReadChunk = 32 * 1024;
// A record's header: type, version (2 bytes), length (2 bytes).
constexpr std::size_t RecordHeader = 5;
// The type of a record that carries an alert (close_notify among them).
constexpr unsigned char AlertRecord = 21;
// The longest record body TLS allows (2^14 bytes and what protection adds).
constexpr std::size_t LongestRecordBody = 16384 + 2048;
// Records in a row that decrypt to nothing before the stream counts as broken,
// as many as OpenSSL takes: a peer that sends nothing else would otherwise
// keep Recv busy for ever, out of reach of every time limit.
constexpr int MostEmptyRecordsInARow = 32;

// The program checks the certificate itself (TlsTrust): SChannel's own check
// inside the handshake would refuse a company CA or an address before ours
// could run. No client certificate is ever offered.
constexpr DWORD CredentialFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;

constexpr ULONG ContextRequests = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;

SECURITY_STATUS AcquireWith(void *settings, CredHandle &credentials)
{
    TimeStamp expiry;
    return AcquireCredentialsHandleW(nullptr, const_cast<wchar_t *>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                     settings, nullptr, nullptr, &credentials, &expiry);
}

// TLS 1.2 at least, 1.3 where the system speaks it. Systems older than
// Windows 10 1809 know only the older settings, and TLS 1.2 at most.
bool Acquire(CredHandle &credentials)
{
    TLS_PARAMETERS versions = {};
    versions.grbitDisabledProtocols = ~static_cast<DWORD>(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT);
    SCH_CREDENTIALS current = {};
    current.dwVersion = SCH_CREDENTIALS_VERSION;
    current.dwFlags = CredentialFlags;
    current.cTlsParameters = 1;
    current.pTlsParameters = &versions;
    if (AcquireWith(&current, credentials) == SEC_E_OK)
        return true;
    SCHANNEL_CRED older = {};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    older.dwFlags = CredentialFlags;
    return AcquireWith(&older, credentials) == SEC_E_OK;
}

std::size_t BodyLength(const std::string &bytes)
{
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[3]) << 8 | static_cast<unsigned char>(bytes[4]));
}

// What no TLS peer sends: bytes that begin no record (a known type, version
// 3.x, a length TLS allows). SChannel would wait for the rest of a length
// read from them instead of failing.
bool BeginsNoRecord(const std::string &bytes)
{
    if (bytes.size() < RecordHeader)
        return false;
    const auto type = static_cast<unsigned char>(bytes[0]);
    return type < 20 || type > 23 || bytes[1] != 3 || BodyLength(bytes) > LongestRecordBody;
}

bool HoldsWholeRecord(const std::string &bytes)
{
    return bytes.size() >= RecordHeader && bytes.size() >= RecordHeader + BodyLength(bytes);
}

long Broken()
{
    SetLastError(BrokenStream);
    return SocketError;
}

// SChannel's credentials, freed when the last one that uses them is gone.
struct Credentials {
    explicit Credentials(const CredHandle &acquired) : handle(acquired) {}
    ~Credentials() { FreeCredentialsHandle(&handle); }
    Credentials(const Credentials &) = delete;
    Credentials &operator=(const Credentials &) = delete;
    CredHandle handle;
};

} // namespace

struct TlsContext::Native {
    // One for every connection of a check: SChannel resumes a session only on
    // the credentials it was made with. Each connection holds them too, for
    // as long as it lives. None when they could not be had.
    std::shared_ptr<Credentials> credentials;
    TlsTrust trust;
};

// SChannel keeps the session with the credentials and the target name: there
// is nothing to hand from one connection to the next.
struct TlsSession {};

struct TlsStream::Native {
    // The target name goes out as the server name (never for an address) and
    // keys SChannel's session cache.
    Native(const TlsContext::Native &c, Socket &s, const std::string &host)
        : context(c), credentials(c.credentials), socket(s), peer(host), target(WideText::FromUtf8(peer.TargetName()))
    {
    }
    ~Native()
    {
        if (haveContext)
            DeleteSecurityContext(&handle);
    }
    Native(const Native &) = delete;
    Native &operator=(const Native &) = delete;

    // Sends what is queued: 0 when all is out, else the socket's code
    // (WSAEWOULDBLOCK: the rest goes on the next call).
    uint16_t Flush();
    // Appends what the socket has: >0 bytes taken, 0 at the peer's close,
    // SocketError as Recv.
    long ReadMore();
    // One call of SChannel's handshake function on Input (none on the first
    // call, nor for close_notify); what it writes for the peer is queued.
    SECURITY_STATUS Initialize(SecBufferDesc *input);
    // One call of the handshake on what has been received.
    SECURITY_STATUS HandshakeStep();
    // One record of what has been received into plain.
    SECURITY_STATUS Decrypt();
    TlsFailure Verify();

    const TlsContext::Native &context;  // for the certificate check, during the handshake only
    const std::shared_ptr<Credentials> credentials;
    Socket &socket;
    const TlsPeer peer;
    std::wstring target;
    CtxtHandle handle = {};
    bool haveContext = false;
    bool handshakeDone = false;
    bool certificateAsked = false;  // the server asked for a client certificate
    int emptyRecords = 0;           // records in a row that decrypted to nothing
    SecPkgContext_StreamSizes sizes = {};
    std::string received;           // records not yet decrypted
    bool incomplete = false;        // received ends in part of a record
    std::string plain;              // decrypted, not yet taken
    std::string outgoing;           // records not yet sent
    std::size_t outgoingPlain = 0;  // of the caller's bytes, how many outgoing carries
    bool tcpEnded = false;
    bool closeNotify = false;
};

uint16_t TlsStream::Native::Flush()
{
    while (!outgoing.empty()) {
        const long sent = socket.Send(outgoing.data(), outgoing.size());
        if (sent < 0)
            return GetLastError();
        outgoing.erase(0, static_cast<std::size_t>(sent));
    }
    return 0;
}

long TlsStream::Native::ReadMore()
{
    char buffer[ReadChunk];
    const long n = socket.Recv(buffer, sizeof buffer);
    if (n > 0) {
        received.append(buffer, static_cast<std::size_t>(n));
        incomplete = false;
    }
    if (n == 0)
        tcpEnded = true;
    return n;
}

SECURITY_STATUS TlsStream::Native::Initialize(SecBufferDesc *input)
{
    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, out};
    ULONG attributes = 0;
    const SECURITY_STATUS status =
        HandshakeCall()(&credentials->handle, haveContext ? &handle : nullptr, target.data(), ContextRequests, 0, 0,
                        input, 0, haveContext ? nullptr : &handle, &outDesc, &attributes, nullptr);
    if (out[0].pvBuffer) {
        outgoing.append(static_cast<const char *>(out[0].pvBuffer), out[0].cbBuffer);
        FreeContextBuffer(out[0].pvBuffer);
    }
    return status;
}

SECURITY_STATUS TlsStream::Native::HandshakeStep()
{
    SecBuffer in[2] = {{static_cast<ULONG>(received.size()), SECBUFFER_TOKEN, received.data()},
                       {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
    const bool first = !haveContext;
    const SECURITY_STATUS status = Initialize(first ? nullptr : &inDesc);
    if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK))
        haveContext = true;
    if (status == SEC_E_INCOMPLETE_MESSAGE)
        incomplete = true;
    // Asked for a client certificate, SChannel has taken none of the input:
    // the next call goes on with all of it (Microsoft's sample client does so).
    else if (status == SEC_I_INCOMPLETE_CREDENTIALS)
        return status;
    else if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0)
        received.erase(0, received.size() - in[1].cbBuffer);
    else if (!first)
        received.clear();
    return status;
}

SECURITY_STATUS TlsStream::Native::Decrypt()
{
    SecBuffer buffers[4] = {{static_cast<ULONG>(received.size()), SECBUFFER_DATA, received.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
    const bool alert = static_cast<unsigned char>(received[0]) == AlertRecord;
    const SECURITY_STATUS status = DecryptMessage(&handle, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
        incomplete = true;
        return status;
    }
    bool data = false;
    std::size_t extra = 0;
    for (const SecBuffer &buffer : buffers) {
        if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
            plain.append(static_cast<const char *>(buffer.pvBuffer), buffer.cbBuffer);
            data = true;
        }
        if (buffer.BufferType == SECBUFFER_EXTRA)
            extra = buffer.cbBuffer;
    }
    // The records after this one are the tail of what was received.
    received.erase(0, received.size() - std::min<std::size_t>(extra, received.size()));
    // Windows reports the peer's close_notify as SEC_I_CONTEXT_EXPIRED; wine
    // as an alert that decrypted to nothing. An empty record of data, which
    // also decrypts to nothing, is no alert; and a server that waits for our
    // close_notify before it ends the TCP stream (vsftpd) must not be waited
    // for in turn.
    if (status == SEC_E_OK && alert && !data)
        closeNotify = true;
    if (status == SEC_I_CONTEXT_EXPIRED)
        closeNotify = true;
    if (data)
        emptyRecords = 0;
    else if (status == SEC_E_OK && !closeNotify)
        ++emptyRecords;
    if (status != SEC_I_RENEGOTIATE)
        return status;
    // After the handshake, TLS 1.3 sends handshake messages of its own (new
    // session tickets, key updates): they go to the handshake, and any answer
    // to the peer.
    const SECURITY_STATUS handshake = HandshakeStep();
    const uint16_t flushed = Flush();
    if (handshake != SEC_E_OK || (flushed != 0 && flushed != WSAEWOULDBLOCK))
        return handshake != SEC_E_OK ? handshake : SEC_E_INTERNAL_ERROR;
    return SEC_E_OK;
}

TlsFailure TlsStream::Native::Verify()
{
    if (QueryContextAttributesW(&handle, SECPKG_ATTR_STREAM_SIZES, &sizes) != SEC_E_OK)
        return TlsFailure::Handshake;
    PCCERT_CONTEXT server = nullptr;
    if (QueryContextAttributesW(&handle, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &server) != SEC_E_OK || !server)
        return TlsFailure::Untrusted;
    const TlsFailure failure = context.trust.Verify(server, peer);
    CertFreeCertificateContext(server);
    return failure;
}

TlsContext::TlsContext(const std::string &CaFile) : native_(std::make_unique<Native>())
{
    if (!CaFile.empty() && !native_->trust.LoadCaFile(CaFile)) {
        loadFailure_ = TlsFailure::CaFile;
        return;
    }
    CredHandle acquired;
    if (Acquire(acquired))
        native_->credentials = std::make_shared<Credentials>(acquired);
    else
        loadFailure_ = TlsFailure::Handshake;
}

TlsContext::~TlsContext() = default;

// Sessions resume without Resume: see TlsSession.
TlsStream::TlsStream(const TlsContext &Context, Socket &Connection, const std::string &Host, const TlsSessionRef &)
    : native_(std::make_unique<Native>(Context.Handle(), Connection, Host))
{
    if (!Context.Handle().credentials)
        failure_ = TlsFailure::Handshake;
}

TlsStream::~TlsStream() = default;

TlsStream::Progress TlsStream::Handshake()
{
    if (established_)
        return Progress::Done;
    if (failure_ != TlsFailure::None)
        return Progress::Failed;
    Native &n = *native_;
    const auto fail = [this](TlsFailure why) {
        failure_ = why;
        return Progress::Failed;
    };
    for (;;) {
        const uint16_t flushed = n.Flush();
        if (flushed == WSAEWOULDBLOCK)
            return Progress::Waiting;
        if (flushed != 0)
            return fail(TlsFailure::Handshake);
        if (n.handshakeDone) {
            const TlsFailure failure = n.Verify();
            if (failure != TlsFailure::None)
                return fail(failure);
            established_ = true;
            return Progress::Done;
        }
        if (n.haveContext && (n.received.empty() || n.incomplete)) {
            const long got = n.ReadMore();
            if (got == 0)
                return fail(TlsFailure::Handshake);
            if (got < 0)
                return GetLastError() == WSAEWOULDBLOCK ? Progress::Waiting : fail(TlsFailure::Handshake);
        }
        if (BeginsNoRecord(n.received))
            return fail(TlsFailure::Handshake);
        switch (n.HandshakeStep()) {
        case SEC_E_OK:
            n.handshakeDone = true;
            break;
        case SEC_I_CONTINUE_NEEDED:
        case SEC_E_INCOMPLETE_MESSAGE:
            break;
        // Asked for a client certificate: there is none, and the next call
        // goes on without it, on the same input. Wine never asks. Asked
        // again, SChannel would keep this loop going without a wait.
        case SEC_I_INCOMPLETE_CREDENTIALS:
            if (n.certificateAsked)
                return fail(TlsFailure::Handshake);
            n.certificateAsked = true;
            break;
        default:
            n.Flush();  // the alert SChannel may have written, if it can go
            return fail(TlsFailure::Handshake);
        }
    }
}

long TlsStream::Recv(char *Data, std::size_t Length)
{
    Native &n = *native_;
    for (;;) {
        if (!n.plain.empty()) {
            const std::size_t taken = std::min(Length, n.plain.size());
            std::memcpy(Data, n.plain.data(), taken);
            n.plain.erase(0, taken);
            return static_cast<long>(taken);
        }
        if (n.closeNotify || n.tcpEnded)
            return 0;
        if (!n.received.empty() && !n.incomplete) {
            if (BeginsNoRecord(n.received))
                return Broken();
            const SECURITY_STATUS status = n.Decrypt();
            if (status != SEC_E_OK && status != SEC_E_INCOMPLETE_MESSAGE && status != SEC_I_CONTEXT_EXPIRED)
                return Broken();
            if (n.emptyRecords > MostEmptyRecordsInARow)
                return Broken();
            continue;
        }
        const long got = n.ReadMore();
        if (got <= 0)
            return got;
    }
}

long TlsStream::Send(const char *Data, std::size_t Length)
{
    Native &n = *native_;
    for (;;) {
        const uint16_t flushed = n.Flush();
        if (flushed == WSAEWOULDBLOCK) {
            SetLastError(WSAEWOULDBLOCK);
            return SocketError;
        }
        if (flushed != 0)
            return Broken();
        // The caller offers the same bytes again until they count as sent:
        // those of the last record count once the record is out.
        // Never more than this call was given: the rest counts on the next.
        if (n.outgoingPlain > 0) {
            const std::size_t sent = std::min(n.outgoingPlain, Length);
            n.outgoingPlain -= sent;
            return static_cast<long>(sent);
        }
        if (Length == 0)
            return 0;
        const std::size_t chunk = std::min<std::size_t>(Length, n.sizes.cbMaximumMessage);
        std::string record(n.sizes.cbHeader + chunk + n.sizes.cbTrailer, '\0');
        std::memcpy(record.data() + n.sizes.cbHeader, Data, chunk);
        SecBuffer buffers[4] = {
            {n.sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
            {static_cast<ULONG>(chunk), SECBUFFER_DATA, record.data() + n.sizes.cbHeader},
            {n.sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + n.sizes.cbHeader + chunk},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&n.handle, 0, &desc, 0) != SEC_E_OK)
            return Broken();
        record.resize(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        n.outgoing += record;
        n.outgoingPlain = chunk;
    }
}

bool TlsStream::EndProven() const { return native_->closeNotify; }

bool TlsStream::HasPending() const
{
    const Native &n = *native_;
    return !n.plain.empty() || (!n.incomplete && HoldsWholeRecord(n.received));
}

void TlsStream::Shutdown()
{
    Native &n = *native_;
    if (!established_)
        return;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer token = {sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc desc = {SECBUFFER_VERSION, 1, &token};
    if (ApplyControlToken(&n.handle, &desc) != SEC_E_OK)
        return;
    // The handshake call now writes close_notify; it goes out if the socket
    // takes it at once, as OpenSSL's one attempt does.
    n.Initialize(nullptr);
    n.Flush();
}

std::string TlsStream::Protocol() const
{
    SecPkgContext_ConnectionInfo info = {};
    if (QueryContextAttributesW(&native_->handle, SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK)
        return {};
    if (info.dwProtocol & SP_PROT_TLS1_3)
        return "TLSv1.3";
    if (info.dwProtocol & SP_PROT_TLS1_2)
        return "TLSv1.2";
    return "TLS";
}

std::string TlsStream::Cipher() const
{
    SecPkgContext_CipherInfo info = {};
    info.dwVersion = SECPKGCONTEXT_CIPHERINFO_V1;
    if (QueryContextAttributesW(&native_->handle, SECPKG_ATTR_CIPHER_INFO, &info) != SEC_E_OK)
        return {};
    SecPkgContext_ConnectionInfo connection = {};
    if (QueryContextAttributesW(&native_->handle, SECPKG_ATTR_CONNECTION_INFO, &connection) != SEC_E_OK)
        connection.aiHash = 0;
    return StandardSuiteName(info.dwCipherSuite, WideText::ToUtf8(info.szCipherSuite), connection.aiHash);
}

TlsSessionRef TlsStream::Session() const { return {}; }

} // namespace net
