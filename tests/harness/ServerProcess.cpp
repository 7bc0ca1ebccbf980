#include "tests/harness/ServerProcess.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harness {

ServerProcess::ServerProcess(const std::vector<std::string> &argv, const std::string &logPath,
                             bool logAsStdin)
    : logPath_(logPath)
{
    std::vector<std::string> full{"timeout", "-k", "5", std::to_string(kServerLifetimeSeconds)};
    full.insert(full.end(), argv.begin(), argv.end());
    std::vector<char *> args;
    for (auto &a : full)
        args.push_back(a.data());
    args.push_back(nullptr);

    const int log = ::open(logPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot create server log " + logPath);
    pid_ = ::fork();
    if (pid_ < 0) {
        ::close(log);
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        // A closed standard input would be reused for the first socket the
        // server opens, which confuses servers that can also run from inetd.
        ::dup2(logAsStdin ? log : ::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
    ::close(log);
}

ServerProcess::~ServerProcess() { Stop(); }

bool ServerProcess::Running()
{
    if (pid_ < 0)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == 0)
        return true;
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
    return false;
}

void ServerProcess::Stop()
{
    if (pid_ < 0)
        return;
    // timeout passes the signal on to the whole group; -k 5 bounds the wait.
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}

std::string ServerProcess::Log() const
{
    std::ifstream in(logPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace harness
