#include "platform/net/HostLookup.h"
#include "platform/net/SocketErrors.h"
#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using testsupport::FakeResolver;

namespace {

bool Has(const std::vector<std::string> &texts, const std::string &text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

TEST(SockSession, OnlyTheFirstComponentStartsTheSocketSystem)
{
    const int before = TestSocket::WinsockUsers;
    {
        auto first = std::make_unique<TestSocket>();
        TestSocket second;
        EXPECT_EQ(TestSocket::WinsockUsers, before + 2);
        if (before == 0) {
            ASSERT_EQ(first->WinsockInfo.size(), 6u);
            EXPECT_EQ(first->WinsockInfo[0], "Version= 1.1");
            EXPECT_EQ(first->WinsockInfo[5].rfind("Max Udp pack size= ", 0), 0u);
        }
        EXPECT_TRUE(second.WinsockInfo.empty());
        EXPECT_TRUE(second.SocketHandle.IsOpen());
    }
    EXPECT_EQ(TestSocket::WinsockUsers, before);
}

TEST(SockSession, ErrorTextsComeFromTheTable)
{
    TestSocket socket;
    EXPECT_EQ(socket.LookupErrorMessage(0), "");
    EXPECT_EQ(socket.LookupErrorMessage(10061), "10061:Connection refused");
    EXPECT_EQ(socket.LookupErrorMessage(10004), "10004:Interrupted system call");
    EXPECT_EQ(socket.LookupErrorMessage(11004), "11004:Valid name, no data record of requested type");
    EXPECT_EQ(socket.LookupErrorMessage(12345), "Unknown Error No. 12345");
}

TEST(SockSession, ReportLevelFiltersStatusTexts)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    std::vector<std::string> status;
    RecordStatus(socket, status);

    socket.ReportLevel = 16;
    ConnectTo(socket, peer.Port());
    EXPECT_TRUE(Has(status, "Connecting"));
    EXPECT_TRUE(Has(status, "Checking Error In Error Manager"));
    EXPECT_EQ(socket.LastStatus, "Timer Off");

    status.clear();
    socket.ReportLevel = 4;
    socket.Disconnect();
    EXPECT_EQ(status, std::vector<std::string>{"Request Close Socket"});

    status.clear();
    socket.ReportLevel = 0;
    socket.Cancel();
    EXPECT_TRUE(status.empty());
}

TEST(SockConnect, DottedAddressConnectsWithoutLookup)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    FakeResolver resolver(true, 0, net::ErrorCode::HostNotFound);
    TestSocket socket;
    int connects = 0, resolved = 0;
    socket.OnConnect = [&](TTcpSocket *) { ++connects; };
    socket.OnHostResolved = [&](TTcpSocket *) { ++resolved; };

    ConnectTo(socket, peer.Port());

    EXPECT_TRUE(socket.Connected);
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(resolved, 0);
    EXPECT_TRUE(resolver.Names.empty());
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Already connected");
}

TEST(SockConnect, AStatusHandlerThatSetsTheSystemErrorDoesNotFailTheConnect)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    socket.ReportLevel = 16;
    // As a window's status bar does on Windows: its calls set the last error.
    socket.OnStatus = [](TTcpSocket *, const std::string &) { net::SetLastError(5); };

    ConnectTo(socket, peer.Port());

    EXPECT_TRUE(socket.Connected);
}

TEST(SockConnect, NameIsLookedUpAndReported)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    int resolved = 0;
    socket.OnHostResolved = [&](TTcpSocket *) { ++resolved; };
    socket.Host = "localhost";
    socket.Port = peer.Port();
    socket.TimeOut = 5000;
    socket.Connect();
    EXPECT_TRUE(socket.Connected);
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(socket.GetPeerAddress(), "127.0.0.1");
}

TEST(SockConnect, ProxyReplacesHostAndPort)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    socket.Host = "host.that.is.not.asked";
    socket.Port = 1;
    socket.Proxy = "127.0.0.1";
    socket.ProxyPort = peer.Port();
    socket.Connect();
    EXPECT_TRUE(socket.Connected);
}

TEST(SockConnect, RefusedConnectionFails)
{
    TestSocket socket;
    int failed = 0, connects = 0;
    socket.OnConnectionFailed = [&](TTcpSocket *) { ++failed; };
    socket.OnConnect = [&](TTcpSocket *) { ++connects; };
    const std::string failure = FailureOf([&] { ConnectTo(socket, testpeer::RefusedPort()); });

    EXPECT_EQ(failure, "Connection Failed");
    EXPECT_FALSE(socket.EventOk);
    EXPECT_FALSE(socket.Connected);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(socket.LookupErrorMessage(uint16_t(socket.LastError)), "10061:Connection refused");
}

TEST(SockConnect, UnansweredConnectTimesOut)
{
    testpeer::FullQueue server;
    TestSocket socket;
    int failed = 0;
    socket.OnConnectionFailed = [&](TTcpSocket *) { ++failed; };
    socket.Host = "127.0.0.1";
    socket.Port = server.Port();
    socket.TimeOut = 200;

    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Connection Timed out");
    EXPECT_TRUE(socket.TimedOut);
    EXPECT_EQ(failed, 1);
}

TEST(SockConnect, CancelEndsAConnectWithoutTimeOut)
{
    testpeer::FullQueue server;
    TestSocket socket;
    socket.Host = "127.0.0.1";
    socket.Port = server.Port();
    socket.TimeOut = 0;
    auto cancel1 = CancelAfter(socket, 100ms);
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Connection Canceled");
    EXPECT_TRUE(socket.IsCanceled());
    EXPECT_FALSE(socket.TimedOut);
}

// As when a cancel and the connect's completion are handled in one round of
// events: the connection stands, and the cancel ends the next wait.
TEST(SockConnect, CancelThatComesWithTheCompletedConnectEndsTheNextWait)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    socket.OnConnect = [](TTcpSocket *connected) { connected->Cancel(); };
    ConnectTo(socket, peer.Port());
    EXPECT_TRUE(socket.Connected);
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Socket readln aborted");
}

TEST(SockConnect, LookupTimeOutAndCancelPropagate)
{
    FakeResolver silent(false, 0, 0);
    TestSocket socket;
    int invalid = 0;
    socket.OnInvalidHost = [&](bool &) { ++invalid; };
    socket.Host = "silent.example";
    socket.Port = 21;

    socket.TimeOut = 100;
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Host Lookup Timed Out");

    socket.TimeOut = 0;
    auto cancel2 = CancelAfter(socket, 100ms);
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Host Lookup Canceled");
    EXPECT_EQ(invalid, 0);
    EXPECT_EQ(silent.Names.size(), 2u);
}

TEST(SockConnect, LateLookupAnswerDoesNotDisturbALaterConnect)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    FakeResolver silent(false, 0, 0);
    TestSocket socket;
    socket.Host = "silent.example";
    socket.TimeOut = 50;
    EXPECT_EQ(FailureOf([&] { socket.ResolveHost(); }), "Host Lookup Timed Out");

    // The given-up lookup fails just before the next connect waits.
    socket.Host = "127.0.0.1";
    socket.Port = peer.Port();
    socket.TimeOut = 5000;
    silent.Pending.front()({}, net::ErrorCode::HostNotFound);
    socket.Connect();
    EXPECT_TRUE(socket.Connected);
    EXPECT_TRUE(socket.EventOk);
}

TEST(SockConnect, InvalidHostGetsOneChanceToRepair)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    FakeResolver failing(true, 0, net::ErrorCode::HostNotFound);
    TestSocket socket;
    socket.Host = "no.such.host";
    socket.Port = peer.Port();
    EXPECT_EQ(FailureOf([&] { socket.ResolveHost(); }), "Host Lookup Failed");

    int asked = 0;
    socket.OnInvalidHost = [&](bool &handled) {
        ++asked;
        socket.Host = "127.0.0.1";
        handled = true;
    };
    socket.Connect();
    EXPECT_TRUE(socket.Connected);
    EXPECT_EQ(asked, 1);

    TestSocket other;
    asked = 0;
    other.Host = "no.such.host";
    other.OnInvalidHost = [&](bool &handled) {
        ++asked;
        handled = true;
    };
    EXPECT_EQ(FailureOf([&] { other.Connect(); }), "Null Remote Address");
    EXPECT_EQ(asked, 1);
}

TEST(SockConnect, ValuesTheSocketCannotCarryAreRefused)
{
    FakeResolver resolver(true, {*net::Address::FromLiteral("127.0.0.1")}, 0);
    TestSocket socket;
    socket.Host = std::string(128, 'h');
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Host name too long: 128 characters, at most 127");
    EXPECT_TRUE(resolver.Names.empty());

    socket.Host = "127.0.0.1";
    socket.Port = 65536 + 21;
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Port 65557 outside 0 to 65535");
    socket.Port = -1;
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Port -1 outside 0 to 65535");
    EXPECT_FALSE(socket.Connected);
}

TEST(SockConnect, DisconnectLeavesAFreshSocketForTheNextConnect)
{
    Peer first([](Connection &c) { c.WaitClosed(); });
    Peer second([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    int disconnects = 0;
    socket.OnDisconnect = [&](TTcpSocket *) { ++disconnects; };
    ConnectTo(socket, first.Port());
    socket.Disconnect();
    EXPECT_FALSE(socket.Connected);
    EXPECT_EQ(disconnects, 1);
    ConnectTo(socket, second.Port());
    EXPECT_TRUE(socket.Connected);
}

TEST(SockConnect, FailureOfAnOnConnectHandlerStaysInside)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    socket.OnConnect = [](TTcpSocket *) { throw std::runtime_error("handler failed"); };
    ConnectTo(socket, peer.Port());
    EXPECT_TRUE(socket.Connected);
}

TEST(SockConnect, CheckConnectionGivesTheHandlerOneChance)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    EXPECT_EQ(FailureOf([&] { socket.CheckConnection(); }), "Not Connected");

    int asked = 0;
    socket.OnConnectionRequired = [&](bool &handled) {
        ++asked;
        handled = true;
    };
    EXPECT_EQ(FailureOf([&] { socket.CheckConnection(); }), "Not Connected");
    EXPECT_EQ(asked, 1);

    socket.OnConnectionRequired = [&](bool &handled) {
        ConnectTo(socket, peer.Port());
        handled = true;
    };
    EXPECT_EQ(FailureOf([&] { socket.CheckConnection(); }), "");
}
