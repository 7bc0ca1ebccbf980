#include "tests/ftp/FtpClientFixture.h"

#include "tests/support/NetTestSupport.h"

std::string KindText(TCmdType kind) { return std::to_string(static_cast<int>(kind)); }

FtpClientTest::FtpClientTest()
{
    client.ReportLevel = 1;
    client.OnStatus = [this](TTcpSocket *, const std::string &text) { log.push_back("status: " + text); };
    client.OnConnect = [this](TTcpSocket *) { log.push_back("OnConnect"); };
    client.OnDisconnect = [this](TTcpSocket *) { log.push_back("OnDisconnect"); };
    client.OnConnectionFailed = [this](TTcpSocket *) { log.push_back("OnConnectionFailed"); };
    client.OnSuccess = [this](TCmdType kind) { log.push_back("OnSuccess " + KindText(kind)); };
    client.OnFailure = [this](bool &handled, TCmdType kind) {
        log.push_back("OnFailure " + KindText(kind));
        handled = failureHandled;
    };
    client.OnUnSupportedFunction = [this](TCmdType kind) {
        log.push_back("OnUnSupportedFunction " + KindText(kind));
    };
    client.OnTransactionStart = [this](TTcpSocket *) { log.push_back("OnTransactionStart"); };
    client.OnTransactionStop = [this](TTcpSocket *) { log.push_back("OnTransactionStop"); };
    client.OnPacketRecvd = [this](TTcpSocket *) {
        if (log.empty() || log.back() != "OnPacketRecvd")
            log.push_back("OnPacketRecvd");
    };
}

void FtpClientTest::Target(const std::string &host, uint16_t port)
{
    client.Host = host;
    client.Port = port;
    client.UserID = "anonymous";
    client.Password = "guest@example.org";
    client.TimeOut = 5000;
}

void FtpClientTest::ConnectToScript()
{
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
}

std::vector<std::string> FtpClientTest::Entries(const std::string &prefix) const
{
    std::vector<std::string> found;
    for (const auto &entry : log)
        if (entry.rfind(prefix, 0) == 0)
            found.push_back(entry);
    return found;
}

void FtpClientTest::AbortTransferAfterStatus(const std::string &prefix)
{
    client.OnStatus = [this, prefix](TTcpSocket *, const std::string &text) {
        log.push_back("status: " + text);
        if (text.rfind(prefix, 0) == 0)
            testsupport::CallSoon([this] { client.AbortTransfer(); });
    };
}

std::vector<std::string> FtpClientTest::Events() const
{
    std::vector<std::string> found;
    for (const auto &entry : log)
        if (entry.rfind("status: ", 0) != 0)
            found.push_back(entry);
    return found;
}
