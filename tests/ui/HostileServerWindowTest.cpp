// A check for news against servers that misbehave on purpose, as the user
// sees it: a clear box, and the next check starts afresh.
#include "WorkflowFixture.h"

#include "ftp/FtpRules.h"
#include "harness/ScriptedFtpServer.h"

#include <QLineEdit>

namespace {

const QString CannotConnect = QString::fromUtf8("Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.");

class HostileServer : public WorkflowFixture {
protected:
    void ExpectConnectionRefusedBox()
    {
        ASSERT_FALSE(boxes.shown.empty());
        EXPECT_EQ(boxes.shown.back().caption, QString::fromUtf8("Błąd"));
        EXPECT_EQ(boxes.shown.back().text, CannotConnect);
        EXPECT_FALSE(window->Logic().LoggedIn);
    }
};

} // namespace

TEST_F(HostileServer, EndlessGreetingLineEndsTheCheckAndTheNextConnectsAgain)
{
    harness::ScriptedFtpServer endless;
    endless.Send("220 " + std::string(1 << 20, 'x')).AwaitSignal();
    endless.Start();
    PrepareProduct(endless.Host(), endless.Port());
    StartRecording();
    Click("SpeedDownload");
    ExpectConnectionRefusedBox();
    EXPECT_EQ(boxes.shown.size(), 1u) << boxes.shown[0].text.toStdString();
    endless.Signal();

    harness::ScriptedFtpServer next;
    next.LoggedIn().Reply("502 No binary here\r\n").CloseControl();
    next.Start();
    Find<QLineEdit>("EditHostPort")->setText(QString::number(next.Port()));
    boxes.shown.clear();
    Click("SpeedDownload");
    ASSERT_GE(next.Transcript().size(), 2u);
    EXPECT_EQ(next.Transcript()[0], "USER anonymous");
}

TEST_F(HostileServer, LongGreetingLogsInWithoutABox)
{
    std::string greeting;
    // As many lines as one reply may have.
    for (int i = 1; i < MaxReplyLines; ++i)
        greeting += "220-Line " + std::to_string(i) + " of a long greeting, forty-odd bytes.\r\n";
    harness::ScriptedFtpServer server;
    server.Send(greeting + "220 Ready\r\n").Reply("230 Welcome\r\n").Reply("200 Type set\r\n");
    server.Start();
    PrepareProduct(server.Host(), server.Port());
    StartRecording();
    Click("SpeedDownload");
    EXPECT_TRUE(statuses.contains(QString::fromUtf8("Uzyskano połączenie z serwerem")));
    // The only box is the refusal of the first unscripted command, PORT.
    ASSERT_EQ(boxes.shown.size(), 1u) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(boxes.shown[0].text, "500 Unscripted command.\r\n");
}

TEST_F(HostileServer, LineBreakInTheUserFieldIsNeverSent)
{
    harness::ScriptedFtpServer server;
    server.Send("220 Ready\r\n");
    server.Start();
    PrepareProduct(server.Host(), server.Port());
    StartRecording();
    Find<QLineEdit>("EditUser")->setText("anonymous\r\nDELE or_news.inf");
    Click("SpeedDownload");
    ExpectConnectionRefusedBox();
    for (const std::string &line : server.Transcript())
        EXPECT_EQ(line.find("DELE"), std::string::npos) << line;
}

TEST_F(HostileServer, LineBreakInTheHostFieldIsNeverSentToTheProxy)
{
    harness::ScriptedFtpServer proxy;
    proxy.Send("220 Proxy ready\r\n");
    proxy.Start();
    PrepareProduct("ftp.example.pl", 21);
    Put("vm_ver32.ini", "[FTP]\r\nHost=ftp.example.pl\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=" + proxy.Host() +
                            "\r\nProxyPort=" + std::to_string(proxy.Port()) + "\r\n");
    StartRecording();
    Find<QLineEdit>("EditHost")->setText("ftp.example.pl\r\nDELE or_news.inf");
    Click("SpeedDownload");
    ExpectConnectionRefusedBox();
    for (const std::string &line : proxy.Transcript())
        EXPECT_EQ(line.find("DELE"), std::string::npos) << line;
}
