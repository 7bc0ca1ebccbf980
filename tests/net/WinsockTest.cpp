// Winsock's notifications in the shape the socket component expects.
#include "platform/net/HostLookup.h"
#include "platform/net/MessagePump.h"
#include "platform/net/NotificationWindow.h"
#include "platform/net/Socket.h"
#include "platform/net/SocketErrors.h"
#include "platform/net/SocketSystem.h"
#include "tests/net/PostedMessageWait.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint16_t Watched = net::Notice::Read | net::Notice::Write | net::Notice::Connect | net::Notice::Close;

struct Inbox {
    std::vector<net::Message> got;
    std::function<void(const net::Message &)> also = [](const net::Message &) {};
    net::NotificationWindow window{[this](const net::Message &m) {
        got.push_back(m);
        also(m);
    }};

    bool Has(uint16_t event) const
    {
        for (const net::Message &m : got)
            if (m.Event == event)
                return true;
        return false;
    }
};

void PumpUntil(const std::function<bool()> &done)
{
    while (!done())
        net::WaitForMessages();
}

// A listening socket on a port of loopback's own choosing.
net::Socket Listening(uint16_t &port)
{
    net::Socket s = net::Socket::Open();
    EXPECT_EQ(s.Bind(*net::Address::FromLiteral("127.0.0.1")), 0);
    EXPECT_EQ(s.Listen(1), 0);
    net::Address bound;
    EXPECT_EQ(s.GetSockName(bound), 0);
    port = bound.Port();
    return s;
}

void StartConnect(net::Socket &s, uint16_t port)
{
    ASSERT_EQ(s.Connect(*net::Address::FromLiteral("127.0.0.1", port)), net::SocketError);
    ASSERT_EQ(net::GetLastError(), net::ErrorCode::WouldBlock);
}

class NetWinsock : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(net::Startup().Version, 0); }
};

} // namespace

TEST_F(NetWinsock, RefusedPortGivesConnectErrorWithItsText)
{
    uint16_t port = 0;
    Listening(port).Close();
    Inbox inbox;
    net::Socket s = net::Socket::Open();
    ASSERT_EQ(s.Select(&inbox.window, net::Message::SocketEvent, Watched), 0);
    StartConnect(s, port);
    PumpUntil([&] { return inbox.Has(net::Notice::Connect); });
    net::ProcessMessages();

    ASSERT_EQ(inbox.got.size(), 1u);
    EXPECT_EQ(inbox.got[0].Error, 10061);
    EXPECT_EQ(inbox.got[0].Source, s.Id());
    EXPECT_EQ(std::to_string(inbox.got[0].Error) + ":" + std::string(net::ErrorText(inbox.got[0].Error)),
              "10061:Connection refused");
}

TEST_F(NetWinsock, EventsComeInOrderAndTheCloseAfterTheData)
{
    uint16_t port = 0;
    net::Socket listener = Listening(port);
    Inbox inbox;
    net::Socket s = net::Socket::Open();
    std::string received, receivedAtClose;
    // One byte per notification: the peer's close is there long before its data is read.
    inbox.also = [&](const net::Message &m) {
        char byte;
        if (m.Event == net::Notice::Read && s.Recv(&byte, 1) == 1)
            received += byte;
        if (m.Event == net::Notice::Close)
            receivedAtClose = received;
    };
    ASSERT_EQ(s.Select(&inbox.window, net::Message::SocketEvent, Watched), 0);
    StartConnect(s, port);
    PumpUntil([&] { return inbox.Has(net::Notice::Write); });
    net::Address peerAddress;
    net::Socket peer = listener.Accept(peerAddress);
    ASSERT_TRUE(peer.IsOpen());
    ASSERT_EQ(peer.Send("abc", 3), 3);
    ASSERT_EQ(peer.Close(), 0);
    PumpUntil([&] { return inbox.Has(net::Notice::Close); });
    net::ProcessMessages();

    std::string order;
    for (const net::Message &m : inbox.got)
        order += m.Event == net::Notice::Connect ? 'C'
                 : m.Event == net::Notice::Write ? 'W'
                 : m.Event == net::Notice::Read  ? 'R'
                                                 : 'X';
    EXPECT_EQ(order, "CWRRRX");
    EXPECT_EQ(receivedAtClose, "abc");
    EXPECT_EQ(inbox.got.back().Error, 0);
}

// Winsock re-enables FD_READ with every recv: a run of reads must bring one
// FD_READ more, not one per read, or every round of the event loop would be
// longer than the last while data streams in.
TEST_F(NetWinsock, ARunOfReadsBringsOneReadNoticeMore)
{
    uint16_t port = 0;
    net::Socket listener = Listening(port);
    Inbox inbox;
    net::Socket s = net::Socket::Open();
    int reads = 0;
    inbox.also = [&](const net::Message &m) {
        char some[100];
        if (m.Event == net::Notice::Read && ++reads == 1) {
            for (int i = 0; i < 10; ++i)
                ASSERT_EQ(s.Recv(some, sizeof some), long(sizeof some));
        }
    };
    ASSERT_EQ(s.Select(&inbox.window, net::Message::SocketEvent, Watched), 0);
    StartConnect(s, port);
    PumpUntil([&] { return inbox.Has(net::Notice::Write); });
    net::Address peerAddress;
    net::Socket peer = listener.Accept(peerAddress);
    ASSERT_EQ(peer.Send(std::string(4096, 'r').data(), 4096), 4096);
    PumpUntil([&] { return reads > 0; });
    // Whatever Winsock posts for the reads comes within the time.
    ASSERT_TRUE(inbox.window.SetTimer(100));
    PumpUntil([&] { return inbox.got.back().Number == net::Message::Timer; });

    EXPECT_EQ(reads, 2);
}

TEST_F(NetWinsock, AcceptedSocketIsWritableOnceSelected)
{
    uint16_t port = 0;
    net::Socket listener = Listening(port);
    Inbox listening, accepted;
    ASSERT_EQ(listener.Select(&listening.window, net::Message::SocketEvent, net::Notice::Accept), 0);
    net::Socket client = net::Socket::Open();
    StartConnect(client, port);
    PumpUntil([&] { return listening.Has(net::Notice::Accept); });
    net::Address peerAddress;
    net::Socket peer = listener.Accept(peerAddress);
    ASSERT_TRUE(peer.IsOpen());
    ASSERT_EQ(peer.Select(&accepted.window, net::Message::SocketEvent, Watched), 0);
    PumpUntil([&] { return accepted.Has(net::Notice::Write); });
    net::ProcessMessages();

    ASSERT_EQ(accepted.got.size(), 1u);
    EXPECT_EQ(accepted.got[0].Source, peer.Id());
    ASSERT_EQ(listening.got.size(), 1u);
    EXPECT_EQ(listening.got[0].Source, listener.Id());
}

TEST_F(NetWinsock, StaleNotificationOfAClosedSocketNeverReachesItsSuccessor)
{
    uint16_t port = 0;
    net::Socket listener = Listening(port);
    Inbox inbox;
    net::Socket old = net::Socket::Open();
    ASSERT_EQ(old.Select(&inbox.window, net::Message::SocketEvent, Watched), 0);
    StartConnect(old, port);
    PumpUntil([&] { return inbox.Has(net::Notice::Write); });
    net::ProcessMessages();

    // The connection, never accepted, is reset with its listener; the close
    // is queued for the old socket when it is closed.
    listener.Close();
    testsupport::WaitUntilPosted();
    old.Close();
    inbox.got.clear();

    net::Socket next = net::Socket::Open();
    ASSERT_EQ(next.Select(&inbox.window, net::Message::SocketEvent, Watched), 0);
    uint16_t nextPort = 0;
    net::Socket nextListener = Listening(nextPort);
    StartConnect(next, nextPort);
    PumpUntil([&] { return inbox.Has(net::Notice::Write); });

    for (const net::Message &m : inbox.got) {
        EXPECT_EQ(m.Source, next.Id());
        EXPECT_NE(m.Event, net::Notice::Close);
    }
}

TEST_F(NetWinsock, LookupGivenUpDisturbsNothing)
{
    auto gone = std::make_unique<Inbox>();
    Inbox kept;
    net::ProcessMessages();
    net::AsyncGetHostByName("127.0.0.1", &gone->window, 1);
    // Its answer is on its way back when the asker goes.
    testsupport::WaitUntilPosted();
    gone.reset();
    net::AsyncGetHostByName("localhost", &kept.window, 2);
    PumpUntil([&] { return !kept.got.empty(); });
    net::ProcessMessages();

    ASSERT_EQ(kept.got.size(), 1u);
    EXPECT_EQ(kept.got[0].Tag, 2u);
    EXPECT_EQ(kept.got[0].Error, 0);
    EXPECT_FALSE(kept.got[0].Addresses.empty());
}
