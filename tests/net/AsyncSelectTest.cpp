#include "platform/net/AsyncSelect.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/Sockets.h"
#include "tests/net/LoopbackPeer.h"
#include "tests/net/NetTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace testsupport;
using testpeer::Connection;
using testpeer::Peer;

namespace {

sockaddr_in Loopback(uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A selected socket and the notifications it received.
struct Watched {
    std::vector<net::Message> got;
    net::NotificationWindow window{[this](const net::Message &m) { got.push_back(m); }};
    int s = net::Socket();

    explicit Watched(int number = net::WM_SOCKETEVENT, uint16_t events = net::FD_ALL_EVENTS)
    {
        net::AsyncSelect(s, &window, number, events);
    }
    ~Watched() { net::CloseSocket(s); }

    std::size_t Count(uint16_t event) const
    {
        return std::size_t(std::count_if(got.begin(), got.end(), [event](const net::Message &m) {
            return m.Event == event;
        }));
    }
    void ConnectTo(uint16_t port)
    {
        ASSERT_EQ(net::Connect(s, Loopback(port)), net::SocketError);
        ASSERT_EQ(net::GetLastError(), net::WSAEWOULDBLOCK);
    }
    std::string ReceiveAll()
    {
        std::string bytes;
        char buffer[4096];
        long n;
        while ((n = net::Recv(s, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, std::size_t(n));
        return bytes;
    }
};

// Waits (bounded) until data can be read on S without taking it.
bool DataWaits(int s)
{
    pollfd p{s, POLLIN, 5000};
    return ::poll(&p, 1, 5000) > 0;
}

} // namespace

TEST(NetAsyncSelect, ConnectIsAnnouncedOnceAndAWritableSocketStaysQuiet)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= 2; }));
    PumpFor(100ms);

    ASSERT_EQ(w.got.size(), 2u);
    EXPECT_EQ(w.got[0].Number, net::WM_SOCKETEVENT);
    EXPECT_EQ(w.got[0].Event, net::FD_CONNECT);
    EXPECT_EQ(w.got[0].Error, 0);
    EXPECT_EQ(w.got[1].Event, net::FD_WRITE);
}

TEST(NetAsyncSelect, RefusedConnectIsAnnouncedWithItsCode)
{
    Watched w;
    w.ConnectTo(testpeer::RefusedPort());
    ASSERT_TRUE(PumpUntil([&] { return !w.got.empty(); }));
    PumpFor(50ms);

    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Event, net::FD_CONNECT);
    EXPECT_EQ(w.got[0].Error, 10061);
}

TEST(NetAsyncSelect, UnreadDataIsAnnouncedAgainOnlyAfterARecv)
{
    Peer peer([](Connection &c) {
        c.Send("abc");
        c.WaitClosed();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::FD_READ) == 1; }));
    PumpFor(100ms);
    EXPECT_EQ(w.Count(net::FD_READ), 1u);

    char c;
    ASSERT_EQ(net::Recv(w.s, &c, 1), 1);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::FD_READ) == 2; }));
    EXPECT_EQ(w.ReceiveAll(), "bc");
}

TEST(NetAsyncSelect, CloseIsAnnouncedWhileDataIsStillUnread)
{
    const std::string sent(20000, 'x');
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::FD_CLOSE) == 1; }));

    EXPECT_EQ(w.got.back().Error, 0);
    EXPECT_EQ(w.ReceiveAll(), sent);
}

TEST(NetAsyncSelect, SuspendedSocketAnnouncesNothingUntilResumed)
{
    Peer peer([](Connection &c) {
        c.ReadLine();
        c.Send("x");
        c.WaitClosed();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::FD_WRITE) == 1; }));

    net::SuspendNotifications(w.s);
    EXPECT_TRUE(net::NotificationsSuspended(w.s));
    ASSERT_EQ(net::Send(w.s, "go\n", 3), 3);
    ASSERT_TRUE(DataWaits(w.s));
    PumpFor(50ms);
    EXPECT_EQ(w.Count(net::FD_READ), 0u);

    net::ResumeNotifications(w.s);
    EXPECT_TRUE(PumpUntil([&] { return w.Count(net::FD_READ) == 1; }));
}

TEST(NetAsyncSelect, WriteIsAnnouncedAgainOnlyAfterASendThatWouldBlock)
{
    std::atomic<bool> drain{false};
    Peer peer([&](Connection &c) {
        for (int i = 0; i < 500 && !drain; ++i)
            std::this_thread::sleep_for(10ms);
        c.ReadToEnd();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::FD_WRITE) == 1; }));

    const std::string block(65536, 'y');
    while (net::Send(w.s, block.data(), block.size()) != net::SocketError) {
    }
    ASSERT_EQ(net::GetLastError(), net::WSAEWOULDBLOCK);
    PumpFor(50ms);
    EXPECT_EQ(w.Count(net::FD_WRITE), 1u);

    drain = true;
    EXPECT_TRUE(PumpUntil([&] { return w.Count(net::FD_WRITE) == 2; }));
}

TEST(NetAsyncSelect, ListeningSocketAnnouncesEachWaitingConnectionAfterTheLastAccept)
{
    Watched w(net::WM_LOOKUPDONE, net::FD_ACCEPT);
    sockaddr_in any = Loopback(0);
    ASSERT_EQ(net::Bind(w.s, any), 0);
    ASSERT_EQ(net::Listen(w.s, 1), 0);
    sockaddr_in local{};
    net::GetSockName(w.s, local);
    const int first = testpeer::ConnectFrom("127.0.0.1", ntohs(local.sin_port));
    const int second = testpeer::ConnectFrom("127.0.0.1", ntohs(local.sin_port));

    ASSERT_TRUE(PumpUntil([&] { return w.got.size() == 1; }));
    PumpFor(50ms);
    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Number, net::WM_LOOKUPDONE);
    EXPECT_EQ(w.got[0].Event, net::FD_ACCEPT);

    sockaddr_in peer{};
    const int a = net::Accept(w.s, peer);
    ASSERT_NE(a, net::SocketError);
    EXPECT_EQ(peer.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_TRUE(PumpUntil([&] { return w.got.size() == 2; }));

    net::CloseSocket(a);
    ::close(first);
    ::close(second);
}
