// vm_harness_service [--idle-seconds N]: the test servers, certificates and
// temporary trees of harness/, offered to test programs that cannot make them
// themselves (see Protocol.h). It listens on 127.0.0.1 on a port the system
// chooses and writes that port, as one line, to its standard output. It ends
// when its standard input ends (so a script that starts it with a pipe stops
// it by ending), or once it has had no session for the idle time (600 s
// unless told); a session silent for the idle time ends too.
#include "harness/Loopback.h"
#include "harness/service/Protocol.h"
#include "harness/service/Sessions.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::seconds IdleTime(int argc, char **argv)
{
    if (argc == 1)
        return std::chrono::seconds(600);
    if (argc == 3 && std::strcmp(argv[1], "--idle-seconds") == 0)
        return std::chrono::seconds(harness::service::NumberIn(argv[2], 24 * 60 * 60));
    throw std::invalid_argument("usage: vm_harness_service [--idle-seconds N]");
}

// Whatever comes on standard input is of no use; its end is the signal to stop.
bool InputEnded()
{
    char buffer[256];
    return ::read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

}  // namespace

int main(int argc, char **argv)
{
    try {
        const std::chrono::seconds idle = IdleTime(argc, argv);
        const int listener = harness::ListenOn("127.0.0.1", 0, 64);
        std::printf("%u\n", static_cast<unsigned>(harness::LocalPortOf(listener)));
        std::fflush(stdout);
        harness::service::Sessions sessions(idle);
        for (auto quietSince = Clock::now();;) {
            if (sessions.Open() > 0)
                quietSince = Clock::now();
            else if (Clock::now() - quietSince >= idle)
                break;
            // Wakes each second to join the sessions that have ended.
            pollfd fds[2] = {{listener, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
            if (::poll(fds, 2, 1000) < 0 || (fds[1].revents && InputEnded()))
                break;
            if (fds[0].revents & POLLIN)
                if (const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); fd >= 0)
                    sessions.Start(fd);
        }
        ::close(listener);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vm_harness_service: %s\n", e.what());
        return 1;
    }
}
