#pragma once
// The two halves of the benchmark program, one per process: the servers, and
// one check as the window makes it.
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Starts the servers named by Kind ("vsftpd"; "vsftpd-tls", FTP over TLS
// only; or "proxy": ftp-proxy in front of vsftpd) serving Root, prints where
// to connect (host and port, then the proxy's target or the CA file to
// trust), and keeps them until SIGTERM, SIGINT or the servers' lifetime runs
// out. Returns the exit code.
int Serve(const std::string &kind, const std::string &root);

struct FetchJob {
    std::string host;
    int port = 0;
    std::string proxy;  // empty: direct
    int proxyPort = 0;
    bool passive = false;  // TFtpClient::Passive
    std::string trustedCaFile;  // not empty: over TLS, trusting this CA
    std::vector<std::pair<std::string, std::string>> files;  // remote, local
};

// Connects, switches to binary and downloads the files one after another, as
// the window's check does. Returns the exit code.
int Fetch(const FetchJob &job);

// Connects to a server that never greets and waits for its greeting until
// Seconds have passed. Returns the exit code.
int Wait(const std::string &host, int port, int seconds);

// What the client's waits need of the process while a mode runs: Qt's
// application object on Linux; nothing on Windows, whose loop needs none.
class EventLoop {
public:
    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop &) = delete;
    EventLoop &operator=(const EventLoop &) = delete;

private:
    struct System;
    std::unique_ptr<System> system_;
};

}  // namespace bench
