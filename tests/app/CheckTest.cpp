// The check for news without a window: the status texts and boxes the logic
// gives its view while it connects, logs in and out.
#include "tests/app/CheckFixture.h"

#include "harness/ScriptedFtpServer.h"
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

} // namespace

TEST_F(Check, UnknownHostShowsTwoBoxes)
{
    testsupport::FakeResolver names(true, 0, net::ErrorCode::HostNotFound);
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
