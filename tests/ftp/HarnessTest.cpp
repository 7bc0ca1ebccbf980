// The test servers themselves, checked with an independent client (Python's
// ftplib), so that a failing client test can be told apart from a broken server.
#include "tests/ftp/HarnessFixture.h"
#include "harness/FtpFiles.h"
#include "harness/Loopback.h"
#include "harness/PrivateNetwork.h"
#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

using namespace harness;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

namespace {

// Runs the probe and returns the replies it printed.
std::string Probe(const std::string &host, uint16_t port, const std::string &user, const std::string &remote,
                  const std::string &local)
{
    const std::string command = "python3 " VM_HARNESS_DIR "/ftp_probe.py " + host + " " +
                                std::to_string(port) + " " + user + " " + remote + " " + local + " 2>&1";
    return OutputOf(command);
}


TEST_F(HarnessTest, VsftpdServesTheTree)
{
    VsftpdServer server(files.Path());
    const std::string replies = Probe(server.Host(), server.Port(), "anonymous", "pub/news/file.bin",
                                      local / "out");
    EXPECT_THAT(replies, HasSubstr("226"));
    EXPECT_EQ(local.Read("out"), content);
}

TEST_F(HarnessTest, PyftpdlibServesTheTree)
{
    PyftpdlibServer server(files.Path());
    const std::string replies = Probe(server.Host(), server.Port(), "anonymous", "pub/news/file.bin",
                                      local / "out");
    EXPECT_THAT(replies, HasSubstr("226"));
    EXPECT_EQ(local.Read("out"), content);
}

TEST_F(HarnessTest, ProxyReachesItsTargetByTheUserName)
{
    FtpProxy proxy(files.Path());
    const std::string replies = Probe(proxy.Host(), proxy.Port(), "anonymous@" + FtpProxy::TargetHost(),
                                      "pub/news/file.bin", local / "out");
    EXPECT_THAT(replies, HasSubstr("226"));
    EXPECT_EQ(local.Read("out"), content);
    EXPECT_THAT(proxy.Log(), HasSubstr("dest " + FtpProxy::TargetHost() + ":21"));
}

// A listener another process left on the server's address is not the server.
TEST_F(HarnessTest, VsftpdRefusesAPortAnotherProcessListensOn)
{
    const int foreign = ListenOn("127.0.0.1", 0);
    EXPECT_THROW(VsftpdServer(files.Path(), "127.0.0.1", LocalPortOf(foreign)), std::runtime_error);
    ::close(foreign);
}

TEST_F(HarnessTest, ProxyRefusesATargetPortAnotherProcessListensOn)
{
    const int foreign = ListenOn(FtpProxy::TargetHost(), 21);
    EXPECT_THROW(FtpProxy(files.Path()), std::runtime_error);
    ::close(foreign);
}

// The first line a new control connection to host:port receives within five
// seconds ("" when none).
std::string Greeting(const std::string &host, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const sockaddr_in address = AddressOf(host, port);
    std::string line;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        char c;
        while (::recv(fd, &c, 1, 0) == 1 && c != '\n')
            line += c;
    }
    ::close(fd);
    return line;
}

TEST_F(HarnessTest, ProxyTakesMoreClientsAMinuteThanABenchmarkMakes)
{
    FtpProxy proxy(files.Path());
    for (int client = 1; client <= 60; ++client)
        ASSERT_THAT(Greeting(proxy.Host(), proxy.Port()), MatchesRegex("220 .*")) << "client " << client;
}

TEST_F(HarnessTest, ScriptedServerPlaysItsScriptAndRecordsTheCommands)
{
    ScriptedFtpServer server;
    server.Send("220-first\r\n220 second\r\n")
        .Reply("331 Password.\r\n")
        .Reply("230 In.\r\n")
        .Reply("200 Type.\r\n")
        .Reply("200 Port.\r\n")
        .Receive()
        .Send("150 Here (3 bytes).\r\n")
        .ConnectData()
        .SendData("abc")
        .CloseData()
        .Send("226 Done.\r\n");
    server.Start();
    const std::string replies = Probe(server.Host(), server.Port(), "anonymous", "x.bin", local / "out");
    EXPECT_EQ(local.Read("out"), "abc");
    EXPECT_THAT(replies, HasSubstr("221 Goodbye."));
    const auto transcript = server.Transcript();
    EXPECT_THAT(transcript, ElementsAre("USER anonymous", "PASS probe@example.org", "TYPE I",
                                        MatchesRegex("PORT 127,0,0,1,[0-9]+,[0-9]+"), "RETR x.bin", "QUIT"));
    EXPECT_TRUE(server.Errors().empty());
}

}  // namespace
