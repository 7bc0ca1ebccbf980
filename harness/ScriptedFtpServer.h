#pragma once
// A loopback FTP server that plays a script, for the replies no real server
// gives on demand. It runs on its own thread, serves one control connection,
// and records every command line it receives. Build the script, then Start().
//
// Every wait of the server ends after at most a minute, and the destructor stops
// it, so a client that misbehaves cannot keep a test running.
//
// After the last step the server goes on recording commands: QUIT is answered
// with "221 Goodbye." and the connection closed (the client sees both at
// once); anything else gets "500 Unscripted command.".
//
// TLS (explicit, as after AUTH TLS): StartTls makes the server side of the
// handshake on the control connection; every later Send, Receive and Reply goes
// through TLS. After DataTls(true) each data connection made or accepted gets a
// server-side handshake too, with the same context, so the client can resume
// the control connection's session. That handshake is part of AcceptData and
// ConnectData: script them after the reply (150) on which the client starts
// its side. A handshake the client aborts does not count as an error of the
// server: it ends the script (a failed data handshake leaves the control
// connection to the unscripted replies) and TlsFailure() says why.
//
// Built with VM_HARNESS_CLIENT (the library vm_harness_client), the server is
// the harness service's, and this object forwards every call to it.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#ifdef VM_HARNESS_CLIENT
#include "harness/client/ServiceSession.h"
#else
#include <functional>
#include <mutex>
#include <thread>

struct ssl_ctx_st;
struct ssl_st;
#endif

namespace harness {

class ScriptedFtpServer {
public:
    // Listens on Address (IPv4 or IPv6); data ports stay on 127.0.0.1.
    explicit ScriptedFtpServer(const std::string &address = "127.0.0.1");
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer &) = delete;
    ScriptedFtpServer &operator=(const ScriptedFtpServer &) = delete;

    // Control connection.
    ScriptedFtpServer &Send(const std::string &bytes);      // raw, CR LF included
    ScriptedFtpServer &Receive();                           // one command line
    ScriptedFtpServer &Reply(const std::string &bytes);     // Receive, then Send
    ScriptedFtpServer &CloseControl();
    // Sends Bytes one at a time, Interval apart, as a server on a bad line
    // would; stops quietly once the client has closed the connection.
    ScriptedFtpServer &Drip(const std::string &bytes, std::chrono::milliseconds interval);
    ScriptedFtpServer &DripData(const std::string &bytes, std::chrono::milliseconds interval);
    // Data connection, to the address of the last PORT command received.
    ScriptedFtpServer &ConnectData(const std::string &fromAddress = "127.0.0.1");
    // Passive mode: what the offered data port does with the client's connect.
    enum class DataPort {
        Listening,  // accepts, see AcceptData
        Refusing,   // nothing listens there
        Full,       // its queue is full: the connect gets no answer
    };
    // Receives one command and answers with reply, in which "{port}" stands
    // for the offered port in decimal and "{p1}", "{p2}" for its high and low
    // byte; the port is opened on 127.0.0.1 first.
    ScriptedFtpServer &ReplyPassive(const std::string &reply, DataPort port = DataPort::Listening);
    // Takes the client's connection to the offered port as the data connection.
    ScriptedFtpServer &AcceptData();
    ScriptedFtpServer &SendData(const std::string &bytes);
    ScriptedFtpServer &CloseData();
    // Waits until the client has closed the data connection.
    ScriptedFtpServer &AwaitDataClosedByClient();
    // Waits until the test calls Signal() (for example from a client event).
    ScriptedFtpServer &AwaitSignal();
    ScriptedFtpServer &Pause(std::chrono::milliseconds interval);

    // Server side of a TLS handshake on the control connection, with this
    // certificate chain and key (PEM files).
    ScriptedFtpServer &StartTls(const std::string &certFile, const std::string &keyFile);
    // The same, speaking TLS 1.2 at most, as many servers still do.
    ScriptedFtpServer &StartTls12(const std::string &certFile, const std::string &keyFile);
    // Whether the data connections made or accepted from here on speak TLS.
    ScriptedFtpServer &DataTls(bool on);
    // Closes the data connection without TLS's close_notify, as an attacker
    // who cuts a transfer short would.
    ScriptedFtpServer &CloseDataWithoutTlsShutdown();
    // Server side of a TLS handshake on the data connection already open,
    // for a script that has sent bytes on it in the clear first.
    ScriptedFtpServer &SecureData();
    // Sends Bytes on the control connection's TCP stream past TLS, as
    // someone on the path would: a broken record for the client.
    ScriptedFtpServer &SendPastTls(const std::string &bytes);
    // Waits for the client's first handshake bytes on the control (or the
    // data) connection and closes it without an answer.
    ScriptedFtpServer &CloseDuringHandshake(bool data);

    // Pieces of a session that many scripts share.
    // The greeting, and USER answered with 230: logged in without a password.
    ScriptedFtpServer &LoggedIn();
    // The greeting, USER answered with 331 and PASS with 230.
    ScriptedFtpServer &LoggedInWithPassword();
    // PORT accepted, then RETR answered with RetrReply (CR LF included).
    ScriptedFtpServer &PortThenRetr(const std::string &retrReply);

    void Start();
    void Signal();
    // Waits until the script and the unscripted replies have ended: the
    // client has closed the control connection (at most a minute).
    void WaitUntilDone();

    const std::string &Host() const { return host_; }
    uint16_t Port() const { return port_; }
    // Command lines received so far, without their CR LF.
    std::vector<std::string> Transcript() const;
    // What went wrong on the server's side (a step that could not be done).
    std::vector<std::string> Errors() const;
    // Why a TLS handshake failed, with the connection it was on ("" when none did).
    std::string TlsFailure() const;
    // For each data connection in TLS: whether it resumed a session.
    std::vector<bool> DataTlsSessionsReused() const;

private:
    std::string host_;
    uint16_t port_ = 0;
#ifdef VM_HARNESS_CLIENT
    ScriptedFtpServer &Forward(const std::string &verb, const std::vector<std::string> &arguments = {});
    ServiceSession session_;
#else
    using Step = std::function<void()>;
    // Version: the highest TLS version spoken, 0 for the highest OpenSSL knows.
    ScriptedFtpServer &StartTlsUpTo(int version, const std::string &certFile, const std::string &keyFile);
    ScriptedFtpServer &Add(Step step);
    void Run();
    void Serve();
    void ServeUnscripted();
    void WaitReadable(int fd, const char *what);
    void WaitFor(int fd, short events, const char *what);
    std::string ReadLine();
    void SendAll(int fd, const std::string &bytes);
    bool TrySend(int fd, const char *bytes, std::size_t size);
    // Bytes received on fd, 0 once the client has closed it.
    std::size_t ReceiveSome(int fd, char *buffer, std::size_t size, const char *what);
    ssl_st *TlsOf(int fd) const;
    // Waits as the TLS operation that returned result asks; false when it failed.
    bool WaitForTls(int fd, ssl_st *tls, int result, const char *what);
    ssl_st *Handshake(int fd, bool control);
    void ProtectData();
    void HandshakeOnData();
    // Closes control_ or data_, after TLS's close_notify when it speaks TLS and notify is set.
    void Close(int &fd, bool notify = true);
    // Waits Interval, or ends the script when the server stops.
    void PauseFor(std::chrono::milliseconds interval);
    void DripOn(const int &fd, const std::string &bytes, std::chrono::milliseconds interval);
    void Record(std::vector<std::string> &list, const std::string &text);

    int listener_ = -1;
    int control_ = -1;
    int data_ = -1;
    int passive_ = -1;              // the offered data port
    int queueFiller_ = -1;          // keeps the offered port's queue full
    int stopPipe_[2] = {-1, -1};
    int signalPipe_[2] = {-1, -1};
    std::string pending_;           // received control bytes not yet split into lines
    std::string lastPort_;          // argument of the last PORT command
    std::vector<Step> steps_;
    ssl_ctx_st *tlsContext_ = nullptr;
    ssl_st *controlTls_ = nullptr;
    ssl_st *dataTls_ = nullptr;
    bool dataTlsOn_ = false;
    std::string tlsFailure_;
    std::vector<bool> dataTlsReused_;
    mutable std::mutex mutex_;
    std::vector<std::string> transcript_;
    std::vector<std::string> errors_;
    std::thread thread_;
#endif
};

}  // namespace harness
