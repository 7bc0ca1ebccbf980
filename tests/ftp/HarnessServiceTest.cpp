// What the harness service adds to the harness: the bytes of a script and of
// a transcript cross it unchanged, and what a session made goes when the
// session ends.
#include "harness/FtpFiles.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/service/Protocol.h"

#include <QTcpSocket>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using ::testing::ElementsAre;

namespace {

constexpr int kWaitMs = 10000;

std::string EveryByte()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

// A connection from this test to a server on 127.0.0.1.
class RawClient {
public:
    explicit RawClient(uint16_t port)
    {
        socket_.connectToHost("127.0.0.1", port);
        connected_ = socket_.waitForConnected(kWaitMs);
    }
    bool Connected() const { return connected_; }
    QAbstractSocket::SocketError Error() const { return socket_.error(); }
    std::string Read(std::size_t count)
    {
        while (static_cast<std::size_t>(socket_.bytesAvailable()) < count && socket_.waitForReadyRead(kWaitMs)) {
        }
        return socket_.read(static_cast<qint64>(count)).toStdString();
    }
    void Write(const std::string &bytes)
    {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.waitForBytesWritten(kWaitMs);
    }
    void Close() { socket_.close(); }

private:
    QTcpSocket socket_;
    bool connected_ = false;
};

}  // namespace

TEST(HarnessServiceTest, EveryByteValueCrossesItBothWays)
{
    const std::string bytes = EveryByte();
    std::string line = bytes;
    line.erase(line.find('\n'), 1);
    harness::ScriptedFtpServer server;
    server.Send(bytes).Receive();
    server.Start();

    RawClient client(server.Port());
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.Read(bytes.size()), bytes);
    client.Write(line + "\r\n");
    client.Close();
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
    RawClient client(port);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.Error(), QAbstractSocket::ConnectionRefusedError);
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
