// A wait on a server that never greets: the client connects and waits for the
// greeting until a timer cancels it, so that what waiting costs can be read
// off the process (CPU time, wake-ups).
#include "bench/BenchModes.h"

#include "app/ConnectSettings.h"
#include "ftp/FtpClient.h"
#include "sock/ThreadTimer.h"

#include <cstdio>

namespace bench {

int Wait(const std::string &host, int port, int seconds)
{
    const EventLoop loop;
    TFtpClient client;
    client.Host = host;
    client.Port = port;
    client.TimeOut = ConnectTimeOutMs;
    client.ReplyTimeOut = ReplyTimeOutMs;
    client.UserID = "anonymous";
    client.Password = "bench@example.com";
    TThreadTimer deadline;
    deadline.SetInterval(static_cast<uint32_t>(seconds) * 1000);
    deadline.SetOnTimer([&client](TThreadTimer *) { client.Cancel(); });
    try {
        client.Connect();
    } catch (const std::exception &e) {
        // The cancel is how the wait is meant to end.
        if (std::string(e.what()) == "Socket readln aborted")
            return 0;
        std::fprintf(stderr, "vm_bench: %s\n", e.what());
        return 1;
    }
    std::fputs("vm_bench: the silent server greeted\n", stderr);
    return 1;
}

}  // namespace bench
