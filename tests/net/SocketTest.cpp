#include "platform/net/Socket.h"

#include "harness/Loopback.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/detail/SystemCallsLinux.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/NetTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace testsupport;
using testpeer::Connection;
using testpeer::Peer;

namespace {

// A selected socket and the notifications it received.
struct Watched {
    std::vector<net::Message> got;
    net::NotificationWindow window{[this](const net::Message &m) { got.push_back(m); }};
    net::Socket s = net::Socket::Open();

    explicit Watched(int number = net::Message::SocketEvent, uint16_t events = net::Notice::All)
    {
        s.Select(&window, number, events);
    }

    std::size_t Count(uint16_t event) const
    {
        return std::size_t(std::count_if(got.begin(), got.end(), [event](const net::Message &m) {
            return m.Event == event;
        }));
    }
    void ConnectTo(uint16_t port)
    {
        ASSERT_EQ(s.Connect(harness::AddressOf("127.0.0.1", port)), net::SocketError);
        ASSERT_EQ(net::GetLastError(), net::ErrorCode::WouldBlock);
    }
    std::string ReceiveAll()
    {
        std::string bytes;
        char buffer[4096];
        long n;
        while ((n = s.Recv(buffer, sizeof buffer)) > 0)
            bytes.append(buffer, std::size_t(n));
        return bytes;
    }
};

} // namespace

TEST(NetSocket, ConnectIsAnnouncedOnceAndAWritableSocketStaysQuiet)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= 2; }));
    PumpFor(100ms);

    ASSERT_EQ(w.got.size(), 2u);
    EXPECT_EQ(w.got[0].Number, net::Message::SocketEvent);
    EXPECT_EQ(w.got[0].Event, net::Notice::Connect);
    EXPECT_EQ(w.got[0].Error, 0);
    EXPECT_EQ(w.got[1].Event, net::Notice::Write);
}

TEST(NetSocket, RefusedConnectIsAnnouncedWithItsCode)
{
    Watched w;
    w.ConnectTo(testpeer::RefusedPort());
    ASSERT_TRUE(PumpUntil([&] { return !w.got.empty(); }));
    PumpFor(50ms);

    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Event, net::Notice::Connect);
    EXPECT_EQ(w.got[0].Error, 10061);
}

TEST(NetSocket, UnreadDataIsAnnouncedAgainOnlyAfterARecv)
{
    Peer peer([](Connection &c) {
        c.Send("abc");
        c.WaitClosed();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Read) == 1; }));
    PumpFor(100ms);
    EXPECT_EQ(w.Count(net::Notice::Read), 1u);

    char c;
    ASSERT_EQ(w.s.Recv(&c, 1), 1);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Read) == 2; }));
    EXPECT_EQ(w.ReceiveAll(), "bc");
}

TEST(NetSocket, DataThatCameBeforeTheCloseIsAnnouncedBeforeIt)
{
    const std::string sent(20000, 'x');
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Read) == 1; }));
    PumpFor(50ms);
    EXPECT_EQ(w.Count(net::Notice::Close), 0u) << "the close overtook unread data";

    EXPECT_EQ(w.ReceiveAll(), sent);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Close) == 1; }));
    EXPECT_EQ(w.got.back().Error, 0);
}

TEST(NetSocket, WriteIsAnnouncedAgainOnlyAfterASendThatWouldBlock)
{
    std::atomic<bool> drain{false};
    Peer peer([&](Connection &c) {
        for (int i = 0; i < 500 && !drain; ++i)
            std::this_thread::sleep_for(10ms);
        c.ReadToEnd();
    });
    Watched w;
    w.ConnectTo(peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Write) == 1; }));

    const std::string block(65536, 'y');
    while (w.s.Send(block.data(), block.size()) != net::SocketError) {
    }
    ASSERT_EQ(net::GetLastError(), net::ErrorCode::WouldBlock);
    PumpFor(50ms);
    EXPECT_EQ(w.Count(net::Notice::Write), 1u);

    drain = true;
    EXPECT_TRUE(PumpUntil([&] { return w.Count(net::Notice::Write) == 2; }));
}

TEST(NetSocket, ListeningSocketAnnouncesEachWaitingConnectionAfterTheLastAccept)
{
    Watched w(net::Message::LookupDone, net::Notice::Accept);
    sockaddr_in any = harness::AddressOf("127.0.0.1", 0);
    ASSERT_EQ(w.s.Bind(any), 0);
    ASSERT_EQ(w.s.Listen(1), 0);
    net::Address local;
    w.s.GetSockName(local);
    const int first = testpeer::ConnectFrom("127.0.0.1", local.Port());
    const int second = testpeer::ConnectFrom("127.0.0.1", local.Port());

    ASSERT_TRUE(PumpUntil([&] { return w.got.size() == 1; }));
    PumpFor(50ms);
    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Number, net::Message::LookupDone);
    EXPECT_EQ(w.got[0].Event, net::Notice::Accept);

    net::Address peer;
    const net::Socket a = w.s.Accept(peer);
    ASSERT_TRUE(a.IsOpen());
    EXPECT_EQ(peer.HostText(), "127.0.0.1");
    EXPECT_TRUE(PumpUntil([&] { return w.got.size() == 2; }));

    ::close(first);
    ::close(second);
}

namespace {

// The next Failures calls through the seam fail with Errno; then the system
// answers again. The table is put back when the test ends.
struct Injected {
    static inline int failures = 0;
    static inline int error = 0;
    static bool Fail()
    {
        if (failures == 0)
            return false;
        --failures;
        errno = error;
        return true;
    }
    Injected(int count, int errnoValue)
    {
        failures = count;
        error = errnoValue;
    }
    ~Injected() { net::RestoreSystemCalls(); }
};

ssize_t InjectedRecv(int fd, void *data, std::size_t length, int flags)
{
    return Injected::Fail() ? -1 : ::recv(fd, data, length, flags);
}
ssize_t InjectedSend(int fd, const void *data, std::size_t length, int flags)
{
    return Injected::Fail() ? -1 : ::send(fd, data, length, flags);
}
int InjectedConnect(int fd, const sockaddr *address, socklen_t length)
{
    return Injected::Fail() ? -1 : ::connect(fd, address, length);
}
int InjectedAccept(int fd, sockaddr *address, socklen_t *length, int flags)
{
    return Injected::Fail() ? -1 : ::accept4(fd, address, length, flags);
}

// A connected pair: W selected, the peer's side in C.
struct ConnectedPair {
    Peer peer;
    Watched w;
    explicit ConnectedPair(Peer::Script script) : peer(std::move(script))
    {
        w.ConnectTo(peer.Port());
        PumpUntil([&] { return w.Count(net::Notice::Connect) == 1; });
    }
};

} // namespace

TEST(NetSocket, InterruptedCallsAreRepeated)
{
    ConnectedPair pair([](Connection &c) {
        c.Send("abc");
        EXPECT_EQ(c.ReadExactly(2), "ok");
        c.WaitClosed();
    });
    ASSERT_TRUE(PumpUntil([&] { return pair.w.Count(net::Notice::Read) == 1; }));
    Injected eintr(2, EINTR);
    net::Calls().recv = InjectedRecv;
    net::Calls().send = InjectedSend;
    char buffer[8];
    EXPECT_EQ(pair.w.s.Recv(buffer, sizeof buffer), 3);
    EXPECT_EQ(pair.w.s.Send("ok", 2), 2);
    EXPECT_EQ(Injected::failures, 0);
}

TEST(NetSocket, WouldBlockIsReportedAsItsOwnCode)
{
    ConnectedPair pair([](Connection &c) { c.WaitClosed(); });
    Injected eagain(1, EAGAIN);
    net::Calls().recv = InjectedRecv;
    char byte;
    EXPECT_EQ(pair.w.s.Recv(&byte, 1), net::SocketError);
    EXPECT_EQ(net::GetLastError(), net::ErrorCode::WouldBlock);
}

TEST(NetSocket, AConnectRefusedAtOnceSpendsTheSocket)
{
    Injected refused(1, ECONNREFUSED);
    net::Calls().connect = InjectedConnect;
    net::Socket s = net::Socket::Open();
    ASSERT_TRUE(s.CanConnect());
    EXPECT_EQ(s.Connect(harness::AddressOf("127.0.0.1", 1)), net::SocketError);
    EXPECT_EQ(net::GetLastError(), 10061);
    EXPECT_FALSE(s.CanConnect());
}

TEST(NetSocket, ASocketNeverConnectedMovesNoData)
{
    net::Socket s = net::Socket::Open();
    char byte = 0;
    EXPECT_EQ(s.Send(&byte, 1), net::SocketError);
    EXPECT_EQ(net::GetLastError(), 10057);
    EXPECT_EQ(s.Recv(&byte, 1), net::SocketError);
    EXPECT_EQ(net::GetLastError(), 10057);
}

TEST(NetSocket, AnInterruptedAcceptIsRepeatedAndAnnouncesTheNextConnection)
{
    Watched w(net::Message::LookupDone, net::Notice::Accept);
    ASSERT_EQ(w.s.Bind(harness::AddressOf("127.0.0.1", 0)), 0);
    ASSERT_EQ(w.s.Listen(1), 0);
    net::Address local;
    w.s.GetSockName(local);
    Connection client(testpeer::ConnectFrom("127.0.0.1", local.Port()));
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() == 1; }));

    Injected eintr(1, EINTR);
    net::Calls().accept4 = InjectedAccept;
    net::Address peer;
    net::Socket accepted = w.s.Accept(peer);
    ASSERT_TRUE(accepted.IsOpen());
    client.Send("x");
    // Moving the owner keeps its descriptor and closes nothing.
    net::Socket moved = std::move(accepted);
    EXPECT_FALSE(accepted.IsOpen());
    char byte = 0;
    long got = 0;
    ASSERT_TRUE(PumpUntil([&] { return got == 1 || (got = moved.Recv(&byte, 1)) == 1; }));
    EXPECT_EQ(byte, 'x');
}

TEST(NetSocket, ClosingTheOwnerClosesTheConnection)
{
    bool closed = false;
    {
        ConnectedPair pair([&](Connection &c) { closed = c.WaitClosed(); });
        ASSERT_TRUE(PumpUntil([&] { return pair.w.Count(net::Notice::Write) == 1; }));
    }
    EXPECT_TRUE(closed);
}
