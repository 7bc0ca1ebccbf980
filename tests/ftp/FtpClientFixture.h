#pragma once
// A TFtpClient whose every status text and event is written, in order, into one
// log, so that tests can assert the sequence the owner would see.
#include "ftp/FtpClient.h"
#include "tests/harness/FtpFiles.h"
#include "tests/harness/RealFtpServers.h"
#include "tests/harness/ScriptedFtpServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class FtpClientTest : public ::testing::Test {
protected:
    FtpClientTest();

    // Points the client at a server as an anonymous user.
    void Target(const std::string &host, uint16_t port);
    void TargetScriptedServer() { Target(server.Host(), server.Port()); }
    // The log entries that begin with prefix (for example "OnSuccess").
    std::vector<std::string> Entries(const std::string &prefix) const;
    // The log without status texts.
    std::vector<std::string> Events() const;

    // "status: <text>" for a status, the event's name (with its kind) otherwise;
    // OnPacketRecvd once per run of blocks.
    std::vector<std::string> log;
    bool failureHandled = false;  // what OnFailure answers
    harness::TempDir local;
    // The servers outlive the client, whose destructor still logs out.
    harness::FtpFiles files;
    harness::ScriptedFtpServer server;
    std::unique_ptr<harness::FtpEndpoint> realServer;
    TFtpClient client;
};

// A transaction kind as the log writes it.
std::string KindText(TCmdType kind);

// The message of the error Call raises; empty when it raises none.
template <class Call> std::string ErrorOf(Call call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.Message();
    }
    return {};
}
