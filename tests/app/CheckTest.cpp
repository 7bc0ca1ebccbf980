// The check for news without a window: the status texts and boxes the logic
// gives its view while it connects, logs in and out.
#include "tests/app/FormFixture.h"

#include "harness/ScriptedFtpServer.h"
#include "harness/TestCertificates.h"
#include "platform/net/HostLookup.h"
#include "tests/support/FailureOf.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/NetTestSupport.h"

#include <gmock/gmock.h>

#include <algorithm>

using ::testing::IsEmpty;
using testsupport::FailureOf;

namespace {

const std::string CannotConnect = Cp1250("Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.");
const std::string HostNotFound = Cp1250("Nie znaleziono serwera.\nSprawdź adres FTP, modem, itp.");

class Check : public FormFixture {
protected:
    // The installed product and settings pointing at Host:Port, then the start.
    void StartFor(const std::string &host, int port)
    {
        PrepareProduct(host, port);
        EXPECT_EQ(Start(), "");
    }
    // Fails unless every text appears among the status texts, in this order.
    void ExpectStatusesInOrder(const std::vector<std::string> &texts) const
    {
        auto at = view->statuses.begin();
        for (const std::string &text : texts) {
            at = std::find(at, view->statuses.end(), text);
            ASSERT_NE(at, view->statuses.end()) << "no status \"" << text << "\" in order";
            ++at;
        }
    }
};

} // namespace

TEST_F(Check, UnknownHostShowsTwoBoxes)
{
    testsupport::FakeResolver names(true, 0, net::WSAHOST_NOT_FOUND);
    StartFor("no-such-host.example", 21);
    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "");
    EXPECT_EQ(view->errorMessages, (std::vector<std::string>{HostNotFound, CannotConnect}));
    EXPECT_EQ(names.Names, std::vector<std::string>{"no-such-host.example"});
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(form->FtpClient1->ReportLevel, 1);
    EXPECT_EQ(form->PendingKind, 0);
    EXPECT_EQ(view->cursors, (std::vector<TCursor>{TCursor::HourGlass, TCursor::Default}));
}

TEST_F(Check, RejectedLoginShowsTwoBoxesAndLogsOut)
{
    harness::ScriptedFtpServer server;
    server.Send("220 Ready.\r\n").Reply("331 Password required.\r\n").Reply("530 Login incorrect.\r\n");
    server.Start();
    StartFor("127.0.0.1", server.Port());
    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "");
    EXPECT_EQ(view->errorMessages, (std::vector<std::string>{CannotConnect, CannotConnect}));
    EXPECT_FALSE(form->LoggedIn);
    ExpectStatusesInOrder({"530 Login incorrect.\r\n", "QUIT", Cp1250("Przerwano połączenie"), "Disconnected"});
    EXPECT_NE(std::find(view->statuses.begin(), view->statuses.end(), "221 Goodbye.\r\n"), view->statuses.end());
    const auto transcript = server.Transcript();
    EXPECT_EQ(transcript.back(), "QUIT");
    EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "TYPE I"), 0);
}

TEST_F(Check, UntickingTheProxyConnectsStraightToTheServer)
{
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword();
    server.Start();
    StartFor("127.0.0.1", server.Port());
    view->SetProxyChecked(true);
    view->SetFieldText(TField::Proxy, "127.0.0.1");
    view->SetFieldText(TField::ProxyPort, std::to_string(testpeer::RefusedPort()));
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    EXPECT_FALSE(form->LoggedIn);

    view->SetProxyChecked(false);
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    ASSERT_TRUE(form->LoggedIn);
    // Through a proxy the user name would carry "@" and the server's name.
    const std::string user = server.Transcript().at(0);
    EXPECT_EQ(user.rfind("USER ", 0), 0u);
    EXPECT_EQ(user.find('@'), std::string::npos);
}

TEST_F(Check, DisconnectWhenNotConnectedShowsNothing)
{
    StartFor("127.0.0.1", 21);
    EXPECT_EQ(FailureOf([this] { form->SpeedDisconnectClick(); }), "");
    EXPECT_EQ(FailureOf([this] { form->SpeedAbortClick(); }), "");
    EXPECT_THAT(view->errorMessages, IsEmpty());
    EXPECT_THAT(view->messageDialogs, IsEmpty());
    EXPECT_THAT(view->statuses, IsEmpty());
}

TEST_F(Check, DisconnectLogsOut)
{
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword();
    server.Start();
    StartFor("127.0.0.1", server.Port());
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    EXPECT_TRUE(form->LoggedIn);
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), ""); // already connected: nothing new
    EXPECT_EQ(FailureOf([this] { form->SpeedDisconnectClick(); }), "");
    EXPECT_FALSE(form->LoggedIn);
    // The server closes right after its goodbye; the client's own close still comes last.
    ExpectStatusesInOrder({Cp1250("Uzyskano połączenie z serwerem"), "QUIT", "221 Goodbye.\r\n",
                           Cp1250("Przerwano połączenie")});
    EXPECT_EQ(view->statuses.back(), Cp1250("Przerwano połączenie"));
    EXPECT_EQ(server.Transcript().back(), "QUIT");
    EXPECT_THAT(view->errorMessages, IsEmpty());
}

TEST_F(Check, NewsAnnouncedLargerThan64MiBIsNotFetched)
{
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword()
        .Reply("200 Type set.\r\n")
        .PortThenRetr("150 Opening (67108865 bytes).\r\n")
        .Send("426 Connection closed; transfer aborted.\r\n");
    server.Start();
    StartFor("127.0.0.1", server.Port());
    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }),
              "File too large: 67108865 bytes announced, at most 67108864");
    ExpectStatusesInOrder({"426 Connection closed; transfer aborted.\r\n", Cp1250("Błąd pobierania pliku")});
}

class SecureCheck : public Check {
protected:
    // The product and settings for the server, with encryption on and the
    // test authority trusted, then the start.
    void StartSecured()
    {
        server.Start();
        PrepareProduct("127.0.0.1", server.Port());
        std::filesystem::copy_file(certificates.CaFile(), dir / "firma.pem");
        Put("vm_ver32.ini", Read("vm_ver32.ini") + "Szyfrowanie=Tak\r\nCertyfikatCA=firma.pem\r\n");
        EXPECT_EQ(Start(), "");
    }
    harness::ScriptedFtpServer &SecuredWith(harness::TestCertificates::Kind kind)
    {
        const harness::CertificateFiles pair = certificates.Server(kind);
        return server.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(pair.certFile, pair.keyFile);
    }
    harness::TestCertificates certificates;
    harness::ScriptedFtpServer server;
};

TEST_F(SecureCheck, UntrustedCertificateShowsOneBoxThatSaysWhy)
{
    // The CA file names an authority, but not the one that signed the server's certificate.
    SecuredWith(harness::TestCertificates::Kind::SelfSigned);
    StartSecured();
    EXPECT_EQ(form->FtpClient1->TrustedCaFile, ProgramDir() + "firma.pem");

    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "");
    EXPECT_EQ(view->errorMessages, std::vector<std::string>{Cp1250("Nie mogę nawiązać szyfrowanego połączenia z "
                                                                   "serwerem.\nCertyfikat serwera nie jest zaufany.")});
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(server.Transcript(), std::vector<std::string>{"AUTH TLS"});
}

// A record that is not the server's breaks the stream: the check ends at once
// with the connection, and the next click logs in afresh.
TEST_F(SecureCheck, BrokenRecordEndsTheCheckAndTheConnection)
{
    SecuredWith(harness::TestCertificates::Kind::Good)
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protection level set to P\r\n")
        .Reply("230 Logged in.\r\n")
        .Receive()
        .SendPastTls("200 Type set to I.\r\n")
        .AwaitSignal();
    StartSecured();
    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "Connection closed by the peer");
    EXPECT_EQ(view->errorMessages, std::vector<std::string>{"Error 10054: 10054:Connection reset by peer"});
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(view->statuses.back(), Cp1250("Przerwano połączenie"));
    server.Signal();
}
