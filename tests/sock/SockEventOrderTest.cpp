// Events reach the component in the order they happened, nothing is held back
// once it can be delivered, and a failed attempt leaves nothing behind for the
// next one.
#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

// Waits (bounded) in the peer's thread until Flag is set.
void AwaitFlag(const std::atomic<bool> &flag)
{
    for (int i = 0; i < 500 && !flag; ++i)
        std::this_thread::sleep_for(10ms);
}

// The component with its notification object in reach: what a socket posted
// is put in the queue and handled in order with everything before it.
class QueueingSocket : public TestSocket {
public:
    void Deliver(const net::Message &msg)
    {
        SocketWindow->Post(msg);
        testsupport::DeliverPosted();
    }
};

} // namespace

TEST(EventOrder, DataThatCameWithTheCloseArrivesBeforeTheDisconnect)
{
    Peer peer([](Connection &c) {
        c.Send("426 Failure writing network stream.\r\n");
        c.Close();
    });
    TestSocket socket;
    std::vector<std::string> events;
    socket.OnDataArrived = [&](TTcpSocket *) { events.push_back("data: " + std::string(socket.Buffered())); };
    socket.OnDisconnect = [&](TTcpSocket *) { events.push_back("disconnect"); };
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return !socket.Connected; }));
    EXPECT_EQ(events, (std::vector<std::string>{"data: 426 Failure writing network stream.\r\n", "disconnect"}));
}

TEST(EventOrder, ARefusedConnectLeavesTheNextAttemptClean)
{
    Peer live([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    std::vector<uint16_t> errors;
    socket.OnError = [&](TTcpSocket *, uint16_t code, const std::string &) { errors.push_back(code); };
    EXPECT_EQ(FailureOf([&] { ConnectTo(socket, testpeer::RefusedPort()); }), "Connection Failed");
    EXPECT_EQ(socket.LastError, 10061);

    EXPECT_EQ(FailureOf([&] { ConnectTo(socket, live.Port()); }), "");
    EXPECT_TRUE(socket.Connected);
    EXPECT_TRUE(errors.empty());
}

TEST(EventOrder, ReadingResumesAsSoonAsAReadMakesRoom)
{
    // Far more lines than the buffer holds, then the close.
    std::string lines;
    for (int i = 0; lines.size() < 1'700'000; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    std::atomic<bool> asked{false};
    Peer peer([&](Connection &c) {
        c.Send(lines.substr(0, 1'000'000));
        EXPECT_EQ(c.ReadLine(), "more\r\n");
        asked = true;
        c.Send(lines.substr(1'000'000));
        c.Close();
    });
    TestSocket socket;
    bool disconnected = false;
    socket.OnDisconnect = [&](TTcpSocket *) { disconnected = true; };
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return socket.Buffered().size() >= SockConst::MaxBuffered; }));
    socket.Writeln("more");
    auto giveUp = CancelAfter(socket, 5s); // a stalled read fails instead of hanging

    std::string taken;
    while (taken.size() < lines.size())
        taken += socket.ReadLn();
    EXPECT_TRUE(taken == lines) << "lines lost or reordered";
    EXPECT_TRUE(PumpUntil([&] { return disconnected; })) << "the close behind the data was never seen";
}

TEST(EventOrder, ACloseDuringACancelIsSeenOnceTheCancelIsCleared)
{
    std::atomic<bool> cleared{false};
    Peer peer([&](Connection &c) {
        std::this_thread::sleep_for(100ms);
        c.Send("late\r\n"); // arrives while the cancel is in force
        AwaitFlag(cleared);
        c.Close();
    });
    TestSocket socket;
    bool disconnected = false;
    socket.OnDisconnect = [&](TTcpSocket *) { disconnected = true; };
    ConnectTo(socket, peer.Port());
    auto cancel = CancelAfter(socket, 20ms);
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Socket readln aborted");
    PumpFor(200ms);
    // The next operation takes the cancel back, as a read's abort error does.
    EXPECT_EQ(FailureOf([&] { socket.Read(0); }), "Socket send aborted");
    cleared = true;

    // No operation of the component waits here: the window just idles.
    EXPECT_TRUE(PumpUntil([&] { return disconnected; }));
    EXPECT_EQ(socket.Buffered(), "late\r\n");
}

TEST(EventOrder, AFailingOnHostResolvedHandlerDoesNotStopTheConnect)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    testsupport::FakeResolver resolver(true, {*net::Address::FromLiteral("127.0.0.1")}, 0);
    TestSocket socket;
    socket.OnHostResolved = [](TTcpSocket *) { throw ESockError("handler failed"); };
    socket.Host = "server.example";
    socket.Port = peer.Port();
    socket.TimeOut = 5000;
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "");
    EXPECT_TRUE(socket.Connected);
}

TEST(EventOrder, AcceptLeavesEventArrivedSet)
{
    TestSocket socket;
    socket.Listen(true);
    Connection client(testpeer::ConnectFrom("127.0.0.1", BoundPort(socket.SocketHandle)));
    const net::Socket accepted = socket.Accept();
    EXPECT_TRUE(accepted.IsOpen());
    EXPECT_TRUE(socket.EventArrived);
}

// Under wine a peer's close can come in the same round as the connect's
// completion; the connect still counts as made.
TEST(EventOrder, ACloseHandledWithTheConnectLeavesTheConnectMade)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    QueueingSocket socket;
    socket.OnConnect = [&](TTcpSocket *) {
        socket.Deliver(net::Message{net::Message::SocketEvent, net::Notice::Close, 0, 0, socket.SocketHandle.Id()});
    };
    EXPECT_EQ(FailureOf([&] { ConnectTo(socket, peer.Port()); }), "");
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Connection closed by the peer");
}

TEST(EventOrder, UsingASocketThatWasNeverConnectedFailsAsTheSystemSays)
{
    TestSocket socket;
    std::vector<uint16_t> errors;
    socket.OnError = [&](TTcpSocket *, uint16_t code, const std::string &) { errors.push_back(code); };
    EXPECT_EQ(FailureOf([&] { socket.Writeln("NOOP"); }), "10057:Socket is not connected");
    EXPECT_EQ(FailureOf([&] { socket.Read(1); }), "10057:Socket is not connected");
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "10057:Socket is not connected");
    EXPECT_EQ(errors, (std::vector<uint16_t>{10057, 10057, 10057}));

    Peer peer([](Connection &c) { c.Close(); });
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return !socket.Connected; }));
    errors.clear();
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Connection closed by the peer");
    EXPECT_EQ(FailureOf([&] { socket.Writeln("NOOP"); }), "Connection closed by the peer");
    EXPECT_TRUE(errors.empty());
}

// The queue still holds what the old socket raised when the component closes
// it and opens another; none of it is the new connection's.
TEST(EventOrder, EventsOfAReplacedSocketLeaveItsSuccessorAlone)
{
    Peer first([](Connection &c) { c.WaitClosed(); });
    Peer second([](Connection &c) { c.WaitClosed(); });
    QueueingSocket socket;
    ConnectTo(socket, first.Port());
    const uint64_t replaced = socket.SocketHandle.Id();
    socket.Disconnect();
    ConnectTo(socket, second.Port());
    std::vector<std::string> events;
    socket.OnConnect = [&](TTcpSocket *) { events.push_back("connect"); };
    socket.OnDisconnect = [&](TTcpSocket *) { events.push_back("disconnect"); };

    socket.Deliver(net::Message{net::Message::SocketEvent, net::Notice::Connect, 0, 0, replaced});
    socket.Deliver(net::Message{net::Message::SocketEvent, net::Notice::Close, 0, 0, replaced});
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(socket.Connected);
}

// A read request the component queued for itself (bytes TLS holds, room made
// in the buffer) may be delivered after the peer's close has replaced the
// socket: there is nothing left to read, and nothing failed.
TEST(EventOrder, AReadRequestQueuedBeforeTheCloseFindsNothingBroken)
{
    Peer peer([](Connection &c) {
        c.Send("x");
        c.Close();
    });
    QueueingSocket socket;
    std::vector<uint16_t> errors;
    socket.OnError = [&](TTcpSocket *, uint16_t code, const std::string &) { errors.push_back(code); };
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(PumpUntil([&] { return !socket.Connected; }));

    socket.Deliver(net::Message{net::Message::ReadRequest});
    EXPECT_TRUE(errors.empty());
}
