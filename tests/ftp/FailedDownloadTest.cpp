// A download that does not finish, or that the server does not say it
// completed, leaves the previous local copy as it was and nothing beside it; a
// server that goes silent ends the wait; a local name that is no regular file
// is refused at once.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"
#include "harness/SmallDisk.h"

#include <gmock/gmock.h>

#include <atomic>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <iterator>
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

    // The download of "f" fails with Error through OnFailure, and the good
    // copy stays alone in its place.
    void ExpectFailureKeepingTheGoodCopy(const std::string &error)
    {
        EXPECT_EQ(FailureOf<Exception>([&] { client.Download("f", local / "f"); }), error);
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
