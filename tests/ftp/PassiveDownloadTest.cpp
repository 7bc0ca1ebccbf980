// Passive downloads against scripted servers: the port offers real servers
// do not make on demand (EPSV refused, a foreign or garbled 227, a data port
// that refuses or never answers) and aborts while the data connection opens.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"

#include <gmock/gmock.h>

using testsupport::FailureOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using DataPort = harness::ScriptedFtpServer::DataPort;

namespace {

const std::string kDownload = KindText(cmdDownload);
const std::string kEpsvOffer = "229 Entering Extended Passive Mode (|||{port}|)\r\n";

class PassiveDownloadTest : public FtpClientTest {
protected:
    // Small files arrive with the RETR reply, before the capture reports
    // packets; whether they do is the scheduler's choice.
    PassiveDownloadTest()
    {
        client.Passive = true;
        client.OnPacketRecvd = {};
    }

    // Logged in; EPSV is answered by the script that follows.
    harness::ScriptedFtpServer &LoggedIn()
    {
        return server.Send("220 Ready.\r\n").Reply("230 Logged in.\r\n");
    }
    // The data connection taken, RETR answered, the file sent and completed.
    void DeliverFile(harness::ScriptedFtpServer &script)
    {
        script.AcceptData()
            .Reply("150 Opening BINARY mode data connection (5 bytes).\r\n")
            .SendData("hello")
            .CloseData()
            .Send("226 Transfer complete.\r\n");
    }
    void ConnectToScript()
    {
        server.Start();
        TargetScriptedServer();
        client.Connect();
        log.clear();
    }
    // Download fails with this message; the local copy is untouched.
    std::string FailedDownloadMessage()
    {
        local.Write("f", "good copy");
        const std::string message = FailureOf<Exception>([&] { client.Download("f", local / "f"); });
        EXPECT_EQ(local.Read("f"), "good copy");
        EXPECT_TRUE(client.IsConnected());
        return message;
    }
    // Commands the server received after the login, up to the logout.
    std::vector<std::string> CommandsAfterLogin()
    {
        client.Disconnect();
        const std::vector<std::string> all = server.Transcript();
        EXPECT_EQ(all.back(), "QUIT");
        return std::vector(all.begin() + 1, all.end() - 1);
    }
};

TEST_F(PassiveDownloadTest, EpsvPortIsConnectedBeforeRetrWithTheEventsOfActiveMode)
{
    DeliverFile(LoggedIn().ReplyPassive(kEpsvOffer));
    ConnectToScript();
    int64_t totalAtStart = -1;
    client.OnTransactionStart = [&](TTcpSocket *) {
        log.push_back("OnTransactionStart");
        totalAtStart = client.BytesTotal;
    };
    client.Download("pub/news/a.bin", local / "a.bin");

    EXPECT_EQ(local.Read("a.bin"), "hello");
    EXPECT_EQ(totalAtStart, 5);
    EXPECT_EQ(client.BytesTotal, 5);
    ASSERT_EQ(log.size(), 9u) << ::testing::PrintToString(log);
    EXPECT_EQ(log[0], "status: EPSV");
    EXPECT_THAT(log[1], StartsWith("status: 229 Entering Extended Passive Mode (|||"));
    EXPECT_THAT(std::vector(log.begin() + 2, log.end()),
                ElementsAre("status: RETR pub/news/a.bin",
                            "status: 150 Opening BINARY mode data connection (5 bytes).\r\n", "OnTransactionStart",
                            "OnTransactionStop", "status: Received 5 Bytes",
                            "status: 226 Transfer complete.\r\n", "OnSuccess " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV", "RETR pub/news/a.bin"));
}

TEST_F(PassiveDownloadTest, RefusedEpsvFallsBackToPasv)
{
    DeliverFile(LoggedIn()
                    .Reply("500 'EPSV': command not understood.\r\n")
                    .ReplyPassive("227 Entering Passive Mode (127,0,0,1,{p1},{p2}).\r\n"));
    ConnectToScript();
    client.Download("f", local / "f");
    EXPECT_EQ(local.Read("f"), "hello");
    EXPECT_THAT(std::vector(log.begin(), log.begin() + 4),
                ElementsAre("status: EPSV", "status: 500 'EPSV': command not understood.\r\n", "status: PASV",
                            StartsWith("status: 227 Entering Passive Mode (127,0,0,1,")));
    EXPECT_THAT(Events(), ElementsAre("OnTransactionStart", "OnTransactionStop", "OnSuccess " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV", "PASV", "RETR f"));
}

TEST_F(PassiveDownloadTest, ForeignAddressInThePasvReplyStillConnectsToTheServer)
{
    // The scripted server listens on 127.0.0.1 only: the data arrives only if
    // the client ignores the address the reply names.
    DeliverFile(LoggedIn()
                    .Reply("501 Syntax error.\r\n")
                    .ReplyPassive("227 Entering Passive Mode (203,0,113,9,{p1},{p2}).\r\n"));
    ConnectToScript();
    client.Download("f", local / "f");
    EXPECT_EQ(local.Read("f"), "hello");
    EXPECT_THAT(Events(), ElementsAre("OnTransactionStart", "OnTransactionStop", "OnSuccess " + kDownload));
}

TEST_F(PassiveDownloadTest, GarbledPasvReplyFailsBeforeRetr)
{
    LoggedIn()
        .Reply("502 EPSV not implemented.\r\n")
        .Reply("227 Entering Passive Mode (127,0,0,1,4).\r\n");
    ConnectToScript();
    EXPECT_EQ(FailedDownloadMessage(),
              "No data port in the server's reply: 227 Entering Passive Mode (127,0,0,1,4).");
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV", "PASV"));
}

TEST_F(PassiveDownloadTest, RefusedPasvFailsWithTheRefusalEvenWhenHandled)
{
    LoggedIn().Reply("502 EPSV not implemented.\r\n").Reply("550 Passive mode disabled.\r\n");
    ConnectToScript();
    failureHandled = true;  // with no data port there is nothing to go on with
    EXPECT_EQ(FailedDownloadMessage(), "550 Passive mode disabled.\r\n");
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV", "PASV"));
}

TEST_F(PassiveDownloadTest, DataPortThatRefusesFailsTheDownload)
{
    LoggedIn().ReplyPassive(kEpsvOffer, DataPort::Refusing);
    ConnectToScript();
    const std::string message = FailedDownloadMessage();
    EXPECT_THAT(message, StartsWith("Cannot open the data connection to 127.0.0.1 port "));
    EXPECT_THAT(message, ::testing::EndsWith(": Connection Failed"));
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV"));
}

TEST_F(PassiveDownloadTest, DataPortThatNeverAnswersTimesOut)
{
    LoggedIn().ReplyPassive(kEpsvOffer, DataPort::Full);
    ConnectToScript();
    client.TimeOut = 200;
    EXPECT_THAT(FailedDownloadMessage(), ::testing::EndsWith(": Connection Timed out"));
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + kDownload));
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV"));
}

TEST_F(PassiveDownloadTest, AbortDuringTheDataConnectEndsWithTheCancelError)
{
    LoggedIn().ReplyPassive(kEpsvOffer, DataPort::Full);
    ConnectToScript();
    client.AbortTransfer();  // nothing runs: nothing happens
    AbortTransferAfterStatus("229 ");
    EXPECT_EQ(FailedDownloadMessage(), "Connection Canceled");
    EXPECT_THAT(Events(), IsEmpty());
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV"));
}

TEST_F(PassiveDownloadTest, AbortWhileTheOfferIsAwaitedEndsBeforeTheConnect)
{
    LoggedIn().ReplyPassive(kEpsvOffer);
    ConnectToScript();
    client.OnStatus = [&](TTcpSocket *, const std::string &text) {
        log.push_back("status: " + text);
        if (text == "EPSV")
            client.AbortTransfer();
    };
    EXPECT_EQ(FailedDownloadMessage(), "Connection Canceled");
    EXPECT_THAT(Events(), IsEmpty());
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV"));
}

TEST_F(PassiveDownloadTest, AbortDuringTheCaptureKeepsTheOldCopyAndTheConnection)
{
    // The data comes only once the capture runs, so that it is reported.
    LoggedIn()
        .ReplyPassive(kEpsvOffer)
        .AcceptData()
        .Reply("150 Opening (50000 bytes).\r\n")
        .AwaitSignal()
        .SendData(std::string(1000, 'x'))
        .AwaitSignal()
        .CloseData();
    ConnectToScript();
    client.OnTransactionStart = [&](TTcpSocket *) {
        log.push_back("OnTransactionStart");
        server.Signal();
    };
    client.OnPacketRecvd = [&](TTcpSocket *) {
        if (client.BytesRecvd() == 1000)
            client.AbortTransfer();
    };
    EXPECT_EQ(FailedDownloadMessage(), "Socket send aborted");
    EXPECT_THAT(Events(), ElementsAre("OnTransactionStart"));
    server.Signal();
    EXPECT_THAT(CommandsAfterLogin(), ElementsAre("EPSV", "RETR f"));
}

}  // namespace
