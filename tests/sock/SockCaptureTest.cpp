#include "platform/files/WriteBack.h"
#include "tests/sock/SockTestSupport.h"
#include "tests/support/SpliceFailing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using ::testing::AllOf;
using ::testing::Each;
using ::testing::Gt;
using ::testing::Le;

namespace {

// A file name of its own for every test, removed afterwards.
class SockCapture : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    std::string Contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    const std::string path = ::testing::TempDir() + "capture_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(::getpid());
};

} // namespace

TEST_F(SockCapture, CaptureKeepsEveryByteAndCountsIt)
{
    const std::string sent = Pattern(70000);
    std::atomic<bool> rest{false}, counted{false};
    Peer peer([&](Connection &c) {
        c.Send(sent.substr(0, 10));
        for (int i = 0; i < 500 && !rest; ++i)
            std::this_thread::sleep_for(10ms);
        c.Send(sent.substr(10));
        // Blocks are received and counted before the close.
        for (int i = 0; i < 500 && !counted; ++i)
            std::this_thread::sleep_for(10ms);
        c.Close();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    // Bytes that came before the capture starts belong at the head of the file.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return socket.Buffered().size() == 10; }));
    int packets = 0;
    socket.OnPacketRecvd = [&](TTcpSocket *) {
        if (++packets == 2)
            counted = true;
    };
    rest = true;

    socket.CaptureFile(path)->Commit();

    EXPECT_TRUE(Contents() == sent);
    EXPECT_EQ(socket.BytesRecvd(), int64_t(sent.size()));
    EXPECT_GT(packets, 0);
    EXPECT_FALSE(socket.PacketEvents);
    EXPECT_FALSE(socket.Capturing());
    EXPECT_TRUE(socket.Buffered().empty());
}

TEST_F(SockCapture, CaptureOfAPeerThatClosedWithDataStillBuffered)
{
    const std::string sent = Pattern(50000);
    std::atomic<bool> closed{false};
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
        closed = true;
    });
    TestSocket socket;
    // Everything, the close included, is waiting before the capture looks.
    socket.Host = "127.0.0.1";
    socket.Port = peer.Port();
    socket.Connect();
    while (!closed)
        std::this_thread::sleep_for(1ms);

    socket.CaptureFile(path)->Commit();

    EXPECT_TRUE(Contents() == sent);
    EXPECT_EQ(socket.BytesRecvd(), int64_t(sent.size()));
    EXPECT_FALSE(socket.Connected);
}

TEST_F(SockCapture, CancelLeavesTheFileAsItWas)
{
    std::ofstream(path, std::ios::binary) << "good copy";
    Peer peer([](Connection &c) {
        c.Send("partial");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    socket.OnPacketRecvd = [](TTcpSocket *s) { s->Cancel(); };

    EXPECT_EQ(FailureOf([&] { (void)socket.CaptureFile(path); }), "Socket send aborted");
    EXPECT_FALSE(socket.IsCanceled());
    EXPECT_FALSE(socket.PacketEvents);
    EXPECT_EQ(Contents(), "good copy");
}

TEST_F(SockCapture, CapturedFileTakesThePlaceOnlyWhenCommitted)
{
    std::ofstream(path, std::ios::binary) << "good copy";
    Peer peer([](Connection &c) {
        c.Send("new copy");
        c.Close();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());

    auto captured = socket.CaptureFile(path);
    EXPECT_EQ(Contents(), "good copy");
    captured->Commit();
    EXPECT_EQ(Contents(), "new copy");
}

TEST_F(SockCapture, FileThatCannotBeCreatedChangesNothing)
{
    Peer peer([](Connection &c) {
        c.Send("kept\n");
        c.WaitClosed();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return socket.Buffered() == "kept\n"; }));

    EXPECT_THROW((void)socket.CaptureFile(::testing::TempDir() + "no/such/dir/file"), EFCreateError);
    EXPECT_FALSE(socket.PacketEvents);
    EXPECT_EQ(socket.ReadLn(), "kept\n");
}

TEST_F(SockCapture, BytesBufferedBeforeTheCaptureAreCopiedWithoutAPacketEvent)
{
    std::atomic<bool> captured{false};
    Peer peer([&](Connection &c) {
        c.Send("head");
        for (int i = 0; i < 500 && !captured; ++i)
            std::this_thread::sleep_for(10ms);
        c.Close();
    });
    TestSocket socket;
    int packets = 0;
    socket.OnPacketRecvd = [&](TTcpSocket *) { ++packets; };
    ConnectTo(socket, peer.Port());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return socket.Buffered() == "head"; }));
    socket.OnStatus = [&](TTcpSocket *, const std::string &) { captured = true; };
    socket.ReportLevel = 8; // "CaptureFile" tells the peer to close
    socket.CaptureFile(path)->Commit();
    EXPECT_EQ(Contents(), "head");
    EXPECT_EQ(socket.BytesRecvd(), 4);
    EXPECT_EQ(packets, 0);
}

TEST_F(SockCapture, ResetByThePeerFailsTheCapture)
{
    const std::string sent = Pattern(3 * SockConst::BlockSize);
    Peer peer([&](Connection &c) {
        c.Send(sent);
        std::this_thread::sleep_for(100ms); // the bytes arrive before the reset
        c.Reset();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    EXPECT_EQ(FailureOf([&] { (void)socket.CaptureFile(path); }), "10054:Connection reset by peer");
    EXPECT_FALSE(std::filesystem::exists(path)) << "a cut file is never put in place";
}

TEST_F(SockCapture, CaptureOfManyWriteBackWindowsKeepsEveryByteAndReportsEachBlock)
{
    // More than one receive's worth, written back window by window on its way.
    const std::string sent = Pattern(2 * TWriteBack::Window + SockConst::ReadBudget + 12345);
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());
    int64_t last = 0;
    std::vector<int64_t> steps;
    socket.OnPacketRecvd = [&](TTcpSocket *s) {
        steps.push_back(s->BytesRecvd() - last);
        last = s->BytesRecvd();
    };

    socket.CaptureFile(path)->Commit();

    EXPECT_TRUE(Contents() == sent);
    EXPECT_EQ(socket.BytesRecvd(), int64_t(sent.size()));
    EXPECT_THAT(steps, Each(AllOf(Gt(0), Le(int64_t(SockConst::BlockSize)))));
}

TEST_F(SockCapture, SocketThatCannotBeSplicedFromIsReceivedThroughTheProcess)
{
    RestoredCalls restored;
    net::Calls().splice = testsupport::SpliceFailing<EINVAL>;
    const std::string sent = Pattern(3 * SockConst::BlockSize);
    Peer peer([&](Connection &c) {
        c.Send(sent);
        c.Close();
    });
    TestSocket socket;
    ConnectTo(socket, peer.Port());

    socket.CaptureFile(path)->Commit();

    EXPECT_TRUE(Contents() == sent);
    EXPECT_EQ(socket.BytesRecvd(), int64_t(sent.size()));
}
