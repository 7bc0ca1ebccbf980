// What the harness service adds to the harness: the bytes of a script and of
// a transcript cross it unchanged, and what a session made goes when the
// session ends.
#include "harness/FtpFiles.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/client/ServiceConnection.h"
#include "harness/service/Protocol.h"
#include "tests/support/FailureOf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string EveryByte()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

// Count bytes from Connection, fewer when it closes first. The test's own
// connections to the servers are the service client's: a plain blocking TCP
// connection, the same on every system.
std::string Read(harness::ServiceConnection &connection, std::size_t count)
{
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < count) {
        const std::size_t n = connection.Receive(buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

}  // namespace

TEST(HarnessServiceTest, EveryByteValueCrossesItBothWays)
{
    const std::string bytes = EveryByte();
    std::string line = bytes;
    line.erase(line.find('\n'), 1);
    harness::ScriptedFtpServer server;
    server.Send(bytes).Receive();
    server.Start();

    {
        harness::ServiceConnection client("127.0.0.1", server.Port());
        EXPECT_EQ(Read(client, bytes.size()), bytes);
        client.Send(line + "\r\n");
    }
    server.WaitUntilDone();
    EXPECT_THAT(server.Transcript(), ElementsAre(line));
    EXPECT_THAT(server.Errors(), ElementsAre());
}

TEST(HarnessServiceTest, ServerStopsWhenItsSessionEnds)
{
    uint16_t port = 0;
    {
        harness::ScriptedFtpServer server;
        port = server.Port();
    }
    EXPECT_THAT(testsupport::FailureOf([&] { harness::ServiceConnection client("127.0.0.1", port); }),
                HasSubstr("cannot connect to 127.0.0.1:" + std::to_string(port)));
}

TEST(HarnessServiceTest, TreeIsRemovedWhenItsSessionEnds)
{
    std::string path;
    {
        harness::FtpFiles files;
        files.Write("pub/news/f", "x");
        path = files.Path();
        ASSERT_TRUE(std::filesystem::exists(files / "pub/news/f"));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The script's thread reads the steps: a step added while it runs would race it.
TEST(HarnessServiceTest, StepsAfterTheStartAreRefusedAndTheSessionGoesOn)
{
    harness::ScriptedFtpServer server;
    server.Start();
    EXPECT_THROW(server.Send("220 Late.\r\n"), std::runtime_error);
    EXPECT_THROW(server.Start(), std::runtime_error);
    EXPECT_THAT(server.Transcript(), ElementsAre());
}

TEST(HarnessServiceTest, ValuesThatAreNotHexInPairsAreRefused)
{
    using harness::service::Parse;
    EXPECT_EQ(Parse("Send 0d0a00ff").values, std::vector<std::string>{std::string("\r\n\0\xff", 4)});
    EXPECT_THROW(Parse("Send 0d0"), std::invalid_argument);
    EXPECT_THROW(Parse("Send 0D"), std::invalid_argument);
    EXPECT_THROW(Parse("Send 0g"), std::invalid_argument);
}
