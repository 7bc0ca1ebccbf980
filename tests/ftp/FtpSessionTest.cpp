// The control session against scripted servers: greeting, login, commands,
// replies and logout, with the owner's view of them in order.
#include "tests/ftp/FtpClientFixture.h"
#include "tests/support/FailureOf.h"
#include "tests/support/RegexMatcher.h"

#include <gmock/gmock.h>

using testsupport::FailureOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Contains;
using testsupport::MatchesRegex;
using ::testing::Not;

namespace {

const std::string kDoCommand = KindText(cmdDoCommand);

TEST_F(FtpClientTest, LoginWithPasswordReportsEveryStepAndHidesThePassword)
{
    server.LoggedInWithPassword();
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_THAT(log, ElementsAre("status: 220 Ready.\r\n", "status: USER anonymous",
                                 "status: 331 Password required.\r\n", "status: PASS ",
                                 "status: 230 Logged in.\r\n", "OnConnect"));
    log.clear();
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "QUIT"));
    EXPECT_FALSE(client.IsConnected());
    // The server closes with its goodbye; the goodbye, which came first, is
    // read first, and the client's own close ends the session.
    EXPECT_THAT(log, ElementsAre("status: QUIT", "status: 221 Goodbye.\r\n", "OnDisconnect"));
}

TEST_F(FtpClientTest, GreetingOfSeveralLinesIsReadToItsEndBeforeUser)
{
    server.Send("220-Welcome\r\n 2nd line\r\n220 Ready.\r\n").Reply("230 Logged in.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_THAT(log, ElementsAre("status: 220-Welcome\r\n", "status:  2nd line\r\n", "status: 220 Ready.\r\n",
                                 "status: USER anonymous", "status: 230 Logged in.\r\n", "OnConnect"));
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "QUIT"));  // 230: no PASS
}

// Lines between the first and the last may carry no code: only "220 " ends
// the greeting, so USER and PASS each get their own answer.
TEST_F(FtpClientTest, GreetingWithAPlainMiddleLineIsReadToItsEnd)
{
    server.Send("220-Welcome\r\nPlease be nice\r\n220 Ready.\r\n")
        .Reply("331 Password required.\r\n")
        .Reply("230 Logged in.\r\n")
        .Reply("200 NOOP ok.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_THAT(log, ElementsAre("status: 220-Welcome\r\n", "status: Please be nice\r\n", "status: 220 Ready.\r\n",
                                 "status: USER anonymous", "status: 331 Password required.\r\n", "status: PASS ",
                                 "status: 230 Logged in.\r\n", "OnConnect"));
    log.clear();
    client.DoCommand("NOOP");
    EXPECT_THAT(log, ElementsAre("status: NOOP", "status: 200 NOOP ok.\r\n", "OnSuccess " + kDoCommand));
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "NOOP", "QUIT"));
}

TEST_F(FtpClientTest, RefusedPasswordLogsOutAndRaisesTheReply)
{
    // The QUIT reply is scripted so that the server keeps the connection open
    // and the client closes it: the order of OnDisconnect is then fixed.
    server.Send("220 Ready.\r\n")
        .Reply("331 Password required.\r\n")
        .Reply("530 Login incorrect.\r\n")
        .Reply("221 Goodbye.\r\n");
    server.Start();
    TargetScriptedServer();
    EXPECT_EQ(FailureOf<FTPException>([&] { client.Connect(); }), "530 Login incorrect.\r\n");
    EXPECT_THAT(log, ElementsAre("status: 220 Ready.\r\n", "status: USER anonymous",
                                 "status: 331 Password required.\r\n", "status: PASS ",
                                 "status: 530 Login incorrect.\r\n", "OnConnectionFailed", "status: QUIT",
                                 "status: 221 Goodbye.\r\n", "OnDisconnect", "status: Disconnected"));
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "QUIT"));
}

TEST_F(FtpClientTest, LoginTakesEveryReplyToUserOutside401To599AsDone)
{
    // 400 is not a refusal of the login, 530 is.
    server.Send("220 Ready.\r\n").Reply("400 Odd.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_THAT(Events(), ElementsAre("OnConnect"));
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous"));
}

TEST_F(FtpClientTest, ProxyLoginNamesTheServerOnlyInTheCommand)
{
    server.Send("220 Proxy ready.\r\n").Reply("331 Password required.\r\n").Reply("230 Logged in.\r\n");
    server.Start();
    Target("ftp.example.org", 2121);
    client.Proxy = server.Host();
    client.ProxyPort = server.Port();
    client.Connect();
    EXPECT_THAT(Entries("status: USER"), ElementsAre("status: USER anonymous"));
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous@ftp.example.org", "PASS guest@example.org", "QUIT"));
}

TEST_F(FtpClientTest, AuthenticationNeededMayFillInTheUser)
{
    server.LoggedInWithPassword();
    server.Start();
    Target(server.Host(), server.Port());
    client.UserID.clear();
    client.OnAuthenticationNeeded = [this](bool &) {
        client.UserID = "ftp";
        client.Password = "secret";
    };
    client.Connect();
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER ftp", "PASS secret", "QUIT"));
}

TEST_F(FtpClientTest, ConnectWhileConnectedAndDisconnectWhileNotDoNothing)
{
    server.LoggedInWithPassword();
    server.Start();
    TargetScriptedServer();
    client.Disconnect();
    EXPECT_THAT(log, IsEmpty());
    client.Connect();
    log.clear();
    client.Connect();
    EXPECT_THAT(log, IsEmpty());
    client.Disconnect();
    log.clear();
    client.Disconnect();
    EXPECT_THAT(log, IsEmpty());
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "QUIT"));
}

TEST_F(FtpClientTest, CommandOutcomesFollowTheReplyCode)
{
    server.LoggedInWithPassword()
        .Reply("200 Type set to I.\r\n")
        .Reply("Hello without a code\r\n")
        .Reply("211-Status\r\n continued\r\n211 End\r\n")
        .Reply("257 \"/\" is the current directory\r\n")
        .Reply("250 Directory changed.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
    client.DoCommand("TYPE I");
    client.DoCommand("HELLO");
    EXPECT_EQ(client.ReplyNumber, 0);
    client.DoCommand("STAT");
    EXPECT_EQ(client.ReplyNumber, 211);
    client.DoCommand("PWD");
    client.DoCommand("CWD");
    EXPECT_THAT(log, ElementsAre("status: TYPE I", "status: 200 Type set to I.\r\n", "OnSuccess " + kDoCommand,
                                 "status: HELLO", "status: Hello without a code\r\n", "OnSuccess " + kDoCommand,
                                 "status: STAT", "status: 211-Status\r\n", "status:  continued\r\n",
                                 "status: 211 End\r\n", "OnSuccess " + kDoCommand, "status: PWD",
                                 "status: 257 \"/\" is the current directory\r\n",
                                 "OnSuccess " + KindText(cmdCurrentDir), "status: CWD",
                                 "status: 250 Directory changed.\r\n", "OnSuccess " + KindText(cmdChangeDir)));
}

TEST_F(FtpClientTest, RefusedCommandsFireUnsupportedThenFailure)
{
    server.LoggedInWithPassword()
        .Reply("502 Not implemented.\r\n")
        .Reply("503 Bad sequence.\r\n")
        .Reply("400 Odd.\r\n")
        .Reply("550 No such directory.\r\n")
        .Reply("200 Still here.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
    failureHandled = true;
    client.DoCommand("SITE X");
    client.DoCommand("RNTO b");
    client.DoCommand("MKD a");
    EXPECT_THAT(Events(), ElementsAre("OnUnSupportedFunction " + kDoCommand, "OnFailure " + kDoCommand,
                                      "OnFailure " + kDoCommand, "OnFailure " + KindText(cmdMakeDir)));
    failureHandled = false;
    log.clear();
    EXPECT_EQ(FailureOf<FTPException>([&] { client.DoCommand("CWD missing"); }), "550 No such directory.\r\n");
    EXPECT_THAT(Events(), ElementsAre("OnFailure " + KindText(cmdChangeDir)));
    client.OnFailure = {};  // unassigned: straight to the exception
    client.OnUnSupportedFunction = {};
    client.DoCommand("NOOP");  // the connection is still usable
    EXPECT_EQ(client.ReplyNumber, 200);
}

TEST_F(FtpClientTest, ModeSendsTheTypeCommandOrNothing)
{
    server.LoggedInWithPassword().Reply("200 Type set to I.\r\n").Reply("200 Type set to A.\r\n").Reply("200 Type set to L 8.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
    client.Mode(0);
    client.Mode(4);
    EXPECT_THAT(log, IsEmpty());
    client.Mode(2);
    client.Mode(1);
    client.Mode(3);
    EXPECT_THAT(Events(), ElementsAre("OnSuccess " + kDoCommand, "OnSuccess " + kDoCommand,
                                      "OnSuccess " + kDoCommand));
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "TYPE I", "TYPE A",
                                                 "TYPE L 8", "QUIT"));
}

TEST_F(FtpClientTest, CommandsOnAnUnconnectedClientAskForAConnectionOnce)
{
    int asked = 0;
    client.OnConnectionRequired = [&](bool &) { ++asked; };
    EXPECT_THROW(client.DoCommand("NOOP"), Exception);
    EXPECT_THROW(client.Download("pub/news/a.bin", local / "a.bin"), Exception);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(local.Exists("a.bin"));
}

TEST_F(FtpClientTest, QuitAnswersDecideOnlyTheOutcomeNotTheClose)
{
    server.LoggedInWithPassword().Reply("500 No QUIT for you.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
    EXPECT_EQ(FailureOf<FTPException>([&] { client.Disconnect(); }), "500 No QUIT for you.\r\n");
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(log, ElementsAre("status: QUIT", "status: 500 No QUIT for you.\r\n", "OnDisconnect"));
}

TEST_F(FtpClientTest, CommandsWithLineBreaksAreRefusedBeforeAnythingIsSent)
{
    server.LoggedInWithPassword().Reply("200 Fine.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    log.clear();
    EXPECT_THROW(client.DoCommand("NOOP\r\nDELE important"), ECommandRefused);
    EXPECT_THROW(client.Download("news.rtf\r\nDELE important", local / "news.rtf"), ECommandRefused);
    EXPECT_THAT(log, IsEmpty());
    client.DoCommand("NOOP");
    client.Disconnect();
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "NOOP", "QUIT"));
}

TEST_F(FtpClientTest, UserNameWithALineBreakEndsTheLoginBeforeUser)
{
    server.Send("220 Ready.\r\n");
    server.Start();
    TargetScriptedServer();
    client.UserID = "anonymous\r\nDELE important";
    EXPECT_THROW(client.Connect(), ECommandRefused);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THAT(server.Transcript(), ElementsAre("QUIT"));
    EXPECT_EQ(log.back(), "status: Disconnected");
}

TEST_F(FtpClientTest, ServerClosingReplyCancelsTheWaitAndIsDroppedByTheNextCommand)
{
    server.LoggedInWithPassword().Reply("421 Timeout.\r\n").Reply("200 Back.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_EQ(FailureOf<EAbortError>([&] { client.DoCommand("NOOP"); }), "Socket readln aborted");
    log.clear();
    client.DoCommand("NOOP");
    EXPECT_THAT(log, ElementsAre("status: NOOP", "status: 200 Back.\r\n", "OnSuccess " + kDoCommand));
}

TEST_F(FtpClientTest, ClosingGreetingEndsTheLoginBeforeUser)
{
    server.Send("421 Too many users.\r\n").CloseControl();
    server.Start();
    TargetScriptedServer();
    EXPECT_EQ(testsupport::FailureOf([&] { client.Connect(); }), "Socket readln aborted");
    EXPECT_THAT(server.Transcript(), Not(Contains(MatchesRegex("USER.*"))));
}

TEST_F(FtpClientTest, DestroyingAConnectedClientLogsOutWithoutCallingTheOwner)
{
    server.LoggedInWithPassword().Reply("221 Goodbye.\r\n");
    server.Start();
    bool ownerCalled = false;
    {
        TFtpClient other;
        other.Host = server.Host();
        other.Port = server.Port();
        other.UserID = "anonymous";
        other.Password = "guest@example.org";
        other.Connect();
        other.ReportLevel = 16;
        other.OnStatus = [&](TTcpSocket *, const std::string &) { ownerCalled = true; };
        other.OnDisconnect = [&](TTcpSocket *) { ownerCalled = true; };
    }
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "QUIT"));
    EXPECT_FALSE(ownerCalled);
}

TEST_F(FtpClientTest, DestroyingGivesUpOnAServerThatNeverAnswersQuit)
{
    server.LoggedInWithPassword().Receive().AwaitSignal();
    server.Start();
    {
        TFtpClient other;
        other.Host = server.Host();
        other.Port = server.Port();
        other.UserID = "anonymous";
        other.Password = "guest@example.org";
        other.Connect();
    }  // returns once the logout's wait is given up
    EXPECT_THAT(server.Transcript(), ElementsAre("USER anonymous", "PASS guest@example.org", "QUIT"));
    server.Signal();
}

}  // namespace
