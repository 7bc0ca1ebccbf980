#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using testsupport::ProcessCpuSeconds;

TEST(SockIo, TransactionWithAGreetingEchoingPeer)
{
    Peer peer([](Connection &c) {
        c.Send("220 Ready\r\n");
        for (std::string line = c.ReadLine(); !line.empty(); line = c.ReadLine())
            c.Send(line == "PWD\r\n" ? "257 \"/\" is current\r\n" : line == "BIG\r\n" ? "99999 x\r\n" : " no number\r\n");
    });
    TestSocket socket;
    std::vector<std::string> status;
    RecordStatus(socket, status);
    socket.ReportLevel = 1;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(socket.ReadLn(), "220 Ready\r\n");

    EXPECT_EQ(socket.Transaction("PWD"), "257 \"/\" is current\r\n");
    EXPECT_EQ(socket.ReplyNumber, 257);
    EXPECT_EQ(socket.LastReply, "257 \"/\" is current\r\n");
    EXPECT_EQ(status, std::vector<std::string>{"257 \"/\" is current\r\n"});

    EXPECT_EQ(socket.Transaction("NOOP"), " no number\r\n");
    EXPECT_EQ(socket.ReplyNumber, 0);
    EXPECT_EQ(FailureOf([&] { socket.Transaction("BIG"); }), "Range check error");
}

TEST(SockIo, LinesAndCountedReadsTakeExactlyWhatTheyAskFor)
{
    std::atomic<bool> third{false};
    Peer peer([&](Connection &c) {
        c.Send("one\r\ntwo\nab");
        for (int i = 0; i < 500 && !third; ++i)
            std::this_thread::sleep_for(10ms);
        c.Send("cdefg");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(socket.ReadLn(), "one\r\n");
    EXPECT_EQ(socket.ReadLn(), "two\n");
    EXPECT_EQ(socket.Read(0), "ab");
    EXPECT_EQ(socket.Read(0), "");

    third = true;
    EXPECT_EQ(socket.Read(3), "cde");
    EXPECT_EQ(socket.Buffered(), "fg");
    EXPECT_EQ(socket.Read(0), "fg");
}

// The first socket of a component resets its connection when closed, which
// drops what the peer has not read yet; so the peers below confirm receipt.
TEST(SockIo, WritelnSendsTheTextAndCrLf)
{
    std::string received;
    Peer peer([&](Connection &c) {
        received = c.ReadExactly(8);
        c.Send("ok\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    socket.Writeln("QUIT");
    socket.Write(std::string("AB\0CD", 5));
    socket.Write("");
    EXPECT_EQ(socket.ReadLn(), "ok\n");
    EXPECT_EQ(received, "QUIT\r\nAB");
}

TEST(SockIo, TextLongerThanTheSendLimitIsRefusedWhole)
{
    std::string received;
    Peer peer([&](Connection &c) {
        received = c.ReadExactly(16384);
        c.Send("ok\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(FailureOf([&] { socket.Write(std::string(16385, 'a')); }),
              "Text too long to send: 16385 bytes, at most 16384");
    EXPECT_EQ(FailureOf([&] { socket.Writeln(std::string(16383, 'b')); }),
              "Text too long to send: 16385 bytes, at most 16384");
    socket.Write(std::string(16384, 'c'));
    EXPECT_EQ(socket.ReadLn(), "ok\n");
    EXPECT_TRUE(received == std::string(16384, 'c'));
}

TEST(SockIo, LargeBufferLeavesInBlocksAndCountsEveryByte)
{
    std::string received;
    std::string sent(40000, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = char('a' + i % 26);
    Peer peer([&](Connection &c) {
        received = c.ReadExactly(40000);
        c.Send("ok\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    std::vector<int64_t> blocks;
    int64_t last = socket.BytesSent();
    socket.PacketEvents = true;
    socket.OnPacketSent = [&](TTcpSocket *s) {
        blocks.push_back(s->BytesSent() - last);
        last = s->BytesSent();
    };
    socket.SendBuffer(sent.data(), 40000);
    EXPECT_EQ(blocks, (std::vector<int64_t>{16383, 16383, 7234}));
    EXPECT_EQ(socket.BytesSent(), 40000);
    EXPECT_TRUE(socket.WriteComplete);
    EXPECT_EQ(socket.ReadLn(), "ok\n");
    EXPECT_TRUE(received == sent);
}

TEST(SockIo, SendThatWouldBlockGoesOnWhenThePeerReads)
{
    std::atomic<bool> drain{false};
    std::string received;
    std::string sent;
    for (char c = 'a'; c <= 'z'; ++c)
        sent += std::string(60000, c);
    {
        Peer peer([&](Connection &c) {
            for (int i = 0; i < 500 && !drain; ++i)
                std::this_thread::sleep_for(10ms);
            received = c.ReadExactly(sent.size());
            c.Send("ok\n");
            c.WaitClosed();
        });
        TestSocket socket;
        ConnectTo(socket, peer.Port());
        testpeer::SetSendBuffer(socket.SocketHandle.Descriptor(), 4096);
        const testsupport::LoopTimer drainLater(100ms, false, [&] { drain = true; });
        for (std::size_t at = 0; at < sent.size(); at += 60000)
            socket.SendBuffer(sent.data() + at, 60000);
        EXPECT_EQ(socket.BytesSent(), int64_t(sent.size()));
        drain = true;
        EXPECT_EQ(socket.ReadLn(), "ok\n");
    }
    EXPECT_TRUE(received == sent);
}

TEST(SockIo, CancelEndsEveryWaitWithItsOwnText)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    ConnectTo(socket, peer.Port());

    // Read and SendBuffer take the cancel back as they fail; ReadLn leaves it
    // for the caller, so it comes last.
    auto cancel2 = CancelAfter(socket, 50ms);
    EXPECT_EQ(FailureOf([&] { socket.Read(1); }), "Socket send aborted");
    EXPECT_FALSE(socket.IsCanceled());

    // The peer does not read, so a large enough send cannot complete.
    testpeer::SetSendBuffer(socket.SocketHandle.Descriptor(), 4096);
    const std::string block(65535, 's');
    auto cancel3 = CancelAfter(socket, 100ms);
    EXPECT_EQ(FailureOf([&] {
                  for (int i = 0; i < 1000; ++i)
                      socket.SendBuffer(block.data(), uint16_t(block.size()));
              }),
              "Socket send aborted");
    EXPECT_FALSE(socket.IsCanceled());

    auto cancel1 = CancelAfter(socket, 50ms);
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Socket readln aborted");
    EXPECT_TRUE(socket.IsCanceled());
    socket.SendBuffer("x", 1); // nothing queued, nothing raised
    EXPECT_TRUE(socket.IsCanceled());
}

TEST(SockIo, DataAfterAClearedCancelIsServed)
{
    std::atomic<bool> answer{false};
    Peer peer([&](Connection &c) {
        for (int i = 0; i < 500 && !answer; ++i)
            std::this_thread::sleep_for(10ms);
        c.Send("221 Bye\r\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    auto cancel4 = CancelAfter(socket, 50ms);
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Socket readln aborted");

    // A block read while the cancel is in force holds the notifications back;
    // the answer arrives after that.
    socket.ReadToStream();
    answer = true;
    // The next operation takes the cancel back, as a read's abort error does.
    EXPECT_EQ(FailureOf([&] { socket.Read(0); }), "Socket send aborted");
    EXPECT_EQ(socket.ReadLn(), "221 Bye\r\n");
}

TEST(SockIo, PeerCloseDrainsEverythingBeforeTheDisconnect)
{
    const std::string sent(20000, 'q');
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
    });
    TestSocket socket;
    std::size_t bufferedAtDisconnect = 0;
    socket.OnDisconnect = [&](TTcpSocket *) { bufferedAtDisconnect = socket.Buffered().size(); };
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !socket.Connected; }));

    EXPECT_EQ(bufferedAtDisconnect, sent.size());
    EXPECT_TRUE(socket.Read(0) == sent);
}

TEST(SockIo, WaitingOnASilentPeerCostsNoCpu)
{
    Peer peer([](Connection &c) { c.WaitClosed(); });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    auto cancel5 = CancelAfter(socket, 1000ms);
    const double before = ProcessCpuSeconds();
    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Socket readln aborted");
    EXPECT_LT(ProcessCpuSeconds() - before, 0.25);
}

TEST(SockIo, NthWordSplitsAtEverySeparator)
{
    EXPECT_EQ(TestSocket::NthWord("RETR file.txt", ' ', 1), "RETR");
    EXPECT_EQ(TestSocket::NthWord("RETR file.txt", ' ', 2), "file.txt");
    EXPECT_EQ(TestSocket::NthWord("a  b", ' ', 2), "");
    EXPECT_EQ(TestSocket::NthWord("a  b", ' ', 3), "b");
    EXPECT_EQ(TestSocket::NthWord("a b", ' ', 3), "");
    EXPECT_EQ(TestSocket::NthWord("", ' ', 1), "");
    EXPECT_EQ(TestSocket::NthWord("a,b", ',', 0), "");
}
