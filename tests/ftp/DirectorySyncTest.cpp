// A directory that cannot be synced after the new copy is in place: Linux
// syncs the directory through a seam the test replaces.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FileSystemSeamLinux.h"

#include <gmock/gmock.h>

#include <cstring>

using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

using DirectorySyncTest = FtpClientTest;

TEST_F(DirectorySyncTest, DirectoryThatCannotBeSyncedIsNoFailureButIsReported)
{
    local.Write("f", "old");
    server.LoggedIn()
        .PortThenRetr("150 Opening (3 bytes).\r\n")
        .ConnectData()
        .SendData("new")
        .CloseData()
        .Send("226 Done.\r\n");
    ConnectToScript();
    client.OnPacketRecvd = {};  // how many runs of blocks there are depends on timing
    testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().fsync = testsupport::FsyncFailing<EIO>;
    client.Download("f", local / "f");
    EXPECT_EQ(local.Read("f"), "new");
    ASSERT_GE(log.size(), 2u);
    EXPECT_THAT(log[log.size() - 2], AllOf(HasSubstr("replaced"), HasSubstr(std::strerror(EIO))));
    EXPECT_EQ(log.back(), "OnSuccess " + KindText(cmdDownload));
}

}  // namespace
