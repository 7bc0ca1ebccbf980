// The servers of one benchmark case, kept in their own process so that the
// client and curl are measured alone.
#include "bench/BenchModes.h"

#include "harness/RealFtpServers.h"

#include <csignal>
#include <ctime>
#include <cstdio>
#include <exception>
#include <memory>

namespace bench {

namespace {

// Waits for a request to stop, at most as long as the servers live. The
// signals are blocked only now: the servers started above must not inherit
// the block, or they could not be stopped.
void WaitForStop()
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGHUP);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    const timespec limit{harness::kServerLifetimeSeconds, 0};
    sigtimedwait(&stop, nullptr, &limit);
}

}  // namespace

int Serve(const std::string &kind, const std::string &root)
{
    try {
        std::unique_ptr<harness::FtpEndpoint> server;
        std::unique_ptr<harness::TestCertificates> certificates;
        std::string extra;
        if (kind == "proxy") {
            server = std::make_unique<harness::FtpProxy>(root);
            extra = " " + harness::FtpProxy::TargetHost();
        } else if (kind == "vsftpd-tls") {
            certificates = std::make_unique<harness::TestCertificates>();
            server = std::make_unique<harness::VsftpdServer>(
                root, certificates->Server(harness::TestCertificates::Kind::Good));
            extra = " " + certificates->CaFile();
        } else {
            server = std::make_unique<harness::VsftpdServer>(root);
        }
        std::printf("%s %d%s\n", server->Host().c_str(), int(server->Port()), extra.c_str());
        std::fflush(stdout);
        WaitForStop();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vm_bench serve: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace bench
