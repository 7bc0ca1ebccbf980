#include "harness/ScriptedFtpServer.h"

#include "harness/Loopback.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>

namespace harness {

namespace {

constexpr int kStepLimitMs = 60'000;

struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct ClientClosed : std::runtime_error {
    ClientClosed() : std::runtime_error("the client closed the control connection") {}
};
struct Stopped {};
struct TlsHandshakeFailed {
    bool control;
};

// The reason of the oldest queued OpenSSL error, or Otherwise; clears the queue.
std::string TlsReason(const std::string &otherwise)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    const char *reason = code ? ERR_reason_error_string(code) : nullptr;
    return reason ? reason : otherwise;
}

// A client that stops reading must not block a send for longer than a step.
void BoundSends(int fd)
{
    const timeval limit{kStepLimitMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

void CloseFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// "h1,h2,h3,h4,p1,p2" of a PORT command.
sockaddr_in PortAddress(const std::string &argument)
{
    unsigned h[4], p[2];
    char rest = 0;
    if (std::sscanf(argument.c_str(), "%u,%u,%u,%u,%u,%u%c", &h[0], &h[1], &h[2], &h[3], &p[0], &p[1],
                    &rest) != 6)
        throw StepFailed("no usable PORT argument: '" + argument + "'");
    const std::string dotted = std::to_string(h[0]) + "." + std::to_string(h[1]) + "." + std::to_string(h[2]) + "." +
                               std::to_string(h[3]);
    try {
        return AddressOf(dotted, static_cast<uint16_t>(p[0] << 8 | p[1]));
    } catch (const std::runtime_error &) {
        throw StepFailed("no usable PORT argument: '" + argument + "'");
    }
}

}  // namespace

ScriptedFtpServer::ScriptedFtpServer(const std::string &address) : host_(address)
{
    listener_ = ListenOn(host_, 0);
    port_ = LocalPortOf(listener_);
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0 || ::pipe2(signalPipe_, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
}

ScriptedFtpServer::~ScriptedFtpServer()
{
    const char stop = 's';
    [[maybe_unused]] auto ignored = ::write(stopPipe_[1], &stop, 1);
    if (thread_.joinable())
        thread_.join();
    Close(data_, false);
    Close(control_, false);
    for (int *fd : {&listener_, &passive_, &queueFiller_, &stopPipe_[0], &stopPipe_[1], &signalPipe_[0],
                    &signalPipe_[1]})
        CloseFd(*fd);
    SSL_CTX_free(tlsContext_);
}

ScriptedFtpServer &ScriptedFtpServer::Add(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedFtpServer &ScriptedFtpServer::Send(const std::string &bytes)
{
    return Add([this, bytes] { SendAll(control_, bytes); });
}

ScriptedFtpServer &ScriptedFtpServer::Receive()
{
    return Add([this] { ReadLine(); });
}

ScriptedFtpServer &ScriptedFtpServer::Reply(const std::string &bytes) { return Receive().Send(bytes); }

ScriptedFtpServer &ScriptedFtpServer::LoggedIn() { return Send("220 Ready.\r\n").Reply("230 Logged in.\r\n"); }

ScriptedFtpServer &ScriptedFtpServer::LoggedInWithPassword()
{
    return Send("220 Ready.\r\n").Reply("331 Password required.\r\n").Reply("230 Logged in.\r\n");
}

ScriptedFtpServer &ScriptedFtpServer::PortThenRetr(const std::string &retrReply)
{
    return Reply("200 PORT command successful.\r\n").Reply(retrReply);
}

ScriptedFtpServer &ScriptedFtpServer::CloseControl()
{
    return Add([this] { Close(control_); });
}

ScriptedFtpServer &ScriptedFtpServer::Drip(const std::string &bytes, std::chrono::milliseconds interval)
{
    return Add([this, bytes, interval] { DripOn(control_, bytes, interval); });
}

ScriptedFtpServer &ScriptedFtpServer::DripData(const std::string &bytes, std::chrono::milliseconds interval)
{
    return Add([this, bytes, interval] { DripOn(data_, bytes, interval); });
}

void ScriptedFtpServer::DripOn(const int &fd, const std::string &bytes, std::chrono::milliseconds interval)
{
    for (const char byte : bytes) {
        if (!TrySend(fd, &byte, 1))
            return;  // the client has closed
        PauseFor(interval);
    }
}

ScriptedFtpServer &ScriptedFtpServer::ConnectData(const std::string &fromAddress)
{
    return Add([this, fromAddress] {
        const sockaddr_in target = PortAddress(lastPort_);
        Close(data_);
        data_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        BoundSends(data_);
        const sockaddr_in source = AddressOf(fromAddress, 0);
        if (::bind(data_, reinterpret_cast<const sockaddr *>(&source), sizeof source) != 0 ||
            ::connect(data_, reinterpret_cast<const sockaddr *>(&target), sizeof target) != 0)
            throw StepFailed("data connection from " + fromAddress + " failed: " + std::strerror(errno));
        ProtectData();
    });
}

ScriptedFtpServer &ScriptedFtpServer::ReplyPassive(const std::string &reply, DataPort port)
{
    return Receive().Add([this, reply, port] {
        CloseFd(passive_);
        CloseFd(queueFiller_);
        uint16_t number = 0;
        if (port == DataPort::Refusing) {
            number = FreePort("127.0.0.1");
        } else {
            passive_ = ListenOn("127.0.0.1", 0);
            number = LocalPortOf(passive_);
        }
        if (port == DataPort::Full) {
            // With a backlog of 0 the queue holds one connection; the kernel
            // drops the SYN of the next.
            sockaddr_in target{};
            target.sin_family = AF_INET;
            target.sin_port = htons(number);
            ::inet_pton(AF_INET, "127.0.0.1", &target.sin_addr);
            queueFiller_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::listen(passive_, 0) != 0 ||
                ::connect(queueFiller_, reinterpret_cast<const sockaddr *>(&target), sizeof target) != 0)
                throw StepFailed(std::string("cannot fill the data port's queue: ") + std::strerror(errno));
        }
        std::string text = reply;
        for (const auto &[name, value] : {std::pair<std::string, unsigned>{"{port}", number},
                                          {"{p1}", number >> 8u},
                                          {"{p2}", number & 0xFFu}})
            for (auto at = text.find(name); at != std::string::npos; at = text.find(name))
                text.replace(at, name.size(), std::to_string(value));
        SendAll(control_, text);
    });
}

ScriptedFtpServer &ScriptedFtpServer::AcceptData()
{
    return Add([this] {
        WaitReadable(passive_, "the client's data connection");
        Close(data_);
        data_ = ::accept4(passive_, nullptr, nullptr, SOCK_CLOEXEC);
        if (data_ < 0)
            throw StepFailed(std::string("data accept failed: ") + std::strerror(errno));
        BoundSends(data_);
        ProtectData();
    });
}

ScriptedFtpServer &ScriptedFtpServer::SendData(const std::string &bytes)
{
    return Add([this, bytes] { SendAll(data_, bytes); });
}

ScriptedFtpServer &ScriptedFtpServer::CloseData()
{
    return Add([this] { Close(data_); });
}

ScriptedFtpServer &ScriptedFtpServer::AwaitDataClosedByClient()
{
    return Add([this] {
        char buffer[4096];
        while (ReceiveSome(data_, buffer, sizeof buffer, "the client to close the data connection") > 0) {
        }
        Close(data_);
    });
}

ScriptedFtpServer &ScriptedFtpServer::Pause(std::chrono::milliseconds interval)
{
    return Add([this, interval] { PauseFor(interval); });
}

void ScriptedFtpServer::PauseFor(std::chrono::milliseconds interval)
{
    pollfd stop{stopPipe_[0], POLLIN, 0};
    if (::poll(&stop, 1, static_cast<int>(interval.count())) > 0)
        throw Stopped{};
}

ScriptedFtpServer &ScriptedFtpServer::AwaitSignal()
{
    return Add([this] {
        WaitReadable(signalPipe_[0], "the test's signal");
        char byte;
        [[maybe_unused]] auto ignored = ::read(signalPipe_[0], &byte, 1);
    });
}

ScriptedFtpServer &ScriptedFtpServer::StartTls(const std::string &certFile, const std::string &keyFile)
{
    return StartTlsUpTo(0, certFile, keyFile);
}

ScriptedFtpServer &ScriptedFtpServer::StartTls12(const std::string &certFile, const std::string &keyFile)
{
    return StartTlsUpTo(TLS1_2_VERSION, certFile, keyFile);
}

ScriptedFtpServer &ScriptedFtpServer::StartTlsUpTo(int version, const std::string &certFile, const std::string &keyFile)
{
    return Add([this, version, certFile, keyFile] {
        SSL_CTX *context = SSL_CTX_new(TLS_server_method());
        if (!context || SSL_CTX_set_max_proto_version(context, version) != 1 ||
            SSL_CTX_use_certificate_chain_file(context, certFile.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
            SSL_CTX_free(context);
            throw StepFailed("cannot load " + certFile + " and " + keyFile + ": " + TlsReason("unknown"));
        }
        // Data connections resume the control connection's session from this cache.
        static const unsigned char kSessionContext[] = "vm_ftp scripted";
        SSL_CTX_set_session_id_context(context, kSessionContext, sizeof kSessionContext - 1);
        SSL_CTX_free(tlsContext_);
        tlsContext_ = context;
        controlTls_ = Handshake(control_, true);
    });
}

ScriptedFtpServer &ScriptedFtpServer::DataTls(bool on)
{
    return Add([this, on] {
        if (on && !tlsContext_)
            throw StepFailed("DataTls(true) before StartTls");
        dataTlsOn_ = on;
    });
}

ScriptedFtpServer &ScriptedFtpServer::CloseDataWithoutTlsShutdown()
{
    return Add([this] { Close(data_, false); });
}

void ScriptedFtpServer::ProtectData()
{
    if (dataTlsOn_)
        HandshakeOnData();
}

void ScriptedFtpServer::HandshakeOnData()
{
    dataTls_ = Handshake(data_, false);
    std::lock_guard lock(mutex_);
    dataTlsReused_.push_back(SSL_session_reused(dataTls_) == 1);
}

ScriptedFtpServer &ScriptedFtpServer::SecureData()
{
    return Add([this] {
        if (!tlsContext_)
            throw StepFailed("SecureData before StartTls");
        HandshakeOnData();
    });
}

ScriptedFtpServer &ScriptedFtpServer::SendPastTls(const std::string &bytes)
{
    return Add([this, bytes] {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(control_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0)
                throw StepFailed(std::string("send failed: ") + std::strerror(errno));
            sent += static_cast<std::size_t>(n);
        }
    });
}

ScriptedFtpServer &ScriptedFtpServer::CloseDuringHandshake(bool data)
{
    return Add([this, data] {
        int &fd = data ? data_ : control_;
        WaitReadable(fd, "the client's handshake");
        Close(fd, false);
    });
}

ssl_st *ScriptedFtpServer::Handshake(int fd, bool control)
{
    std::unique_ptr<SSL, decltype(&SSL_free)> tls(SSL_new(tlsContext_), SSL_free);
    // Non-blocking, so that every wait of the handshake is one of the server's bounded waits.
    if (!tls || SSL_set_fd(tls.get(), fd) != 1 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0)
        throw StepFailed("cannot start TLS: " + TlsReason("unknown"));
    const char *what = control ? "the control connection's TLS handshake" : "the data connection's TLS handshake";
    for (;;) {
        ERR_clear_error();
        const int result = SSL_accept(tls.get());
        if (result == 1)
            return tls.release();
        if (!WaitForTls(fd, tls.get(), result, what))
            break;
    }
    const std::string reason = TlsReason("the client closed the connection");
    {
        std::lock_guard lock(mutex_);
        tlsFailure_ = (control ? "control: " : "data: ") + reason;
    }
    throw TlsHandshakeFailed{control};
}

bool ScriptedFtpServer::WaitForTls(int fd, ssl_st *tls, int result, const char *what)
{
    switch (SSL_get_error(tls, result)) {
    case SSL_ERROR_WANT_READ: WaitFor(fd, POLLIN, what); return true;
    case SSL_ERROR_WANT_WRITE: WaitFor(fd, POLLOUT, what); return true;
    default: return false;
    }
}

ssl_st *ScriptedFtpServer::TlsOf(int fd) const
{
    if (fd < 0)
        return nullptr;
    return fd == control_ ? controlTls_ : fd == data_ ? dataTls_ : nullptr;
}

void ScriptedFtpServer::Close(int &fd, bool notify)
{
    SSL *&tls = &fd == &control_ ? controlTls_ : dataTls_;
    if (tls) {
        if (notify)
            SSL_shutdown(tls);  // one attempt: the close must not wait for the client
        SSL_free(tls);
        tls = nullptr;
    }
    ERR_clear_error();
    CloseFd(fd);
}

void ScriptedFtpServer::Start() { thread_ = std::thread([this] { Run(); }); }

void ScriptedFtpServer::WaitUntilDone()
{
    if (thread_.joinable())
        thread_.join();
}

void ScriptedFtpServer::Signal()
{
    const char byte = 'g';
    [[maybe_unused]] auto ignored = ::write(signalPipe_[1], &byte, 1);
}

std::vector<std::string> ScriptedFtpServer::Transcript() const
{
    std::lock_guard lock(mutex_);
    return transcript_;
}

std::vector<std::string> ScriptedFtpServer::Errors() const
{
    std::lock_guard lock(mutex_);
    return errors_;
}

std::string ScriptedFtpServer::TlsFailure() const
{
    std::lock_guard lock(mutex_);
    return tlsFailure_;
}

std::vector<bool> ScriptedFtpServer::DataTlsSessionsReused() const
{
    std::lock_guard lock(mutex_);
    return dataTlsReused_;
}

void ScriptedFtpServer::Record(std::vector<std::string> &list, const std::string &text)
{
    std::lock_guard lock(mutex_);
    list.push_back(text);
}

void ScriptedFtpServer::Run()
{
    // OpenSSL writes to its sockets without MSG_NOSIGNAL: a client gone must
    // fail the write, not end the test program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    try {
        Serve();
    } catch (const Stopped &) {
    } catch (const std::exception &e) {
        Record(errors_, e.what());
    }
    Close(data_);
    Close(control_);
}

void ScriptedFtpServer::Serve()
{
    WaitReadable(listener_, "the client to connect");
    control_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (control_ < 0)
        throw StepFailed("accept failed");
    BoundSends(control_);
    try {
        for (const Step &step : steps_)
            step();
    } catch (const TlsHandshakeFailed &failed) {
        if (failed.control)
            return;
        Close(data_, false);
    }
    ServeUnscripted();
}

void ScriptedFtpServer::ServeUnscripted()
{
    try {
        while (control_ >= 0) {
            const std::string command = ReadLine();
            if (command == "QUIT") {
                // The goodbye and the close leave in one segment, so the
                // client always finds the connection closed with the reply
                // still unread, as from a server that exits at once.
                const int cork = 1;
                ::setsockopt(control_, IPPROTO_TCP, TCP_CORK, &cork, sizeof cork);
                SendAll(control_, "221 Goodbye.\r\n");
                Close(control_);
            } else {
                SendAll(control_, "500 Unscripted command.\r\n");
            }
        }
    } catch (const ClientClosed &) {
    }
}

void ScriptedFtpServer::WaitReadable(int fd, const char *what) { WaitFor(fd, POLLIN, what); }

void ScriptedFtpServer::WaitFor(int fd, short events, const char *what)
{
    pollfd fds[2] = {{fd, events, 0}, {stopPipe_[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, kStepLimitMs);
    if (fds[1].revents)
        throw Stopped{};
    if (ready <= 0)
        throw StepFailed(std::string("gave up waiting for ") + what);
}

std::string ScriptedFtpServer::ReadLine()
{
    std::size_t end;
    while ((end = pending_.find('\n')) == std::string::npos) {
        char buffer[4096];
        const std::size_t n = ReceiveSome(control_, buffer, sizeof buffer, "a command");
        if (n == 0)
            throw ClientClosed();
        pending_.append(buffer, n);
    }
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Record(transcript_, line);
    if (line.rfind("PORT ", 0) == 0)
        lastPort_ = line.substr(5);
    return line;
}

void ScriptedFtpServer::SendAll(int fd, const std::string &bytes)
{
    if (!TrySend(fd, bytes.data(), bytes.size()))
        throw StepFailed(std::string("send failed: ") +
                         (TlsOf(fd) ? TlsReason("the connection is gone") : std::strerror(errno)));
}

bool ScriptedFtpServer::TrySend(int fd, const char *bytes, std::size_t size)
{
    if (SSL *tls = TlsOf(fd)) {
        if (size == 0)
            return true;
        for (;;) {
            ERR_clear_error();
            // Without partial writes a record goes out whole or not at all.
            const int n = SSL_write(tls, bytes, static_cast<int>(size));
            if (n > 0)
                return true;
            if (!WaitForTls(fd, tls, n, "the client to take TLS data"))
                return false;
        }
    }
    for (std::size_t sent = 0; sent < size;) {
        const ssize_t n = ::send(fd, bytes + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t ScriptedFtpServer::ReceiveSome(int fd, char *buffer, std::size_t size, const char *what)
{
    if (SSL *tls = TlsOf(fd)) {
        for (;;) {
            ERR_clear_error();
            // TLS may hold bytes already received: read before waiting.
            const int n = SSL_read(tls, buffer, static_cast<int>(size));
            if (n > 0)
                return static_cast<std::size_t>(n);
            if (!WaitForTls(fd, tls, n, what))
                return 0;
        }
    }
    WaitReadable(fd, what);
    const ssize_t n = ::recv(fd, buffer, size, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace harness
