#include "harness/RealFtpServers.h"

#include "harness/Loopback.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string_view>
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

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One of the vsftpd configuration files in harness/, which the demo script
// reads too, with its @NAME@ fields filled in. A field without a value would
// reach vsftpd as a literal value, so it is refused here.
std::string VsftpdConfig(const std::string &file, const std::map<std::string, std::string> &fields)
{
    const std::string path = std::string(VM_HARNESS_DIR) + "/" + file;
    const std::string text = ReadFile(path);
    std::string config;
    for (size_t line = 0; line < text.size();) {
        const size_t end = std::min(text.find('\n', line), text.size() - 1) + 1;
        const std::string_view view(text.data() + line, end - line);
        line = end;
        if (view.starts_with('#'))
            continue;
        for (size_t at = 0;;) {
            const size_t open = view.find('@', at);
            const size_t close = open == view.npos ? view.npos : view.find('@', open + 1);
            if (close == view.npos) {
                config += view.substr(at);
                if (!config.ends_with('\n'))
                    config += '\n';
                break;
            }
            const auto value = fields.find(std::string(view.substr(open + 1, close - open - 1)));
            if (value == fields.end())
                throw std::runtime_error(path + ": no value for the field in: " + std::string(view));
            config += view.substr(at, open - at);
            config += value->second;
            at = close + 1;
        }
    }
    return config;
}

}  // namespace

VsftpdServer::VsftpdServer(const std::string &root, const std::string &address, uint16_t port, DataModes modes)
{
    host_ = address;
    Start(root, port, modes, nullptr);
}

VsftpdServer::VsftpdServer(const std::string &root, const CertificateFiles &tls, DataModes modes,
                           const std::string &address, SessionReuse reuse)
    : reuse_(reuse)
{
    host_ = address;
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
    const bool ipv6 = IsIpv6(host_);
    std::string config = VsftpdConfig("vsftpd.conf.in", {{"IPV4", ipv6 ? "NO" : "YES"},
                                                         {"IPV6", ipv6 ? "YES" : "NO"},
                                                         {"ADDRESS_SETTING", ipv6 ? "listen_address6" : "listen_address"},
                                                         {"ADDRESS", host_},
                                                         {"PORT", std::to_string(port)},
                                                         {"ROOT", root},
                                                         {"EMPTY", empty}});
    if (modes == DataModes::PassiveOnly)
        config += VsftpdConfig("vsftpd-passive-only.conf", {});
    if (tls)
        config += VsftpdConfig("vsftpd-tls.conf.in", {{"CERT", tls->certFile},
                                                         {"KEY", tls->keyFile},
                                                         {"REUSE", reuse_ == SessionReuse::Required ? "YES" : "NO"}});
    WriteConfig(work_ / "vsftpd.conf", config);
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
