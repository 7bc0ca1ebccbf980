#include "harness/RealFtpServers.h"

#include "harness/Loopback.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace harness {

namespace {

// A free port can be taken by someone else before the server binds it.
constexpr int kStartAttempts = 3;

void WriteConfig(const std::string &path, const std::string &text)
{
    std::ofstream out(path);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace

VsftpdServer::VsftpdServer(const std::string &root, const std::string &address, uint16_t port, DataModes modes)
{
    host_ = address;
    Start(root, port, modes, nullptr);
}

VsftpdServer::VsftpdServer(const std::string &root, const CertificateFiles &tls, DataModes modes)
{
    host_ = "127.0.0.1";
    Start(root, 0, modes, &tls);
}

void VsftpdServer::Start(const std::string &root, uint16_t port, DataModes modes, const CertificateFiles *tls)
{
    for (int attempt = 0; attempt < kStartAttempts; ++attempt)
        if (TryStart(root, port ? port : FreePort(host_), modes, tls))
            return;
    throw std::runtime_error("vsftpd did not start on " + host_ + ":\n" + Log());
}

bool VsftpdServer::TryStart(const std::string &root, uint16_t port, DataModes modes, const CertificateFiles *tls)
{
    port_ = port;
    const std::string empty = work_ / "empty";
    std::filesystem::create_directories(empty);
    // Started as root, vsftpd serves anonymous sessions as Debian's "ftp" user
    // (created by the package) and runs its unprivileged parts as "nobody".
    WriteConfig(work_ / "vsftpd.conf",
                "listen=YES\nlisten_ipv6=NO\nbackground=NO\nseccomp_sandbox=NO\n"
                "listen_address=" + host_ + "\nlisten_port=" + std::to_string(port) + "\n"
                "anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=NO\n"
                "anon_root=" + root + "\n"
                "secure_chroot_dir=" + empty + "\n"
                "connect_from_port_20=NO\nxferlog_enable=NO\nsyslog_enable=NO\n"
                "idle_session_timeout=120\ndata_connection_timeout=120\n" +
                    (modes == DataModes::PassiveOnly ? "port_enable=NO\n" : "") +
                    // Debian's vsftpd knows no switch per TLS version:
                    // ssl_tlsv1 allows 1.0 and above, 1.3 included. Its
                    // default cipher list (3DES) is one OpenSSL 3 refuses.
                    (tls ? "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                           "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\nssl_sslv2=NO\nssl_sslv3=NO\n"
                           "ssl_tlsv1=YES\nssl_ciphers=HIGH\nssl_request_cert=NO\n"
                           "rsa_cert_file=" + tls->certFile + "\nrsa_private_key_file=" + tls->keyFile + "\n"
                         : std::string()));
    // vsftpd writes its start-up errors to standard input.
    process_ = std::make_unique<ServerProcess>(
        std::vector<std::string>{"vsftpd", work_ / "vsftpd.conf"}, work_ / "vsftpd.log", true);
    return WaitUntilListening(host_, port_, *process_);
}

std::string VsftpdServer::Log() const { return process_ ? process_->Log() : std::string(); }

// Debian's python3-pyftpdlib (and python3-openssl, which its TLS needs) are
// installed for the system's interpreter; another python3 earlier on PATH may
// lack them.
PyftpdlibServer::PyftpdlibServer(const std::string &root, const std::string &address)
{
    host_ = address;
    Start([&](uint16_t port) {
        return std::vector<std::string>{"/usr/bin/python3", "-m", "pyftpdlib", "-i", address, "-p",
                                        std::to_string(port), "-d", root};
    });
}

PyftpdlibServer::PyftpdlibServer(const std::string &root, const CertificateFiles &tls)
{
    host_ = "127.0.0.1";
    Start([&](uint16_t port) {
        return std::vector<std::string>{"/usr/bin/python3", VM_HARNESS_DIR "/ftps_server.py", host_,
                                        std::to_string(port), root, tls.certFile, tls.keyFile};
    });
}

void PyftpdlibServer::Start(const std::function<std::vector<std::string>(uint16_t port)> &argv)
{
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        port_ = FreePort(host_);
        process_ = std::make_unique<ServerProcess>(argv(port_), work_ / "pyftpdlib.log");
        if (WaitUntilListening(host_, port_, *process_))
            return;
    }
    throw std::runtime_error("pyftpdlib did not start on " + host_ + ":\n" + process_->Log());
}

const std::string &FtpProxy::TargetHost()
{
    static const std::string host = "127.0.0.2";
    return host;
}

FtpProxy::TargetLock::TargetLock()
{
    fd_ = ::open("/tmp/vm_ftp_proxy_target.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) {
        if (fd_ >= 0)
            ::close(fd_);
        throw std::runtime_error("cannot take the lock for " + TargetHost() + ":21");
    }
}

FtpProxy::TargetLock::~TargetLock() { ::close(fd_); }

FtpProxy::FtpProxy(const std::string &root)
{
    target_ = std::make_unique<VsftpdServer>(root, TargetHost(), 21);

    // The proxy drops to "nobody" and then writes its log.
    std::filesystem::permissions(work_.Path(), std::filesystem::perms::all);
    host_ = "127.0.0.1";
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        port_ = FreePort(host_);
        WriteConfig(work_ / "ftp-proxy.conf",
                    "[-Global-]\nServerType standalone\nListen " + host_ + "\nPort " +
                        std::to_string(port_) + "\nDestinationAddress " + TargetHost() +
                        "\nAllowMagicUser yes\nUser nobody\nGroup nogroup\n"
                        // Its default limit (40 clients a minute) turns
                        // clients away within one benchmark's repeated fetches.
                        "ForkLimit 100000\n"
                        "LogDestination " + (work_ / "ftp-proxy.log") + "\n");
        process_ = std::make_unique<ServerProcess>(
            std::vector<std::string>{"ftp-proxy", "-d", "-n", "-f", work_ / "ftp-proxy.conf"},
            work_ / "ftp-proxy.out");
        if (WaitUntilListening(host_, port_, *process_))
            return;
    }
    throw std::runtime_error("ftp-proxy did not start:\n" + process_->Log());
}

std::string FtpProxy::Log() const
{
    std::ifstream in(work_ / "ftp-proxy.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace harness
