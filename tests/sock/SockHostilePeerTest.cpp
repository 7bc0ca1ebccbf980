// Peers that send more than any line protocol needs: the socket holds a
// bounded amount in memory, refuses an endless line with a clear error, and
// loses nothing of what it does take.
#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;

namespace {

// The most the socket ever held, noted after each received block.
std::size_t &WatchPeak(TestSocket &socket, std::size_t &peak)
{
    socket.OnDataArrived = [&](TTcpSocket *) { peak = std::max(peak, socket.Buffered().size()); };
    return peak;
}

TEST(HostilePeer, LineWithoutEndIsRefusedWithinBoundedMemory)
{
    Peer peer([](Connection &c) {
        c.Send("220 " + Pattern(1 << 20));
        c.WaitClosed();
    });
    TestSocket socket;
    std::size_t peak = 0;
    WatchPeak(socket, peak);
    bool disconnected = false;
    socket.OnDisconnect = [&](TTcpSocket *) { disconnected = true; };
    ConnectTo(socket, peer.Port());

    EXPECT_EQ(FailureOf([&] { socket.ReadLn(); }), "Line too long: no line end within 65536 bytes");
    EXPECT_LT(peak, SockConst::MaxBuffered + SockConst::BlockSize);
    EXPECT_TRUE(disconnected) << "what follows such a line cannot be read either";
    EXPECT_FALSE(socket.Connected);
    EXPECT_TRUE(socket.Buffered().empty());
}

TEST(HostilePeer, LongestLineThatFitsIsTaken)
{
    const std::string longest = Pattern(SockConst::MaxLineLength - 2) + "\r\n";
    Peer peer([&](Connection &c) {
        c.Send(longest + "next\r\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(socket.ReadLn(), longest);
    EXPECT_EQ(socket.ReadLn(), "next\r\n");
}

TEST(HostilePeer, FloodWhileNobodyReadsIsHeldBackAndThenDeliveredWhole)
{
    const std::string flood = Pattern(2 << 20);
    Peer peer([&](Connection &c) {
        c.Send(flood);
        c.WaitClosed();
    });
    TestSocket socket;
    std::size_t peak = 0;
    WatchPeak(socket, peak);
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return socket.Buffered().size() >= SockConst::MaxBuffered; }));
    testsupport::PumpFor(200ms);  // the event loop runs on with no one reading
    EXPECT_LT(peak, SockConst::MaxBuffered + SockConst::BlockSize);

    std::string taken;
    while (taken.size() < flood.size())
        taken += socket.Read(static_cast<uint16_t>(std::min<std::size_t>(flood.size() - taken.size(), 65535)));
    EXPECT_TRUE(taken == flood) << "every byte arrives, in order";
}

} // namespace
