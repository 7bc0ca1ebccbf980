#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using testsupport::ProcessCpuSeconds;

namespace {

// A component listening on a system-chosen port, as a data connection does.
std::unique_ptr<TestSocket> Listening()
{
    auto socket = std::make_unique<TestSocket>();
    socket->Port = 0;
    socket->Listen(true);
    return socket;
}

uint16_t PortOf(TTcpSocket &socket)
{
    const std::string text = socket.GetLocalPort();
    unsigned high = 0, low = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), ",%u,%u", &high, &low), 2) << text;
    return uint16_t(high * 256 + low);
}

} // namespace

TEST(SockListen, PortArgumentSpellsTheChosenPort)
{
    auto socket = Listening();
    const uint16_t port = PortOf(*socket);
    EXPECT_EQ(port, BoundPort(socket->SocketHandle));
    EXPECT_NE(port, 0);
    // Appended piece by piece: concatenating temporaries trips a false
    // -Wrestrict alarm of GCC 12 in optimised builds.
    std::string expected = ",";
    expected += std::to_string(port / 256);
    expected += ",";
    expected += std::to_string(port % 256);
    EXPECT_EQ(socket->GetLocalPort(), expected);
}

TEST(SockListen, LocalAddressOfAConnectionUsesCommas)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(socket.GetLocalAddress(), "127,0,0,1");
}

TEST(SockListen, PortOutsideItsRangeIsRefused)
{
    TestSocket socket;
    socket.Port = 70000;
    EXPECT_EQ(FailureOf([&] { socket.Listen(true); }), "Port 70000 outside 0 to 65535");
}

TEST(SockListen, AcceptTakesOnlyTheRequiredPeer)
{
    auto socket = Listening();
    const uint16_t port = PortOf(*socket);
    Connection strangerSide(testpeer::ConnectFrom("127.0.0.3", port));
    const Connection expected(testpeer::ConnectFrom("127.0.0.1", port));

    const net::Socket accepted = socket->AcceptFrom("127.0.0.1");
    EXPECT_EQ(socket->RemoteAddress.HostText(), "127.0.0.1");
    net::Address peer;
    accepted.GetPeerName(peer);
    EXPECT_EQ(expected.LocalPort(), peer.Port());
    // The stranger's connection was closed at once.
    EXPECT_TRUE(strangerSide.WaitClosed());

    EXPECT_EQ(FailureOf([&] { socket->AcceptFrom("not an address"); }),
              "Not an IP address: not an address");
}

TEST(SockListen, AcceptedSocketCarriesTheDataConnection)
{
    auto socket = Listening();
    const uint16_t port = PortOf(*socket);
    Connection sender(testpeer::ConnectFrom("127.0.0.1", port));

    socket->UseAcceptedSocket(socket->Accept());
    sender.Send("line one\r\n");
    EXPECT_EQ(socket->ReadLn(), "line one\r\n");
    socket->Writeln("ack");
    EXPECT_EQ(sender.ReadLine(), "ack\r\n");
}

TEST(SockListen, CancelEndsAnAcceptThatNoPeerAnswers)
{
    auto socket = Listening();
    auto cancel = CancelAfter(*socket, 1000ms);
    const double before = ProcessCpuSeconds();
    EXPECT_EQ(FailureOf([&] { socket->Accept(); }), "Accepting Canceled");
    EXPECT_LT(ProcessCpuSeconds() - before, 0.25);
    EXPECT_TRUE(socket->IsCanceled());
}

TEST(SockListen, CancelDuringTheAcceptStepAborts)
{
    auto socket = Listening();
    Connection client(testpeer::ConnectFrom("127.0.0.1", PortOf(*socket)));
    socket->ReportLevel = 4;
    socket->OnStatus = [](TTcpSocket *s, const std::string &status) {
        if (status == "Accepting")
            s->Cancel();
    };
    EXPECT_EQ(FailureOf([&] { socket->Accept(); }), "Socket send aborted");
    EXPECT_FALSE(socket->IsCanceled());
    EXPECT_TRUE(client.WaitClosed());
}
