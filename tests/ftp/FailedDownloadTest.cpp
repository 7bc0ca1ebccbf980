// A download that does not finish, that the server does not say it
// completed, or that is larger than allowed or announced, leaves the previous
// local copy as it was and nothing beside it; a server that goes silent ends
// the wait; a local name that is no regular file is refused at once.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"
#include "harness/PrivateNetwork.h"
#include "harness/SmallDisk.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testsupport::FailureOf;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

namespace {

const std::string kContent = harness::PatternBytes(200000);
constexpr int64_t kLimit = 65536;
const std::string kRemote = "pub/news/big.bin";
const std::string kSmall = "pub/news/small.bin";

class FailedDownload : public FtpClientTest {
protected:
    // Logged in, PORT accepted, RETR answered, the data connection open.
    harness::ScriptedFtpServer &Transferring()
    {
        return server.LoggedIn()
            .PortThenRetr("150 Opening BINARY mode data connection (200000 bytes).\r\n")
            .ConnectData();
    }

    // Logged in, RETR answered with 63 bytes announced; the test goes on from there.
    harness::ScriptedFtpServer &Announced63()
    {
        local.Write("f", "good copy");
        return server.LoggedIn().PortThenRetr("150 Opening BINARY mode data connection for f (63 bytes).\r\n");
    }

    // Logged in to Endpoint with downloads limited to kLimit bytes, the good
    // copy in place, and Content served as kRemote. A server that leaves its
    // reply out fails the test instead of stopping it.
    void LimitedSessionWith(std::unique_ptr<harness::FtpEndpoint> endpoint, const std::string &content)
    {
        files.Write(kRemote, content);
        files.Write(kSmall, "small");
        local.Write("f", "good copy");
        realServer = std::move(endpoint);
        Target(realServer->Host(), realServer->Port());
        client.Connect();
        client.MaxDownloadBytes = kLimit;
        client.ReplyTimeOut = 20000;
        log.clear();
    }

    // The session is still in step: the next download is answered as its own.
    void ExpectTheNextDownloadToArrive()
    {
        client.Download(kSmall, local / "small");
        EXPECT_EQ(local.Read("small"), "small");
    }

    // The download of Remote into "f" fails with Error through OnFailure,
    // and the good copy stays alone in its place.
    void ExpectFailureKeepingTheGoodCopy(const std::string &error, const std::string &remote = "f")
    {
        EXPECT_EQ(FailureOf<Exception>([&] { client.Download(remote, local / "f"); }), error);
        EXPECT_THAT(Events(), Contains("OnFailure " + KindText(cmdDownload)));
        EXPECT_THAT(Events(), Not(Contains("OnSuccess " + KindText(cmdDownload))));
        EXPECT_EQ(local.Read("f"), "good copy");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local.Path()), {}), 1);
    }
};

class NegativeCompletion : public FailedDownload, public ::testing::WithParamInterface<std::string> {};

}  // namespace

TEST_P(NegativeCompletion, AfterCutDataFailsTheDownload)
{
    Announced63().ConnectData().SendData(std::string(40, 'x')).CloseData().Send(GetParam());
    ConnectToScript();
    ExpectFailureKeepingTheGoodCopy(GetParam());
}

INSTANTIATE_TEST_SUITE_P(FailedDownload, NegativeCompletion,
                         ::testing::Values("451 Local error in processing.\r\n", "452 Insufficient storage space.\r\n",
                                           "552 Exceeded storage allocation.\r\n"));

TEST_F(FailedDownload, FewerBytesThanAnnouncedFailEvenWhenTheServerSaysComplete)
{
    Announced63().ConnectData().SendData(std::string(40, 'x')).CloseData().Send("226 Transfer complete.\r\n");
    ConnectToScript();
    ExpectFailureKeepingTheGoodCopy("Transfer incomplete: received 40 of 63 bytes");
}

TEST_F(FailedDownload, FileWithoutAnnouncedSizeStopsAtTheLimit)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    // pyftpdlib announces no size: only the limit can stop the file.
    LimitedSessionWith(std::make_unique<harness::PyftpdlibServer>(files.Path()), kContent);
    int64_t most = 0;
    client.OnPacketRecvd = [&](TTcpSocket *) { most = std::max(most, client.BytesRecvd()); };
    ExpectFailureKeepingTheGoodCopy("File too large: more than 65536 bytes", kRemote);
    EXPECT_LE(most, kLimit + 1);
    ExpectTheNextDownloadToArrive();
}

TEST_F(FailedDownload, SizeAnnouncedAboveTheLimitFailsBeforeAByteArrives)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    LimitedSessionWith(std::make_unique<harness::VsftpdServer>(files.Path()), kContent);
    ExpectFailureKeepingTheGoodCopy("File too large: 200000 bytes announced, at most 65536", kRemote);
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + KindText(cmdDownload)));
    ExpectTheNextDownloadToArrive();
}

TEST_F(FailedDownload, MoreBytesThanAnnouncedFailAtOnceAndTheServersAnswerIsRead)
{
    // The server sends more and keeps the data connection open: only the
    // client's count can end the transfer.
    Announced63()
        .ConnectData()
        .SendData(std::string(100, 'x'))
        .AwaitDataClosedByClient()
        .Send("426 Connection closed; transfer aborted.\r\n");
    ConnectToScript();
    client.ReplyTimeOut = 20000;  // only a regression waits that long
    ExpectFailureKeepingTheGoodCopy("Transfer too long: more than the 63 bytes announced");
    EXPECT_THAT(log, Contains("status: 426 Connection closed; transfer aborted.\r\n"));
    EXPECT_TRUE(client.IsConnected());
}

TEST_F(FailedDownload, TransferStalledWithTheDataConnectionOpenEndsAfterTheReplyTimeOut)
{
    Announced63().ConnectData().SendData(std::string(40, 'x')).AwaitSignal();
    ConnectToScript();
    client.ReplyTimeOut = 300;
    ExpectFailureKeepingTheGoodCopy("Transfer Timed Out");
    server.Signal();
}

TEST_F(FailedDownload, RefusalInsteadOfTheDataConnectionEndsTheWaitWithIt)
{
    Announced63().Send("425 Can't open data connection.\r\n");
    ConnectToScript();
    client.ReplyTimeOut = 20000;  // only a regression waits that long
    ExpectFailureKeepingTheGoodCopy("425 Can't open data connection.\r\n");
    EXPECT_THAT(log, Contains("status: 425 Can't open data connection.\r\n"));
}

TEST_F(FailedDownload, FullDiskGivesAClearErrorAndLeavesNothingBehind)
{
    harness::SmallDisk disk(64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "no right to mount a small file system here";
    std::ofstream(disk / "f", std::ios::binary) << "good copy";
    Transferring().SendData(kContent).CloseData().Send("226 Transfer complete.\r\n");
    ConnectToScript();

    EXPECT_THAT(FailureOf<Exception>([&] { client.Download("f", disk / "f"); }),
                AllOf(HasSubstr(disk / "f"), HasSubstr("No space left on device")));
    EXPECT_THAT(disk.Names(), ElementsAre("f"));
    std::ifstream kept(disk / "f");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "good copy");
    EXPECT_TRUE(client.IsConnected());
}

TEST_F(FailedDownload, FifoInPlaceOfTheLocalFileIsRefused)
{
    ASSERT_EQ(::mkfifo((local / "f").c_str(), 0600), 0);
    Transferring().SendData("x").CloseData().Send("226 Transfer complete.\r\n");
    ConnectToScript();
    // Should the open block, a reader after a while lets the test end.
    std::atomic<bool> done{false};
    int reader = -1;
    std::thread rescue([&] {
        for (int i = 0; i < 500 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done)
            reader = ::open((local / "f").c_str(), O_RDONLY | O_NONBLOCK);
    });
    const std::string error = FailureOf<Exception>([&] { client.Download("f", local / "f"); });
    done = true;
    rescue.join();
    if (reader >= 0)
        ::close(reader);

    EXPECT_THAT(error, AllOf(HasSubstr(local / "f"), HasSubstr("not a regular file")));
    struct stat info {};
    ASSERT_EQ(::stat((local / "f").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(client.IsConnected());
}
