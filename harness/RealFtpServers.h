#pragma once
// Real FTP servers from Debian's packages, started on loopback for one test and
// stopped with the object. Each serves a directory anonymously and read-only.
// Built with VM_HARNESS_CLIENT, they are the harness service's.
#include "harness/TestCertificates.h"

#include <cstdint>
#include <string>

#ifdef VM_HARNESS_CLIENT
#include "harness/client/ServiceSession.h"
#else
#include "harness/FtpFiles.h"
#include "harness/ServerProcess.h"

#include <functional>
#include <memory>
#include <vector>
#endif

namespace harness {

// The server a test talks to: where to connect.
class FtpEndpoint {
public:
    virtual ~FtpEndpoint() = default;
    const std::string &Host() const { return host_; }
    uint16_t Port() const { return port_; }

protected:
    std::string host_;
    uint16_t port_ = 0;
};

// vsftpd standalone. Answers USER anonymous with 331 and RETR with 150 and the
// size as "(N bytes)". Port 0 picks a free port. PassiveOnly refuses PORT, as
// for a client whose firewall lets no server connect in. Its configuration is
// read from harness/vsftpd*.conf*, which the demo's server uses too.
//
// An address with colons makes it listen on IPv6 (listen_ipv6).
//
// Given a certificate it serves explicit FTPS: AUTH TLS before
// the login, TLS on every data connection (PBSZ 0, PROT P), and, unless told
// otherwise, each data connection must resume the control connection's TLS
// session, or the transfer fails with "522 SSL connection failed: session
// reuse required".
class VsftpdServer : public FtpEndpoint {
public:
    enum class DataModes { ActiveAndPassive, PassiveOnly };
    enum class SessionReuse { Required, NotRequired };
    explicit VsftpdServer(const std::string &root, const std::string &address = "127.0.0.1",
                          uint16_t port = 0, DataModes modes = DataModes::ActiveAndPassive);
    VsftpdServer(const std::string &root, const CertificateFiles &tls,
                 DataModes modes = DataModes::ActiveAndPassive, const std::string &address = "127.0.0.1",
                 SessionReuse reuse = SessionReuse::Required);
    std::string Log() const;

private:
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#else
    void Start(const std::string &root, uint16_t port, DataModes modes, const CertificateFiles *tls);
    bool TryStart(const std::string &root, uint16_t port, DataModes modes, const CertificateFiles *tls);
    TempDir work_;
    std::unique_ptr<ServerProcess> process_;
    SessionReuse reuse_ = SessionReuse::Required;
#endif
};

// pyftpdlib's stand-alone server (Debian's python3). Opens the data connection
// as soon as PORT is accepted and answers RETR with 125.
//
// Given a certificate it serves explicit FTPS on 127.0.0.1
// (harness/ftps_server.py): it refuses the login before AUTH TLS and any
// transfer before PROT P; it does not ask data connections to resume the
// control connection's session.
class PyftpdlibServer : public FtpEndpoint {
public:
    explicit PyftpdlibServer(const std::string &root, const std::string &address = "127.0.0.1");
    PyftpdlibServer(const std::string &root, const CertificateFiles &tls);

private:
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#else
    void Start(const std::function<std::vector<std::string>(uint16_t port)> &argv);
    TempDir work_;
    std::unique_ptr<ServerProcess> process_;
#endif
};

// ftp-proxy (AllowMagicUser) in front of a vsftpd that serves root. The proxy
// takes the target from "USER name@host" and connects to port 21 of that host,
// so the target listens on TargetHost():21; processes that share a network
// namespace (the benchmark, a test run by hand) take turns through a lock file.
class FtpProxy : public FtpEndpoint {
public:
    explicit FtpProxy(const std::string &root);
    static const std::string &TargetHost()
    {
        static const std::string host = "127.0.0.2";
        return host;
    }
    std::string Log() const;

private:
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#else
    // Held for the proxy's whole life, released first thing on a failed start.
    class TargetLock {
    public:
        TargetLock();
        ~TargetLock();
        TargetLock(const TargetLock &) = delete;
        TargetLock &operator=(const TargetLock &) = delete;

    private:
        int fd_ = -1;
    };
    TargetLock lock_;
    std::unique_ptr<VsftpdServer> target_;
    TempDir work_;
    std::unique_ptr<ServerProcess> process_;
#endif
};

}  // namespace harness
