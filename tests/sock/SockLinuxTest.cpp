// Failures that only Linux lets a test make, so these run on Linux alone: no
// free descriptor left (Winsock sockets are not descriptors under a limit),
// and calls of the system-call table (net::Calls()), of which the Windows
// backend has none; and the capture's write-back and splice, which are
// Linux's own.
#include "harness/Loopback.h"
#include "platform/files/detail/WriteBackLinux.h"
#include "platform/net/detail/SystemCallsLinux.h"
#include "tests/sock/SockCaptureFixture.h"
#include "tests/support/SpliceFailingLinux.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace socktest;
using testpeer::Connection;
using testpeer::Peer;
using testsupport::FakeResolver;
using testsupport::PumpUntil;
using ::testing::AllOf;
using ::testing::Each;
using ::testing::Gt;
using ::testing::Le;

namespace {

// The system's calls back in place at the end of a test that replaced some
// (net::Calls()).
struct RestoredCalls {
    ~RestoredCalls() { net::RestoreSystemCalls(); }
};

} // namespace

TEST(SockSession, StartUpWithoutSocketsFails)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers' runtime needs free descriptors of its own";
#endif
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const int before = TestSocket::WinsockUsers;
    // No descriptor is free once the limit is the lowest one in use.
    rlimit none = saved;
    none.rlim_cur = 3;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    const std::string failure = FailureOf([] { TestSocket socket; });
    setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_EQ(failure, "Initializaton of windows sockets failed");
    EXPECT_EQ(TestSocket::WinsockUsers, before);
}

// A connect the network never answers: the socket is left connecting and kept
// (with its identity) for the test to complete later.
struct StalledConnect {
    static inline int fd = -1;
    static inline ino_t inode = 0;
    static int Connect(int descriptor, const sockaddr *, socklen_t)
    {
        struct stat info {};
        ::fstat(descriptor, &info);
        fd = descriptor;
        inode = info.st_ino;
        errno = EINPROGRESS;
        return -1;
    }
    // Whether the stalled socket is still open (its number may be reused).
    static bool StillOpen()
    {
        struct stat info {};
        return ::fstat(fd, &info) == 0 && info.st_ino == inode;
    }
    StalledConnect() { net::Calls().connect = Connect; }
    ~StalledConnect() { net::RestoreSystemCalls(); }
};

TEST(SockConnect, AConnectThatCompletesAfterItsTimeOutLeavesTheComponentUnconnected)
{
    // Takes the late connect into its queue; nobody need accept it.
    const int late = harness::ListenOn("127.0.0.1", 0);
    TestSocket socket;
    socket.Host = "127.0.0.1";
    socket.Port = harness::LocalPortOf(late);
    socket.TimeOut = 100;
    {
        StalledConnect stalled;
        EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "Connection Timed out");
    }
    if (StalledConnect::StillOpen()) {
        // The network answers after all.
        const sockaddr_in address = harness::AddressOf("127.0.0.1", harness::LocalPortOf(late));
        ::connect(StalledConnect::fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    }
    PumpUntil([&] { return socket.Connected; }, 500ms);
    EXPECT_FALSE(socket.Connected);
    ::close(late);

    testpeer::Peer next([](Connection &) {});
    socket.Port = next.Port();
    socket.Connect();
    EXPECT_TRUE(socket.Connected) << "the next attempt starts afresh";
}

// IPv6 connects fail as on a broken IPv6 network: at once (no route,
// ENETUNREACH) or never (a route that swallows every packet: EINPROGRESS and
// no answer).
struct BrokenIpv6 {
    static inline int error = 0;
    static int Connect(int descriptor, const sockaddr *address, socklen_t length)
    {
        if (address->sa_family == AF_INET6) {
            errno = error;
            return -1;
        }
        return ::connect(descriptor, address, length);
    }
    explicit BrokenIpv6(int failure)
    {
        error = failure;
        net::Calls().connect = Connect;
    }
    ~BrokenIpv6() { net::RestoreSystemCalls(); }
};

TEST(SockConnect, AnIpv6AddressThatFailsAtOnceOrNeverMakesWayForTheIpv4One)
{
    FakeResolver names(true, {*net::Address::FromLiteral("::1"), *net::Address::FromLiteral("127.0.0.1")}, 0);
    for (const int failure : {ENETUNREACH, EINPROGRESS}) {
        BrokenIpv6 broken(failure);
        Peer peer([](Connection &) {});
        TestSocket socket;
        socket.Host = "dual.example";
        socket.Port = peer.Port();
        socket.TimeOut = 2000;
        socket.Connect();
        EXPECT_TRUE(socket.Connected) << failure;
    }
    // Only the last address's failure is the error.
    BrokenIpv6 broken(ENETUNREACH);
    TestSocket socket;
    socket.Host = "::1";
    socket.Port = 21;
    EXPECT_EQ(FailureOf([&] { socket.Connect(); }), "10051:Network is unreachable");
    EXPECT_FALSE(socket.Connected);
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
