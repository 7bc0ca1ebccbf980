// Downloads against scripted servers: the announced size, the order of events,
// aborts, the server's own abort replies, and strangers on the data port.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"
#include "tests/support/RegexMatcher.h"

#include <gmock/gmock.h>

#include <filesystem>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::MatchesRegex;
using ::testing::Not;
using testsupport::FailureOf;
using namespace std::chrono_literals;

namespace {

const std::string kDownload = KindText(cmdDownload);
const std::string kContent = harness::PatternBytes(50000);

class FtpDownloadTest : public FtpClientTest {
protected:
    // Blocks that arrive with the close, or before the capture, fire no
    // OnPacketRecvd; with the small files here that depends on timing.
    FtpDownloadTest() { client.OnPacketRecvd = {}; }

    // Logged in, with PORT accepted and RETR answered by retrReply.
    harness::ScriptedFtpServer &UpToRetr(const std::string &retrReply)
    {
        return server.LoggedIn().PortThenRetr(retrReply);
    }
    // BytesTotal when the transfer starts.
    int64_t totalAtStart = -1;
    void WatchTotalAtStart()
    {
        client.OnTransactionStart = [this](TTcpSocket *) {
            log.push_back("OnTransactionStart");
            totalAtStart = client.BytesTotal;
        };
    }
};

TEST_F(FtpDownloadTest, AnnouncedSizeComesFirstAndTheReceivedCountLast)
{
    UpToRetr("150 Opening BINARY mode data connection for a.bin (50000 bytes).\r\n")
        .ConnectData()
        .SendData(kContent)
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    ConnectToScript();
    WatchTotalAtStart();
    client.Download("pub/news/a.bin", local / "a.bin");

    EXPECT_EQ(totalAtStart, 50000);
    EXPECT_EQ(client.BytesTotal, static_cast<int64_t>(kContent.size()));
    EXPECT_EQ(local.Read("a.bin"), kContent);
    ASSERT_EQ(log.size(), 9u) << ::testing::PrintToString(log);
    EXPECT_THAT(log[0], MatchesRegex("status: PORT 127,0,0,1,[0-9]+,[0-9]+"));
    EXPECT_THAT(std::vector(log.begin() + 1, log.end()),
                ElementsAre("status: 200 PORT command successful.\r\n", "status: RETR pub/news/a.bin",
                            "status: 150 Opening BINARY mode data connection for a.bin (50000 bytes).\r\n",
                            "OnTransactionStart", "OnTransactionStop", "status: Received 50000 Bytes",
                            "status: 226 Transfer complete.\r\n",
                            "OnSuccess " + kDownload));
    EXPECT_EQ(client.BytesRecvd(), 0);  // no data connection after the download
    EXPECT_EQ("status: " + server.Transcript().at(1), log[0]);  // the PORT line reported is the one sent
}

TEST_F(FtpDownloadTest, SizeMayComeFromAFurtherLineOrNotAtAll)
{
    UpToRetr("150-Opening data connection\r\n 3 bytes to come\r\n150 Go.\r\n")
        .ConnectData()
        .SendData("abc")
        .CloseData()
        .Send("226-Done\r\n226 Really done.\r\n")
        .PortThenRetr("150 Opening data connection.\r\n")
        .ConnectData()
        .SendData("defg")
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    ConnectToScript();
    WatchTotalAtStart();
    client.Download("one", local / "one");
    EXPECT_EQ(totalAtStart, 3);
    EXPECT_THAT(log, Contains("status: 226 Really done.\r\n"));
    client.Download("two", local / "two");
    EXPECT_EQ(totalAtStart, 0);
    EXPECT_EQ(client.BytesTotal, 4);
    EXPECT_EQ(local.Read("one"), "abc");
    EXPECT_EQ(local.Read("two"), "defg");
}

TEST_F(FtpDownloadTest, DataSentAlreadyAtPortStartsTheFile)
{
    // pyftpdlib's way: the data connection opens (and delivers) before RETR.
    server.LoggedIn()
        .Receive()
        .ConnectData()
        .SendData("early ")
        .Send("200 PORT command successful.\r\n")
        .Receive()
        .Send("125 Data connection already open. Transfer starting.\r\n")
        .SendData("late")
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    ConnectToScript();
    client.Download("f", local / "f");
    EXPECT_EQ(local.Read("f"), "early late");
    EXPECT_EQ(client.BytesTotal, 10);
}

TEST_F(FtpDownloadTest, EmptyLocalNameUsesTheRemoteNameInTheCurrentDirectory)
{
    UpToRetr("150 Opening (3 bytes).\r\n").ConnectData().SendData("xyz").CloseData().Send("226 Done.\r\n");
    ConnectToScript();
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(local.Path());
    client.Download("news.inf", "");
    std::filesystem::current_path(previous);
    EXPECT_EQ(local.Read("news.inf"), "xyz");
}

TEST_F(FtpDownloadTest, ExistingLocalFileIsKeptUntilTheServerConnects)
{
    local.Write("a.bin", "old content");
    UpToRetr("150 Opening (3 bytes).\r\n").ConnectData().SendData("new").CloseData().Send("226 Done.\r\n");
    ConnectToScript();
    std::string atStart;
    client.OnTransactionStart = [&](TTcpSocket *) { atStart = local.Read("a.bin"); };
    client.Download("a.bin", local / "a.bin");
    EXPECT_EQ(atStart, "old content");
    EXPECT_EQ(local.Read("a.bin"), "new");
}

TEST_F(FtpDownloadTest, RefusedRetrRaisesTheReplyAndCreatesNothing)
{
    UpToRetr("550 Failed to open file.\r\n");
    ConnectToScript();
    EXPECT_EQ(FailureOf<FTPException>([&] { client.Download("missing", local / "missing"); }), "550 Failed to open file.\r\n");
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    EXPECT_FALSE(local.Exists("missing"));
    client.Disconnect();
    EXPECT_EQ(server.Transcript().back(), "QUIT");
}

TEST_F(FtpDownloadTest, RefusedPortStopsBeforeRetr)
{
    server.LoggedIn().Reply("500 Illegal PORT command.\r\n");
    ConnectToScript();
    EXPECT_THROW(client.Download("f", local / "f"), FTPException);
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", MatchesRegex("PORT .*"), "QUIT"));
}

TEST_F(FtpDownloadTest, HandledMultiLineRefusalReportsEachFurtherLine)
{
    UpToRetr("502-Not here\r\n 2nd\r\n502 End\r\n");
    ConnectToScript();
    failureHandled = true;
    // Handled, the download would wait for a data connection: stop it there.
    AbortTransferAfterStatus("502 End\r\n");
    EXPECT_EQ(FailureOf<ESockError>([&] { client.Download("f", local / "f"); }), "Accepting Canceled");
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload, "OnUnSupportedFunction " + kDownload,
                                      "OnFailure " + kDownload, "OnUnSupportedFunction " + kDownload,
                                      "OnFailure " + kDownload));
}

TEST_F(FtpDownloadTest, ServerThatNeverConnectsWaitsForAbort)
{
    UpToRetr("150 Opening (3 bytes).\r\n");
    ConnectToScript();
    client.AbortTransfer();  // nothing runs: nothing happens
    AbortTransferAfterStatus("150 Opening (3 bytes).\r\n");
    EXPECT_EQ(FailureOf<ESockError>([&] { client.Download("f", local / "f"); }), "Accepting Canceled");
    EXPECT_THAT(Events(), IsEmpty());
    EXPECT_FALSE(local.Exists("f"));
    EXPECT_TRUE(client.IsConnected());
    client.Disconnect();
    EXPECT_EQ(server.Transcript().back(), "QUIT");
}

TEST_F(FtpDownloadTest, AbortDuringTheCaptureKeepsTheOldCopyAndTheConnection)
{
    local.Write("f", "good copy");
    const std::string part = kContent.substr(0, 1000);
    UpToRetr("150 Opening (50000 bytes).\r\n").ConnectData().SendData(part).AwaitSignal().CloseData();
    ConnectToScript();
    client.OnPacketRecvd = [&](TTcpSocket *) {
        if (client.BytesRecvd() == static_cast<int64_t>(part.size()))
            client.AbortTransfer();
    };
    EXPECT_EQ(FailureOf<EAbortError>([&] { client.Download("f", local / "f"); }), "Socket send aborted");
    EXPECT_THAT(Events(), ElementsAre("OnTransactionStart"));
    EXPECT_EQ(local.Read("f"), "good copy");
    server.Signal();
    client.Disconnect();
    EXPECT_EQ(server.Transcript().back(), "QUIT");
}

TEST_F(FtpDownloadTest, ServerAbortDuringTheTransferFailsAndKeepsTheOldCopy)
{
    local.Write("f", "good copy");
    // The server sends the rest of the file only once the client has taken
    // the 421 in: its cancel reports "Canceling" at level 8. The file that
    // arrives after the abort cannot be trusted to be whole.
    UpToRetr("150 Opening (50000 bytes).\r\n")
        .ConnectData()
        .Send("421 Timeout.\r\n")
        .AwaitSignal()
        .SendData(kContent)
        .CloseData();
    ConnectToScript();
    client.ReportLevel = 8;
    client.OnStatus = [&](TTcpSocket *, const std::string &text) {
        if (text == "Canceling")
            server.Signal();
        if (text.find("\r\n") != std::string::npos || text.rfind("Received ", 0) == 0)
            log.push_back("status: " + text);
    };
    EXPECT_EQ(FailureOf([&] { client.Download("f", local / "f"); }), "421 Timeout.\r\n");
    EXPECT_EQ(local.Read("f"), "good copy");
    EXPECT_THAT(log, ElementsAre("status: 200 PORT command successful.\r\n", "status: 150 Opening (50000 bytes).\r\n",
                                 "OnTransactionStart", "OnTransactionStop", "status: Received 50000 Bytes",
                                 "status: 421 Timeout.\r\n", "OnFailure " + kDownload));
}

TEST_F(FtpDownloadTest, ServerAbortThatComesWithTheCloseFailsTheDownload)
{
    UpToRetr("150 Opening (50000 bytes).\r\n")
        .ConnectData()
        .SendData(kContent.substr(0, 40))
        .Send("426 Failure writing network stream.\r\n")
        .CloseControl()
        .CloseData();
    ConnectToScript();
    EXPECT_EQ(FailureOf([&] { client.Download("f", local / "f"); }), "426 Failure writing network stream.\r\n");
    EXPECT_THAT(Events(), Contains("OnFailure " + kDownload));
    EXPECT_THAT(log, Contains("status: 426 Failure writing network stream.\r\n"));
}

TEST_F(FtpDownloadTest, ServerAbortInsteadOfTheCompletionReplyFailsTheDownload)
{
    UpToRetr("150 Opening (3 bytes).\r\n")
        .ConnectData()
        .SendData("abc")
        .CloseData()
        .AwaitSignal()
        .Send("421 Timeout.\r\n");
    ConnectToScript();
    client.OnTransactionStop = [&](TTcpSocket *) {
        log.push_back("OnTransactionStop");
        server.Signal();
    };
    EXPECT_EQ(FailureOf<FTPException>([&] { client.Download("f", local / "f"); }), "421 Timeout.\r\n");
    EXPECT_THAT(std::vector(log.begin() + 4, log.end()),
                ElementsAre("OnTransactionStart", "OnTransactionStop", "status: Received 3 Bytes",
                            "status: 421 Timeout.\r\n", "OnFailure " + kDownload));
    EXPECT_FALSE(local.Exists("f"));
}

TEST_F(FtpDownloadTest, DataConnectionFromAnotherAddressIsTurnedAway)
{
    // The stranger comes and writes before the RETR reply, so its bytes wait
    // in the listener's queue: the client turns it away with a reset, and a
    // stranger that wrote after that would fail its own send.
    server.LoggedIn()
        .Reply("200 PORT command successful.\r\n")
        .Receive()
        .ConnectData("127.0.0.3")
        .SendData("forged release file")
        .Send("150 Opening (50000 bytes).\r\n")
        .AwaitDataClosedByClient()
        .ConnectData()
        .SendData(kContent)
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    ConnectToScript();
    client.Download("f", local / "f");
    EXPECT_EQ(local.Read("f"), kContent);
    EXPECT_THAT(Events(), Contains("OnSuccess " + kDownload));
    EXPECT_TRUE(server.Errors().empty());
}

// Strangers turned away must not stretch the wait: the server's own
// connection, later than the reply time-out, is no longer taken.
TEST_F(FtpDownloadTest, StrangersDoNotMoveTheDeadlineOfTheDataConnection)
{
    local.Write("f", "good copy");
    harness::ScriptedFtpServer &script = UpToRetr("150 Opening (50000 bytes).\r\n");
    for (int i = 0; i < 8; ++i)
        script.ConnectData("127.0.0.3").AwaitDataClosedByClient().Pause(150ms);
    script.ConnectData().SendData(kContent).CloseData().Send("226 Transfer complete.\r\n");
    ConnectToScript();
    client.ReplyTimeOut = 500;
    EXPECT_EQ(FailureOf([&] { client.Download("f", local / "f"); }), "Accepting Timed Out");
    EXPECT_EQ(local.Read("f"), "good copy");
}

TEST_F(FtpDownloadTest, StrangerAfterTheServerHasClosedIsNeverTakenForTheServer)
{
    UpToRetr("150 Opening (50000 bytes).\r\n226 Transfer complete.\r\n")
        .CloseControl()
        .ConnectData("127.0.0.3")
        .SendData("forged release file");
    ConnectToScript();
    EXPECT_EQ(FailureOf([&] { client.Download("f", local / "f"); }), "Connection closed by the peer");
    EXPECT_FALSE(std::filesystem::exists(local / "f"));
    EXPECT_THAT(Events(), Not(Contains("OnSuccess " + kDownload)));
}

TEST_F(FtpDownloadTest, NextDownloadDropsALateReply)
{
    UpToRetr("150 Opening (3 bytes).\r\n")
        .ConnectData()
        .SendData("abc")
        .CloseData()
        .Send("226 Transfer complete.\r\n226 A late second reply.\r\n")
        .PortThenRetr("150 Opening (2 bytes).\r\n")
        .ConnectData()
        .SendData("de")
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    ConnectToScript();
    client.Download("one", local / "one");
    client.Download("two", local / "two");
    EXPECT_THAT(log, Not(Contains("status: 226 A late second reply.\r\n")));
    EXPECT_EQ(local.Read("two"), "de");
    EXPECT_THAT(Events(), Contains("OnSuccess " + kDownload).Times(2));
}

}  // namespace

// A fetch into memory is a step of something larger: the transfer's texts,
// but no OnSuccess and no file.
TEST_F(FtpDownloadTest, FetchBringsTheBytesWithoutSuccessOrFile)
{
    UpToRetr("150 Opening.\r\n").ConnectData().SendData("signature").CloseData().Send("226 Transfer complete.\r\n");
    ConnectToScript();
    EXPECT_EQ(client.Fetch("pub/news/a.sig", 4096), "signature");
    EXPECT_THAT(log, Contains("status: Received 9 Bytes"));
    EXPECT_THAT(Entries("OnSuccess"), IsEmpty());
    EXPECT_THAT(harness::NamesIn(local.Path()), IsEmpty());
}

// Without an announced size, the byte past the limit ends the fetch.
TEST_F(FtpDownloadTest, FetchPastItsLimitFailsAtTheFirstByteTooMany)
{
    UpToRetr("150 Opening.\r\n")
        .ConnectData()
        .SendData(std::string(5000, 'x'))
        .AwaitDataClosedByClient()
        .Send("426 Connection closed; transfer aborted.\r\n");
    ConnectToScript();
    EXPECT_THROW((void)client.Fetch("pub/news/a.sig", 4096), EFileTooLarge);
    EXPECT_EQ(Entries("OnFailure"), std::vector<std::string>{"OnFailure " + kDownload});
}

// A check that refuses the received bytes fails the download before the
// commit: OnFailure, its error, the good copy kept and no temporary file left.
TEST_F(FtpDownloadTest, RefusedBytesKeepTheGoodCopy)
{
    local.Write("f", "good copy");
    UpToRetr("150 Opening (5 bytes).\r\n").ConnectData().SendData("forge").CloseData().Send("226 Done.\r\n");
    ConnectToScript();
    std::string seen;
    EXPECT_EQ(FailureOf([&] {
                  client.Download("f", local / "f", [&seen](const TFileStream &received) {
                      received.ReadBack([&seen](std::string_view piece) { seen.append(piece); });
                      throw Exception("refused");
                  });
              }),
              "refused");
    EXPECT_EQ(seen, "forge");
    EXPECT_EQ(Entries("OnFailure"), std::vector<std::string>{"OnFailure " + kDownload});
    EXPECT_THAT(Entries("OnSuccess"), IsEmpty());
    EXPECT_EQ(harness::NamesIn(local.Path()), std::vector<std::string>{"f"});
    EXPECT_EQ(local.Read("f"), "good copy");
}
