// A download that does not finish leaves the previous local copy as it was and
// nothing beside it; a local name that is no regular file is refused at once.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"
#include "harness/SmallDisk.h"

#include <gmock/gmock.h>

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testsupport::FailureOf;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

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
};

}  // namespace

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
    EXPECT_TRUE(client.Connected);
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
    EXPECT_TRUE(client.Connected);
}
