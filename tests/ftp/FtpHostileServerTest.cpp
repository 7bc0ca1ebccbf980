// Servers that misbehave on purpose: endless or huge replies, odd bytes,
// dripping, vanishing and silent servers. Whatever they do, the client ends
// each wait with a clear error or a result, never puts a cut file in place,
// and can be stopped by the owner.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/NetTestSupport.h"
#include "tests/support/FailureOf.h"
#include "harness/FtpFiles.h"
#include "ftp/FtpRules.h"

#include <gmock/gmock.h>

#include <filesystem>

using testsupport::FailureOf;
using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::Not;
using namespace std::chrono_literals;
using testsupport::CancelAfter;
using namespace std::string_literals;

namespace {

using HostileServerTest = FtpClientTest;

TEST_F(HostileServerTest, ReplyLineWithoutEndIsRefusedAndTheConnectionClosed)
{
    server.Send("220 " + std::string(1 << 20, 'x')).AwaitSignal();
    server.Start();
    TargetScriptedServer();
    EXPECT_EQ(FailureOf<Exception>([&] { client.Connect(); }), "Line too long: no line end within 65536 bytes");
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(log, Contains("OnDisconnect"));
    EXPECT_EQ(log.back(), "status: Disconnected");
    server.Signal();

    harness::ScriptedFtpServer second;
    second.LoggedIn().Start();
    Target(second.Host(), second.Port());
    client.Connect();
    EXPECT_TRUE(client.IsConnected()) << "the next attempt connects afresh";
}

// A reply past its limits, or not whole in time, ends like a silent one; the
// connection goes with it, since the rest would be read as the next answer.
TEST_F(HostileServerTest, EndlessGreetingEndsAtTheReplyLimits)
{
    std::string lines;
    for (int i = 1; i <= MaxReplyLines; ++i)
        lines += "220-Line " + std::to_string(i) + " of the greeting\r\n";
    const std::string oneLongLine = "220-" + std::string(60000, 'x') + "\r\n";
    std::string bytes;
    while (bytes.size() <= MaxReplyBytes)
        bytes += oneLongLine;
    for (const std::string &greeting : {lines, bytes}) {
        harness::ScriptedFtpServer endless;
        endless.Send(greeting + "220 Last line\r\n").Reply("230 Logged in.\r\n").Start();
        Target(endless.Host(), endless.Port());
        EXPECT_EQ(FailureOf<Exception>([&] { client.Connect(); }), "Reply Timed Out");
        EXPECT_FALSE(client.IsConnected());
        EXPECT_THAT(Events(), Contains("OnConnectionFailed"));
        endless.WaitUntilDone();
        EXPECT_TRUE(endless.Transcript().empty());
    }
}

TEST_F(HostileServerTest, GreetingDrippedByteByByteEndsAtTheReplyTimeOut)
{
    server.Drip("220 " + std::string(40, '.') + "\r\n", 50ms).Reply("230 Logged in.\r\n");
    server.Start();
    TargetScriptedServer();
    client.ReplyTimeOut = 500;
    EXPECT_EQ(FailureOf<Exception>([&] { client.Connect(); }), "Reply Timed Out");
    EXPECT_FALSE(client.IsConnected());
    server.WaitUntilDone();
    EXPECT_TRUE(server.Transcript().empty());
}

TEST_F(HostileServerTest, ZeroBytesAndHighBytesInRepliesAreKeptWhole)
{
    const std::string greeting = "220 Witaj \xB9\xEA\0 dalej\r\n"s;
    const std::string refusal = "550 Brak pliku \0\xFF\x80 tu\r\n"s;
    server.Send(greeting).Reply("230 Logged in.\r\n").Reply(refusal);
    server.Start();
    TargetScriptedServer();
    client.OnFailure = {};
    client.Connect();
    EXPECT_THAT(log, Contains("status: " + greeting));

    EXPECT_EQ(FailureOf<Exception>([&] { client.DoCommand("CWD x"); }), refusal);
    EXPECT_THAT(log, Contains("status: " + refusal));
    EXPECT_EQ(client.LastReply, refusal);
}

TEST_F(HostileServerTest, ReplyDrippingByteByByteIsEndedByCancel)
{
    server.Drip("220 " + std::string(60, '.') + "\r\n", 1000ms);
    server.Start();
    TargetScriptedServer();
    const auto clicks = CancelAfter(client, 300ms, true);
    // The greeting's wait ends, and so does the QUIT of the rescue path.
    EXPECT_THAT(FailureOf<Exception>([&] { client.Connect(); }), AnyOf("Socket readln aborted", "Socket send aborted"));
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(HostileServerTest, DataDrippingByteByByteIsEndedByAbortTransfer)
{
    server.LoggedIn()
        .PortThenRetr("150 Opening BINARY mode data connection.\r\n")
        .ConnectData()
        .DripData(std::string(60, 'd'), 1000ms);
    ConnectToScript();
    client.OnPacketRecvd = [&](TTcpSocket *) { client.AbortTransfer(); };
    const std::string file = local / "drip.bin";
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download("drip.bin", file); }), "Socket send aborted");
    EXPECT_THAT(Events(), Not(Contains("OnSuccess " + KindText(cmdDownload))));
    EXPECT_FALSE(local.Exists("drip.bin")) << "a cut file is not kept";

    client.Disconnect();  // the control connection is still usable
    EXPECT_THAT(server.Transcript(), Contains("QUIT"));
}

TEST_F(HostileServerTest, ServerVanishingDuringTheTransferEndsTheDownload)
{
    const std::string half = harness::PatternBytes(30000);
    server.LoggedIn()
        .PortThenRetr("150 Opening BINARY mode data connection.\r\n")
        .ConnectData()
        .SendData(half)
        .CloseControl()
        .CloseData();
    ConnectToScript();
    const std::string file = local / "gone.bin";
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download("gone.bin", file); }), "Connection closed by the peer");
    EXPECT_FALSE(local.Exists("gone.bin")) << "a cut file is not kept";
    EXPECT_THAT(Events(), Not(Contains("OnSuccess " + KindText(cmdDownload))));
    EXPECT_THAT(log, Contains("OnDisconnect"));
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(HostileServerTest, ServerThatNeverGreetsEndsTheLoginAfterTheReplyTimeOut)
{
    server.AwaitSignal();
    server.Start();
    TargetScriptedServer();
    client.ReplyTimeOut = 300;
    EXPECT_EQ(FailureOf<Exception>([&] { client.Connect(); }), "Reply Timed Out");
    EXPECT_THAT(Events(), Contains("OnConnectionFailed"));
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(server.Transcript(), Not(Contains("USER anonymous")));
    server.Signal();
}

TEST_F(HostileServerTest, PortReplyThatNeverComesIsEndedByCancel)
{
    server.LoggedIn().Receive().AwaitSignal();
    ConnectToScript();
    const std::string file = local / "never.bin";
    const auto click = CancelAfter(client, 200ms);
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download("never.bin", file); }), "Socket readln aborted");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(client.IsConnected()) << "a cancelled wait leaves the connection up";
    server.Signal();
}

TEST_F(HostileServerTest, MoreLeftoverBytesThanOneReadTakesAreDropped)
{
    server.LoggedIn().Reply("200 Fine.\r\n" + std::string(100000, 'z') + "\r\n").Reply("200 Again.\r\n");
    ConnectToScript();
    client.DoCommand("NOOP");
    testsupport::PumpFor(300ms);  // meanwhile the leftovers arrive and wait in the buffer
    client.DoCommand("NOOP");
    EXPECT_EQ(client.LastReply, "200 Again.\r\n");
    EXPECT_EQ(Entries("OnSuccess").size(), 2u);
}

} // namespace
