// Whole sessions against real FTP servers and a real FTP proxy: a 5 MB file
// must arrive byte for byte.
#include "tests/ftp/FtpClientFixture.h"
#include "harness/PrivateNetwork.h"
#include "tests/support/FailureOf.h"
#include "tests/support/RegexMatcher.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

using testsupport::FailureOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testsupport::MatchesRegex;

namespace {

const std::string kBig = harness::PatternBytes(5 * 1024 * 1024);
const std::string kBigName = "pub/news/big.bin";

class FtpRealServerTest : public FtpClientTest {
protected:
    FtpRealServerTest() { files.Write(kBigName, kBig); }
    void SetUp() override { VM_SKIP_WITHOUT_PRIVATE_NETWORK(); }

    // Logs in, sets binary mode, fetches the big file, logs out.
    void FetchBigFile()
    {
        client.Connect();
        client.Mode(2);
        client.OnTransactionStart = [this](TTcpSocket *) {
            log.push_back("OnTransactionStart");
            totalAtStart = client.BytesTotal;
        };
        client.Download(kBigName, local / "big.bin");
        client.Disconnect();
    }
    void ExpectBigFileArrived()
    {
        const std::string got = local.Read("big.bin");
        EXPECT_EQ(got.size(), kBig.size());
        EXPECT_EQ(std::hash<std::string>{}(got), std::hash<std::string>{}(kBig));
        EXPECT_EQ(client.BytesTotal, static_cast<int64_t>(kBig.size()));
        EXPECT_THAT(log, Contains("status: Received 5242880 Bytes"));
    }
    int64_t totalAtStart = -1;
};

TEST_F(FtpRealServerTest, VsftpdDeliversTheFileWithItsAnnouncedSize)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path());
    Target(realServer->Host(), realServer->Port());
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_EQ(totalAtStart, static_cast<int64_t>(kBig.size()));
    const std::vector<std::string> events = Events();
    const auto logout = std::find(events.begin(), events.end(), "OnDisconnect");
    EXPECT_THAT(std::vector(events.begin(), logout),
                ElementsAre("OnConnect", "OnSuccess " + KindText(cmdDoCommand), "OnTransactionStart", "OnPacketRecvd",
                            "OnTransactionStop", "OnSuccess " + KindText(cmdDownload)));
    EXPECT_THAT(log, Contains(MatchesRegex("status: PORT 127,0,0,1,[0-9]+,[0-9]+")));
    EXPECT_THAT(log, Contains("status: 226 Transfer complete.\r\n"));
    // vsftpd exits right after its goodbye, and whether the client sees the
    // close before the reply is the server's timing; the client's own close
    // comes last either way.
    EXPECT_THAT(std::vector(log.end() - 2, log.end()), ElementsAre("status: 221 Goodbye.\r\n", "OnDisconnect"));
}

TEST_F(FtpRealServerTest, PyftpdlibDeliversTheFileThatStartsBeforeTheCapture)
{
    realServer = std::make_unique<harness::PyftpdlibServer>(files.Path());
    Target(realServer->Host(), realServer->Port());
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_EQ(totalAtStart, 0);  // 125 names no size
    EXPECT_THAT(Entries("OnSuccess"), ElementsAre("OnSuccess " + KindText(cmdDoCommand),
                                                  "OnSuccess " + KindText(cmdDownload)));
}

TEST_F(FtpRealServerTest, ProxyLoginNamesTheServerAndTheFileArrives)
{
    auto proxy = std::make_unique<harness::FtpProxy>(files.Path());
    Target(harness::FtpProxy::TargetHost(), 1);  // the port goes nowhere: the proxy picks 21
    client.Proxy = proxy->Host();
    client.ProxyPort = proxy->Port();
    const harness::FtpProxy &seen = *proxy;
    realServer = std::move(proxy);
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_THAT(Entries("status: USER"), ElementsAre("status: USER anonymous"));
    EXPECT_THAT(seen.Log(), HasSubstr("'USER anonymous' dest " + harness::FtpProxy::TargetHost() + ":21"));
}

TEST_F(FtpRealServerTest, MissingFileIsRefusedAndTheSessionGoesOn)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path());
    Target(realServer->Host(), realServer->Port());
    client.Connect();
    EXPECT_EQ(FailureOf<FTPException>([&] { client.Download("pub/news/missing.inf", local / "missing.inf"); }), "550 Failed to open file.\r\n");
    EXPECT_FALSE(local.Exists("missing.inf"));
    client.Download(kBigName, local / "big.bin");
    client.Disconnect();
    ExpectBigFileArrived();
}

TEST_F(FtpRealServerTest, PassiveModeFetchesFromVsftpdThatRefusesActiveMode)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "127.0.0.1", 0,
                                                         harness::VsftpdServer::DataModes::PassiveOnly);
    Target(realServer->Host(), realServer->Port());
    client.Passive = true;
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_EQ(totalAtStart, static_cast<int64_t>(kBig.size()));
    const std::vector<std::string> events = Events();
    const auto logout = std::find(events.begin(), events.end(), "OnDisconnect");
    EXPECT_THAT(std::vector(events.begin(), logout),
                ElementsAre("OnConnect", "OnSuccess " + KindText(cmdDoCommand), "OnTransactionStart", "OnPacketRecvd",
                            "OnTransactionStop", "OnSuccess " + KindText(cmdDownload)));
    EXPECT_THAT(log, Contains(MatchesRegex("status: 229 Entering Extended Passive Mode \\(\\|\\|\\|[0-9]+\\|\\)\r\n")));
}

TEST_F(FtpRealServerTest, ActiveModeIsRefusedByVsftpdWithoutIt)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "127.0.0.1", 0,
                                                         harness::VsftpdServer::DataModes::PassiveOnly);
    Target(realServer->Host(), realServer->Port());
    client.Connect();
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download(kBigName, local / "big.bin"); }), "550 Permission denied.\r\n");
    EXPECT_FALSE(local.Exists("big.bin"));
    EXPECT_THAT(Entries("OnFailure"), ElementsAre("OnFailure " + KindText(cmdDownload)));
}

TEST_F(FtpRealServerTest, PassiveModeFetchesFromPyftpdlib)
{
    realServer = std::make_unique<harness::PyftpdlibServer>(files.Path());
    Target(realServer->Host(), realServer->Port());
    client.Passive = true;
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_THAT(log, Contains(MatchesRegex("status: 229 .*")));
    EXPECT_THAT(Entries("OnSuccess"), ElementsAre("OnSuccess " + KindText(cmdDoCommand),
                                                  "OnSuccess " + KindText(cmdDownload)));
}

TEST_F(FtpRealServerTest, PassiveModeThroughTheProxyTakesTheDataFromTheProxy)
{
    auto proxy = std::make_unique<harness::FtpProxy>(files.Path());
    Target(harness::FtpProxy::TargetHost(), 1);
    client.Proxy = proxy->Host();
    client.ProxyPort = proxy->Port();
    realServer = std::move(proxy);
    client.Passive = true;
    FetchBigFile();
    ExpectBigFileArrived();
    EXPECT_THAT(Entries("OnSuccess"), ElementsAre("OnSuccess " + KindText(cmdDoCommand),
                                                  "OnSuccess " + KindText(cmdDownload)));
    EXPECT_THAT(log, Contains("status: PASV"));
}

}  // namespace
