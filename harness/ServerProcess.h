#pragma once
// A test server run as a child process. It is wrapped in coreutils' timeout so
// that it ends by itself even when the test process dies without cleaning up,
// and it lives in its own process group so that stopping it also ends the
// session processes it forked.
#include <string>
#include <sys/types.h>
#include <vector>

namespace harness {

class ServerProcess {
public:
    // Argv[0] is a program's name, looked for on PATH and in /usr/sbin and
    // /sbin. Output goes to logPath; with logAsStdin the log is also the
    // child's standard input (vsftpd reports start-up errors there).
    ServerProcess(const std::vector<std::string> &argv, const std::string &logPath,
                  bool logAsStdin = false);
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    bool Running();
    void Stop();
    // Whether a process of the server (its process group) has the socket with
    // this inode open, as /proc/<pid>/fd shows it.
    bool HoldsSocket(unsigned long inode) const;
    std::string Log() const;

private:
    pid_t pid_ = -1;
    std::string logPath_;
};

// Every server lives at most this long.
constexpr int kServerLifetimeSeconds = 300;

}  // namespace harness
