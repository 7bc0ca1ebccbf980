// Sessions over IPv6 on ::1: real servers in active (EPRT) and passive (EPSV)
// mode, names with IPv6 addresses, and the refusals of the two IPv6 commands.
#include "tests/ftp/FtpClientFixture.h"
#include "harness/PrivateNetwork.h"
#include "tests/support/FailureOf.h"
#include "tests/support/RegexMatcher.h"
#include "tests/support/NetTestSupport.h"

#include <gmock/gmock.h>

using testsupport::FailureOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using testsupport::MatchesRegex;
using ::testing::Not;

namespace {

const std::string kFile = "pub/news/file.bin";
const std::string kContent = harness::PatternBytes(300000);

net::Address Literal(const std::string &text) { return *net::Address::FromLiteral(text); }

class FtpIpv6Test : public FtpClientTest {
protected:
    FtpIpv6Test() { files.Write(kFile, kContent); }
    void SetUp() override { VM_SKIP_WITHOUT_PRIVATE_NETWORK(); }

    void FetchAndExpectTheFile()
    {
        client.Connect();
        client.Mode(2);
        client.Download(kFile, local / "file.bin");
        client.Disconnect();
        EXPECT_EQ(local.Read("file.bin"), kContent);
        EXPECT_THAT(Entries("OnSuccess"), Contains("OnSuccess " + KindText(cmdDownload)));
    }
};

TEST_F(FtpIpv6Test, ActiveModeOffersTheDataPortWithEprtAndVsftpdDelivers)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "::1");
    Target("::1", realServer->Port());
    FetchAndExpectTheFile();
    EXPECT_THAT(log, Contains(MatchesRegex("status: EPRT \\|2\\|::1\\|[0-9]+\\|")));
    EXPECT_THAT(log, Not(Contains(MatchesRegex("status: PORT .*"))));
}

TEST_F(FtpIpv6Test, PassiveModeFetchesFromVsftpdThatRefusesActiveMode)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "::1", 0,
                                                         harness::VsftpdServer::DataModes::PassiveOnly);
    Target("::1", realServer->Port());
    client.Passive = true;
    FetchAndExpectTheFile();
    EXPECT_THAT(log, Contains(MatchesRegex("status: 229 .*")));
}

TEST_F(FtpIpv6Test, BracketedLiteralReachesPyftpdlibInBothModes)
{
    realServer = std::make_unique<harness::PyftpdlibServer>(files.Path(), "::1");
    Target("[::1]", realServer->Port());
    FetchAndExpectTheFile();
    client.Passive = true;
    FetchAndExpectTheFile();
    EXPECT_THAT(log, Contains(MatchesRegex("status: EPRT \\|2\\|::1\\|.*")));
    EXPECT_THAT(log, Contains(MatchesRegex("status: 229 .*")));
}

TEST_F(FtpIpv6Test, NameWithOnlyAnIpv6AddressIsReached)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "::1");
    testsupport::FakeResolver names(true, {Literal("::1")}, 0);
    Target("ftp.example", realServer->Port());
    FetchAndExpectTheFile();
    EXPECT_EQ(names.Names, std::vector<std::string>({"ftp.example"}));
}

// The server listens on IPv4 only: the name's IPv6 address refuses, and the
// IPv4 one is tried next within the same time-out. The data connection then
// speaks IPv4 as ever.
TEST_F(FtpIpv6Test, NameWhoseIpv6AddressRefusesIsReachedOverIpv4)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "127.0.0.1");
    testsupport::FakeResolver names(true, {Literal("::1"), Literal("127.0.0.1")}, 0);
    Target("ftp.example", realServer->Port());
    FetchAndExpectTheFile();
    EXPECT_THAT(log, Contains(MatchesRegex("status: PORT 127,0,0,1,[0-9]+,[0-9]+")));
}

// A dual-stack socket sees the server's data connection come from
// ::ffff:127.0.0.1: that is the server all the same, and PORT offers the port.
TEST_F(FtpIpv6Test, MappedIpv4LiteralFetchesInActiveModeWithPort)
{
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), "127.0.0.1");
    Target("::ffff:127.0.0.1", realServer->Port());
    FetchAndExpectTheFile();
    EXPECT_THAT(log, Contains(MatchesRegex("status: PORT 127,0,0,1,[0-9]+,[0-9]+")));
}

TEST_F(FtpIpv6Test, RefusedEprtFailsTheDownloadWithTheReply)
{
    harness::ScriptedFtpServer script("::1");
    script.LoggedIn().Reply("500 EPRT not understood.\r\n");
    script.Start();
    Target(script.Host(), script.Port());
    client.Connect();
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download("f", local / "f"); }), "500 EPRT not understood.\r\n");
    client.Disconnect();
    const std::vector<std::string> commands = script.Transcript();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_THAT(commands[1], MatchesRegex("EPRT \\|2\\|::1\\|[0-9]+\\|"));
    EXPECT_FALSE(local.Exists("f"));
}

// PASV has no IPv6 form: a refused EPSV ends the download without it.
TEST_F(FtpIpv6Test, RefusedEpsvFailsThePassiveDownloadWithoutPasv)
{
    harness::ScriptedFtpServer script("::1");
    script.LoggedIn().Reply("502 EPSV not implemented.\r\n");
    script.Start();
    Target(script.Host(), script.Port());
    client.Passive = true;
    client.Connect();
    EXPECT_EQ(FailureOf<Exception>([&] { client.Download("f", local / "f"); }), "502 EPSV not implemented.\r\n");
    client.Disconnect();
    EXPECT_THAT(script.Transcript(), ElementsAre("USER anonymous", "EPSV", "QUIT"));
}

} // namespace
