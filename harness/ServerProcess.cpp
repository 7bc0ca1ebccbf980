#include "harness/ServerProcess.h"

#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harness {

namespace {

// Where the program Name lives: on PATH, or among the administrator's
// programs, which a user's PATH may lack. Name itself when it is a path or is
// nowhere (then the start fails and says so).
std::string ProgramPath(const std::string &name)
{
    if (name.find('/') != std::string::npos)
        return name;
    const char *path = std::getenv("PATH");
    std::istringstream dirs(std::string(path ? path : "") + ":/usr/sbin:/sbin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return dir + "/" + name;
    return name;
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string> &argv, const std::string &logPath,
                             bool logAsStdin)
    : logPath_(logPath)
{
    std::vector<std::string> full{"timeout", "-k", "5", std::to_string(kServerLifetimeSeconds)};
    full.push_back(ProgramPath(argv.at(0)));
    full.insert(full.end(), argv.begin() + 1, argv.end());
    std::vector<char *> args;
    for (auto &a : full)
        args.push_back(a.data());
    args.push_back(nullptr);

    const int log = ::open(logPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot create server log " + logPath);
    // Closed in the child by its exec: until then the child holds copies of
    // the test's descriptors, which must not pass for the server's sockets.
    int execed[2];
    if (::pipe2(execed, O_CLOEXEC) != 0) {
        ::close(log);
        throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) {
        for (const int fd : {log, execed[0], execed[1]})
            ::close(fd);
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
    ::close(execed[1]);
    char none;
    while (::read(execed[0], &none, 1) < 0 && errno == EINTR) {
    }
    ::close(execed[0]);
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

namespace {

// The process group of a process, from /proc/<pid>/stat (-1 when it is gone).
// The group follows the command name, which may hold spaces and parentheses.
pid_t ProcessGroupOf(const std::filesystem::path &process)
{
    std::ifstream stat(process / "stat");
    std::string text;
    std::getline(stat, text);
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(nameEnd + 1));
    char state = 0;
    pid_t parent = 0, group = -1;
    fields >> state >> parent >> group;
    return fields ? group : -1;
}

}  // namespace

bool ServerProcess::HoldsSocket(unsigned long inode) const
{
    namespace fs = std::filesystem;
    if (pid_ < 0)
        return false;
    const fs::path link = "socket:[" + std::to_string(inode) + "]";
    // Processes come and go while the listings are read: an error ends a
    // listing instead of throwing.
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; process != end; process.increment(error)) {
        if (ProcessGroupOf(process->path()) != pid_)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(process->path() / "fd", fdError); fd != end; fd.increment(fdError))
            if (fs::read_symlink(fd->path(), fdError) == link)
                return true;
    }
    return false;
}

std::string ServerProcess::Log() const
{
    std::ifstream in(logPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace harness
