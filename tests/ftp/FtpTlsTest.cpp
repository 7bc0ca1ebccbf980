// FTP over TLS: real servers deliver over encrypted control and data
// connections, active and passive; a server that cannot prove who it is, or
// will not protect the session, never receives the login, and nothing more
// goes out in the clear.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/ftp/TlsResumption.h"
#include "harness/PrivateNetwork.h"
#include "harness/TestCertificates.h"
#include "platform/CodePage.h"
#include "tests/support/FailureOf.h"
#include "tests/support/RegexMatcher.h"
#include "tests/support/NetTestSupport.h"

#include <gmock/gmock.h>

#include <algorithm>

using harness::TestCertificates;
using ::testing::Contains;
using ::testing::ElementsAre;
using testsupport::MatchesRegex;
using ::testing::Not;
using namespace std::chrono_literals;

namespace {

// vsftpd insists on resumption wherever the TLS under test resumes.
harness::VsftpdServer::SessionReuse ReuseToAskFor()
{
    return testsupport::TlsResumesSessions() ? harness::VsftpdServer::SessionReuse::Required
                                             : harness::VsftpdServer::SessionReuse::NotRequired;
}

const std::string kContent = harness::PatternBytes(300000);

class FtpTlsTest : public FtpClientTest {
protected:
    FtpTlsTest()
    {
        client.UseTls = true;
        client.TrustedCaFile = certificates.CaFile();
        files.Write("pub/news/f", kContent);
    }

    // Logs in to Host (the server's own address when empty), fetches the
    // file and logs out; the file arrived whole.
    void FetchOverTls(const std::string &host = {})
    {
        Target(host.empty() ? realServer->Host() : host, realServer->Port());
        client.Connect();
        client.Mode(2);
        client.Download("pub/news/f", local / "f");
        client.Disconnect();
        EXPECT_EQ(local.Read("f"), kContent);
        const std::string secured = "status: " + Cp("Połączenie szyfrowane: ") + "TLSv1\\.[23], TLS_[A-Z0-9_]+";
        EXPECT_THAT(log, Contains(MatchesRegex(secured)));
        EXPECT_THAT(Events(), Contains("OnSuccess " + KindText(cmdDownload)));
    }

    // The greeting, AUTH TLS accepted, and the handshake with a certificate of Kind.
    harness::ScriptedFtpServer &SecuredWith(TestCertificates::Kind kind)
    {
        const harness::CertificateFiles pair = certificates.Server(kind);
        return server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(pair.certFile, pair.keyFile);
    }

    // Secured with a good certificate, protected, and logged in.
    harness::ScriptedFtpServer &LoggedInOverTls()
    {
        return ProtectedAndLoggedIn(SecuredWith(TestCertificates::Kind::Good));
    }
    // After the handshake: PBSZ and PROT accepted, then the login.
    static harness::ScriptedFtpServer &ProtectedAndLoggedIn(harness::ScriptedFtpServer &secured)
    {
        return secured.Reply("200 PBSZ=0\r\n").Reply("200 Protection level set to P\r\n").Reply("230 Logged in.\r\n");
    }

    // Why Connect failed to secure the connection (None: it did not).
    net::TlsFailure ConnectFailure()
    {
        net::TlsFailure reason = net::TlsFailure::None;
        try {
            client.Connect();
        } catch (const ETlsError &e) {
            reason = e.Reason;
        }
        EXPECT_FALSE(client.IsConnected());
        return reason;
    }
    // The same against the scripted server.
    net::TlsFailure LoginFailure()
    {
        server.Start();
        TargetScriptedServer();
        return ConnectFailure();
    }

    TestCertificates certificates;
};

TEST_F(FtpTlsTest, VsftpdDeliversOverTlsInActiveAndPassiveMode)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    realServer = std::make_unique<harness::VsftpdServer>(
        files.Path(), certificates.Server(TestCertificates::Kind::Good),
        harness::VsftpdServer::DataModes::ActiveAndPassive, "127.0.0.1", ReuseToAskFor());
    FetchOverTls();
    log.clear();
    client.Passive = true;
    FetchOverTls();
}

// The certificate names ::1; the brackets of the literal are no part of it.
TEST_F(FtpTlsTest, ServerOnIpv6IsCheckedByItsAddressInActiveAndPassiveMode)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    realServer = std::make_unique<harness::VsftpdServer>(
        files.Path(), certificates.Server(TestCertificates::Kind::Good),
        harness::VsftpdServer::DataModes::ActiveAndPassive, "::1", ReuseToAskFor());
    FetchOverTls("[::1]");
    log.clear();
    client.Passive = true;
    FetchOverTls("[::1]");
}

TEST_F(FtpTlsTest, ServerNamedByItsHostNameIsCheckedByThatName)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    realServer = std::make_unique<harness::VsftpdServer>(files.Path(), certificates.Server(TestCertificates::Kind::Good));
    Target("localhost", realServer->Port());
    client.Connect();
    EXPECT_TRUE(client.Secured());
    client.Disconnect();

    const harness::CertificateFiles other = certificates.Server(TestCertificates::Kind::OtherName);
    server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(other.certFile, other.keyFile).Start();
    Target("localhost", server.Port());
    EXPECT_EQ(ConnectFailure(), net::TlsFailure::NameMismatch);
}

TEST_F(FtpTlsTest, PyftpdlibDeliversOverTlsInActiveAndPassiveMode)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    realServer =
        std::make_unique<harness::PyftpdlibServer>(files.Path(), certificates.Server(TestCertificates::Kind::Good));
    FetchOverTls();
    log.clear();
    client.Passive = true;
    FetchOverTls();
}

// The suites of TLS 1.2 are where the libraries' own names differ from the
// standard ones, which both systems show.
TEST_F(FtpTlsTest, StatusTextNamesTheCipherByItsStandardName)
{
    const harness::CertificateFiles pair = certificates.Server(TestCertificates::Kind::Good);
    ProtectedAndLoggedIn(
        server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls12(pair.certFile, pair.keyFile));
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_THAT(log, Contains(MatchesRegex("status: " + Cp("Połączenie szyfrowane: ") +
                                           "TLSv1\\.2, TLS_ECDHE_ECDSA_WITH_[A-Z0-9_]+")));
}

TEST_F(FtpTlsTest, ServerRefusingAuthNeverGetsTheLogin)
{
    server.Send("220 Plain only.\r\n").Reply("500 AUTH not understood.\r\n");
    EXPECT_EQ(LoginFailure(), net::TlsFailure::Refused);
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS"));
    EXPECT_THAT(log, Contains("OnDisconnect"));
}

TEST_F(FtpTlsTest, ServerGoingOnInPlainTextAfter234NeverGetsTheLogin)
{
    server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n220 Still plain.\r\n");
    EXPECT_EQ(LoginFailure(), net::TlsFailure::Handshake);
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS"));
}

TEST_F(FtpTlsTest, CertificateThatProvesNothingEndsTheLoginBeforeUser)
{
    const struct {
        TestCertificates::Kind kind;
        net::TlsFailure reason;
        const char *address;  // where the server listens
    } table[] = {
        {TestCertificates::Kind::OtherName, net::TlsFailure::NameMismatch, "127.0.0.1"},
        {TestCertificates::Kind::SelfSigned, net::TlsFailure::Untrusted, "127.0.0.1"},
        {TestCertificates::Kind::Expired, net::TlsFailure::Expired, "127.0.0.1"},
        {TestCertificates::Kind::NotYetValid, net::TlsFailure::NotYetValid, "127.0.0.1"},
        // Issued for logging in as a client: it proves no server.
        {TestCertificates::Kind::ClientAuthOnly, net::TlsFailure::Untrusted, "127.0.0.1"},
        // Good for 127.0.0.1 and ::1, not for the address it is shown at.
        {TestCertificates::Kind::Good, net::TlsFailure::NameMismatch, "127.0.0.2"},
    };
    for (const auto &row : table) {
        harness::ScriptedFtpServer scripted(row.address);
        const harness::CertificateFiles pair = certificates.Server(row.kind);
        scripted.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(pair.certFile, pair.keyFile).Start();
        Target(scripted.Host(), scripted.Port());
        EXPECT_EQ(ConnectFailure(), row.reason) << static_cast<int>(row.kind);
        EXPECT_THAT(scripted.Transcript(), ElementsAre("AUTH TLS")) << static_cast<int>(row.kind);
    }
}

// A certificate that names no purpose is good for every one, a server's too.
TEST_F(FtpTlsTest, CertificateThatNamesNoPurposeLogsIn)
{
    ProtectedAndLoggedIn(SecuredWith(TestCertificates::Kind::NoExtendedKeyUsage));
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_TRUE(client.Secured());
}

TEST_F(FtpTlsTest, ProtectionRefusedEndsTheLoginBeforeUser)
{
    SecuredWith(TestCertificates::Kind::Good).Reply("200 PBSZ=0\r\n").Reply("534 Protection level refused.\r\n");
    EXPECT_EQ(LoginFailure(), net::TlsFailure::Unprotected);
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS", "PBSZ 0", "PROT P"));
}

class FtpTlsDownloadTest : public FtpTlsTest {
protected:
    FtpTlsDownloadTest() { local.Write("f", "good copy"); }

    // Logged in, SIZE answered with SizeReply, PORT accepted.
    harness::ScriptedFtpServer &UpToRetr(const std::string &sizeReply)
    {
        return LoggedInOverTls().Reply(sizeReply).Reply("200 PORT command successful.\r\n");
    }
    // Downloads f from the script; the failure's text, empty on success.
    std::string Fetch()
    {
        server.Start();
        TargetScriptedServer();
        client.Connect();
        return testsupport::FailureOf<Exception>([&] { client.Download("f", local / "f"); });
    }
};

TEST_F(FtpTlsDownloadTest, DataCutWithoutCloseNotifyShortOfTheAnnouncedSizeFails)
{
    UpToRetr("213 63\r\n")
        .Reply("150 Opening BINARY mode data connection for f (63 bytes).\r\n")
        .DataTls(true)
        .ConnectData()
        .SendData(std::string(40, 'x'))
        .CloseDataWithoutTlsShutdown()
        .Send("226 Transfer complete.\r\n");
    EXPECT_EQ(Fetch(), "Transfer incomplete: received 40 of 63 bytes");
    EXPECT_EQ(local.Read("f"), "good copy");
    EXPECT_THAT(server.DataTlsSessionsReused(), ElementsAre(testsupport::TlsResumesSessions()));
    EXPECT_THAT(log, Contains("status: SIZE f"));
}

// Without a size the end must be the server's own: close_notify.
TEST_F(FtpTlsDownloadTest, DataCutWithoutCloseNotifyWhenNoSizeIsKnownFails)
{
    UpToRetr("550 SIZE not allowed.\r\n")
        .Reply("150 Opening BINARY mode data connection for f.\r\n")
        .DataTls(true)
        .ConnectData()
        .SendData(std::string(40, 'x'))
        .CloseDataWithoutTlsShutdown()
        .Send("226 Transfer complete.\r\n");
    EXPECT_EQ(Fetch(), "Transfer incomplete: the data connection ended without close_notify after 40 bytes");
    EXPECT_EQ(local.Read("f"), "good copy");
    EXPECT_THAT(Events(), Contains("OnFailure " + KindText(cmdDownload)));
    EXPECT_THAT(Events(), Not(Contains("OnUnSupportedFunction " + KindText(cmdDownload))));
}

TEST_F(FtpTlsDownloadTest, DataEndedWithCloseNotifyWhenNoSizeIsKnownIsWhole)
{
    UpToRetr("502 SIZE not implemented.\r\n")
        .Reply("150 Opening BINARY mode data connection for f.\r\n")
        .DataTls(true)
        .ConnectData()
        .SendData(std::string(40, 'x'))
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    EXPECT_EQ(Fetch(), "") << server.TlsFailure();
    EXPECT_EQ(local.Read("f"), std::string(40, 'x'));
    EXPECT_THAT(Events(), Contains("OnSuccess " + KindText(cmdDownload)));
}

// Whoever is on the path can write to the data port before the handshake;
// none of it may reach the file.
TEST_F(FtpTlsDownloadTest, BytesBeforeThePassiveDataHandshakeFailTheDownload)
{
    client.Passive = true;
    LoggedInOverTls()
        .Reply("213 68\r\n")
        .ReplyPassive("229 Entering Extended Passive Mode (|||{port}|)\r\n")
        .AcceptData()
        .SendData("[Injected]\r\nWersja=9.99\r\n")
        .Reply("150 Opening BINARY mode data connection for f.\r\n")
        .SecureData()
        .SendData(std::string(68, 'x'))
        .CloseData()
        .Send("226 Transfer complete.\r\n");
    EXPECT_NE(Fetch(), "");
    EXPECT_EQ(local.Read("f"), "good copy");
    EXPECT_THAT(Events(), Contains("OnFailure " + KindText(cmdDownload)));
    EXPECT_THAT(Events(), Not(Contains("OnTransactionStart")));
}

TEST_F(FtpTlsDownloadTest, DataConnectionClosedDuringItsHandshakeFailsTheDownload)
{
    UpToRetr("213 68\r\n")
        .Reply("150 Opening BINARY mode data connection for f (68 bytes).\r\n")
        .ConnectData()
        .CloseDuringHandshake(true);
    EXPECT_EQ(Fetch(), "TLS Handshake Failed");
    EXPECT_EQ(local.Read("f"), "good copy");
    EXPECT_THAT(Events(), Contains("OnFailure " + KindText(cmdDownload)));
}

TEST_F(FtpTlsTest, ServerClosingAfter234EndsTheLoginBeforeUser)
{
    server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").CloseDuringHandshake(false);
    EXPECT_EQ(LoginFailure(), net::TlsFailure::Handshake);
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS"));
}

// A record the server did not write breaks the stream for good: the
// connection ends at once instead of every later command waiting in vain.
TEST_F(FtpTlsTest, BrokenRecordOnTheControlConnectionClosesIt)
{
    client.ReplyTimeOut = 30000;
    LoggedInOverTls()
        .Receive()
        .SendPastTls("200 Type set to I.\r\n")
        .AwaitSignal();
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_EQ(testsupport::FailureOf<Exception>([&] { client.Mode(2); }), "Connection closed by the peer");
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(Events(), Contains("OnDisconnect"));
    server.Signal();
}

// The connect reads "127.1" as 127.0.0.1; so must the certificate check.
TEST_F(FtpTlsTest, ShortFormOfAnAddressIsCheckedAsThatAddress)
{
    LoggedInOverTls();
    server.Start();
    Target("127.1", server.Port());
    client.Connect();
    EXPECT_TRUE(client.Secured());
}

// The name the certificate must hold is the server's name as it was given,
// less its final dot, which names the same host; an empty one is held by no
// certificate (TLS libraries take it as leave to skip the check).
TEST_F(FtpTlsTest, ServerNameIsMatchedWithoutItsFinalDotAndNeverWhenEmpty)
{
    const struct {
        const char *name;
        net::TlsFailure reason;
    } table[] = {
        {"localhost.", net::TlsFailure::None},
        {"", net::TlsFailure::NameMismatch},
    };
    const harness::CertificateFiles pair = certificates.Server(TestCertificates::Kind::Good);
    const net::TlsContext context(certificates.CaFile());
    for (const auto &row : table) {
        harness::ScriptedFtpServer scripted("127.0.0.1");
        scripted.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(pair.certFile, pair.keyFile).Start();
        TTcpSocket socket;
        socket.Host = scripted.Host();
        socket.Port = scripted.Port();
        socket.Connect();
        socket.ReadLn();
        socket.Writeln("AUTH TLS");
        socket.ReadLn();
        net::TlsFailure reason = net::TlsFailure::None;
        try {
            socket.StartTls(context, row.name);
        } catch (const ETlsError &e) {
            reason = e.Reason;
        }
        EXPECT_EQ(reason, row.reason) << '"' << row.name << '"';
    }
}

// A reply's further lines may carry no code: only "220 " ends it.
TEST_F(FtpTlsTest, GreetingWithAPlainMiddleLineLogsInOverTls)
{
    const harness::CertificateFiles pair = certificates.Server(TestCertificates::Kind::Good);
    server.Send("220-Welcome\r\nPlease be nice\r\n220 Ready.\r\n")
        .Reply("234 Proceed.\r\n")
        .StartTls(pair.certFile, pair.keyFile)
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protection level set to P\r\n")
        .Reply("331 Password required.\r\n")
        .Reply("230 Logged in.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_TRUE(client.Secured());
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS", "PBSZ 0", "PROT P", "USER anonymous", MatchesRegex("PASS .*")));
}

TEST_F(FtpTlsDownloadTest, MoreBytesThanAnnouncedFailAtOnce)
{
    UpToRetr("213 63\r\n")
        .Reply("150 Opening BINARY mode data connection for f (63 bytes).\r\n")
        .DataTls(true)
        .ConnectData()
        .SendData(std::string(100, 'x'))
        .AwaitDataClosedByClient()
        .Send("426 Connection closed; transfer aborted.\r\n");
    client.ReplyTimeOut = 20000;  // only a regression waits that long
    EXPECT_EQ(Fetch(), "Transfer too long: more than the 63 bytes announced");
    EXPECT_EQ(local.Read("f"), "good copy");
}

TEST_F(FtpTlsTest, LoginCancelledBeforeTheConnectionIsSecuredSendsNoQuitInTheClear)
{
    server.Send("220 Ready.\r\n").Receive().AwaitSignal();
    server.Start();
    TargetScriptedServer();
    // Once AUTH TLS is out, repeated, as the window does while it closes: a
    // QUIT would wait too.
    std::unique_ptr<testsupport::LoopTimer> clicks;
    client.OnStatus = [&](TTcpSocket *, const std::string &text) {
        if (text == "AUTH TLS")
            clicks = testsupport::CancelAfter(client, 50ms, true);
    };
    EXPECT_EQ(testsupport::FailureOf<Exception>([&] { client.Connect(); }), "Socket readln aborted");
    server.Signal();
    server.WaitUntilDone();
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS"));
}

TEST_F(FtpTlsTest, UnreadableCaFileEndsTheCheckBeforeConnecting)
{
    client.TrustedCaFile = local / "missing.pem";
    EXPECT_EQ(LoginFailure(), net::TlsFailure::CaFile);
    EXPECT_THAT(log, Not(Contains("OnDisconnect")));
    // A file that holds no certificate, or a broken one, trusts nothing.
    local.Write("text.pem", "company authority\n");
    local.Write("broken.pem", "-----BEGIN CERTIFICATE-----\n!not base64!\n-----END CERTIFICATE-----\n");
    for (const char *name : {"text.pem", "broken.pem"}) {
        client.TrustedCaFile = local / name;
        EXPECT_EQ(ConnectFailure(), net::TlsFailure::CaFile) << name;
    }
    EXPECT_THAT(log, Not(Contains("OnDisconnect")));
}

}  // namespace
