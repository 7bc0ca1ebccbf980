#pragma once
// A TFtpClient whose every status text and event is written, in order, into one
// log, so that tests can assert the sequence the owner would see.
#include "ftp/FtpClient.h"
#include "harness/FtpFiles.h"
#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The client with the reply it read last in view.
class TestFtpClient : public TFtpClient {
public:
    using TTcpSocket::LastReply;
    using TTcpSocket::ReplyNumber;
};

class FtpClientTest : public ::testing::Test {
protected:
    FtpClientTest();

    // Points the client at a server as an anonymous user.
    void Target(const std::string &host, uint16_t port);
    void TargetScriptedServer() { Target(server.Host(), server.Port()); }
    // Starts the script, connects to it and clears the log of the login.
    void ConnectToScript();
    // The log entries that begin with prefix (for example "OnSuccess").
    std::vector<std::string> Entries(const std::string &prefix) const;
    // The log without status texts.
    std::vector<std::string> Events() const;
    // Once a status beginning with Prefix has been shown, AbortTransfer from the
    // event loop, as a click on the abort button would.
    void AbortTransferAfterStatus(const std::string &prefix);

    // "status: <text>" for a status, the event's name (with its kind) otherwise;
    // OnPacketRecvd once per run of blocks.
    std::vector<std::string> log;
    bool failureHandled = false;  // what OnFailure answers
    harness::TempDir local;
    // The servers outlive the client, whose destructor still logs out.
    harness::FtpFiles files;
    harness::ScriptedFtpServer server;
    std::unique_ptr<harness::FtpEndpoint> realServer;
    TestFtpClient client;
};

// A transaction kind as the log writes it.
std::string KindText(TCmdType kind);
