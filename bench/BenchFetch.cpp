// One check as the window makes it: the same properties, the same events
// handled, the same calls. The status bar is a string here: the benchmark
// measures the client, not the widget's painting.
#include "bench/BenchModes.h"

#include "app/ConnectSettings.h"
#include "ftp/FtpClient.h"

#include <cstdio>
#include <exception>

namespace bench {

namespace {

// What the window's handlers do with each report, minus the widget.
struct StatusBar {
    std::string text;

    void Wire(TFtpClient &client)
    {
        client.OnStatus = [this](TTcpSocket *, const std::string &status) { text = status; };
        client.OnPacketRecvd = [this, &client](TTcpSocket *) {
            text = std::to_string(client.BytesRecvd()) + " z " + std::to_string(client.BytesTotal);
        };
        client.OnTransactionStart = [this](TTcpSocket *) { text = "start"; };
        client.OnTransactionStop = [this](TTcpSocket *) { text = "stop"; };
    }
};

}  // namespace

int Fetch(const FetchJob &job)
{
    const EventLoop loop;
    try {
        TFtpClient client;
        StatusBar bar;
        bar.Wire(client);
        client.Proxy = job.proxy;
        client.ProxyPort = job.proxyPort;
        client.Passive = job.passive;
        client.UseTls = !job.trustedCaFile.empty();
        client.TrustedCaFile = job.trustedCaFile;
        client.Host = job.host;
        client.Port = job.port;
        client.TimeOut = ConnectTimeOutMs;
        client.ReplyTimeOut = ReplyTimeOutMs;
        client.UserID = "anonymous";
        client.Password = "bench@example.com";
        client.ReportLevel = LoginReportLevel;
        client.Connect();
        client.ReportLevel = SessionReportLevel;
        client.Mode(modeImage);
        for (const auto &[remote, local] : job.files)
            client.Download(remote, local);
        std::fputs(bar.text.c_str(), stdout);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vm_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace bench
