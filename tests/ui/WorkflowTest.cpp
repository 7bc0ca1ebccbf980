// One check for news as the user makes it, against real and scripted FTP
// servers on loopback: the status texts, the boxes, the news and the verdict.
#include "WorkflowFixture.h"

#include "harness/Loopback.h"
#include "harness/PrivateNetwork.h"
#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/FtpFiles.h"

#include <QCheckBox>
#include <gmock/gmock.h>
#include <QLineEdit>
#include <QTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <poll.h>
#include <unistd.h>

namespace {

const QString CannotConnect = QString::fromUtf8("Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.");
const QString Finished = QString::fromUtf8("Zakończono pobieranie");

// Logged in, binary mode set, PORT accepted and RETR answered with the size.
harness::ScriptedFtpServer &UpToTheTransfer(harness::ScriptedFtpServer &server, int announcedBytes)
{
    return server.LoggedInWithPassword().Reply("200 Type set\r\n")
        .PortThenRetr("150 Opening (" + std::to_string(announcedBytes) + " bytes)\r\n");
}

class Check : public WorkflowFixture {
protected:
    // A user's click on Button a moment after a status matching Pattern was shown.
    void ClickAfterStatus(const QString &pattern, int milliseconds, const char *button)
    {
        OnStatusOnce(pattern, [this, milliseconds, button] {
            QTimer::singleShot(milliseconds, window.get(), [this, button] { Click(button); });
        });
    }
};

} // namespace

TEST_F(Check, WholeRoadAgainstVsftpdByName)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::VsftpdServer server(files.Path());
    PrepareProduct("localhost", server.Port());
    StartRecording();

    Click("SpeedDownload");

    ExpectStatusesInOrder({
        "Serwer znaleziony", "220 .*", "USER anonymous", "331 .*", "PASS ", "230 .*", "Uzyskano połączenie z serwerem",
        "TYPE I", "200 .*", "DoCommand success",
        "PORT 127,0,0,1,\\d+,\\d+", "200 .*", "RETR pub/news/or_news.rtf", "150 .*",
        "Rozpoczęto przesyłanie danych", "\\d+ z \\d+", "Zakończono przesyłanie danych", "Received \\d+ Bytes",
        "226 .*", "Zakończono pobieranie",
        "RETR pub/news/or_news.inf", "Rozpoczęto przesyłanie danych", "\\d+ z \\d+",
        "Zakończono przesyłanie danych", "Received \\d+ Bytes", "226 .*", "Zakończono pobieranie",
    });
    EXPECT_TRUE(statuses.contains(QString("%1 z %1").arg(std::strlen(NewsRtf)))) << statuses.join(" | ").toStdString();
    EXPECT_EQ(Status(), Finished);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Find<QTextEdit>("RichEditRtf")->toPlainText(),
              QString::fromUtf8("Nowości w wersji 4.3\n• Szybsze wyszukiwanie zadań"));
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
    EXPECT_TRUE(Find<QToolButton>("SpeedProgramOld")->isVisible());
    EXPECT_TRUE(Text("TextProgram").endsWith(QString::fromUtf8(" Aktualny program:\n wersja: 4.3 , wyd. 1a, 20/11/26")));
    EXPECT_EQ(window->Logic().PendingKind, 1);
    EXPECT_TRUE(window->Logic().LoggedIn);
    EXPECT_EQ(Read("or_news.inf"), ServerRelease);

    // The connection stays for the next check, which begins with the binary mode.
    statuses.clear();
    Click("SpeedDownload");
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_EQ(statuses.first(), "TYPE I");
    EXPECT_FALSE(statuses.contains("Serwer znaleziony"));
    EXPECT_EQ(Status(), Finished);
}

TEST_F(Check, ServerOnIpv6ByItsAddress)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::VsftpdServer server(files.Path(), "::1");
    PrepareProduct("::1", server.Port());
    StartRecording();

    Click("SpeedDownload");

    ExpectStatusesInOrder({
        "Uzyskano połączenie z serwerem", "TYPE I", "200 .*", "DoCommand success",
        "EPRT \\|2\\|::1\\|\\d+\\|", "200 .*", "RETR pub/news/or_news.rtf", "150 .*", "226 .*",
        "Zakończono pobieranie", "EPRT .*", "RETR pub/news/or_news.inf", "226 .*", "Zakończono pobieranie",
    });
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text.toStdString());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
    EXPECT_EQ(Read("or_news.inf"), ServerRelease);
}

TEST_F(Check, PasywnyFetchesFromAServerThatRefusesActiveMode)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::VsftpdServer server(files.Path(), "127.0.0.1", 0, harness::VsftpdServer::DataModes::PassiveOnly);
    PrepareProduct("127.0.0.1", server.Port());
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "Pasywny=Tak\r\n");
    StartRecording();

    Click("SpeedDownload");

    ExpectStatusesInOrder({
        "Uzyskano połączenie z serwerem", "TYPE I", "200 .*", "DoCommand success",
        "EPSV", "229 .*", "RETR pub/news/or_news.rtf", "150 .*",
        "Rozpoczęto przesyłanie danych", "Zakończono przesyłanie danych", "Received \\d+ Bytes",
        "226 .*", "Zakończono pobieranie",
        "EPSV", "229 .*", "RETR pub/news/or_news.inf", "150 .*", "Rozpoczęto przesyłanie danych",
        "Zakończono przesyłanie danych", "Received \\d+ Bytes", "226 .*", "Zakończono pobieranie",
    });
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text.toStdString());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
    EXPECT_EQ(Read("or_news.rtf"), NewsRtf);
    EXPECT_EQ(Read("or_news.inf"), ServerRelease);
}

TEST_F(Check, EncryptionThroughTheProxyEndsTheCheckBeforeAnythingIsSent)
{
    const int proxy = harness::ListenOn("127.0.0.1", 0);
    PrepareProduct("127.0.0.1", 21);
    Put("vm_ver32.ini", "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=127.0.0.1\r\nProxyPort=" +
                            std::to_string(harness::LocalPortOf(proxy)) + "\r\nSzyfrowanie=tak\r\n");
    StartRecording();
    Click("SpeedDownload");

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, QString::fromUtf8("Błąd"));
    EXPECT_EQ(boxes.shown[0].text, QString::fromUtf8("Nie mogę nawiązać szyfrowanego połączenia z serwerem.\n"
                                                     "Szyfrowanie nie działa przez serwer pośredniczący (proxy).\n"
                                                     "Wyłącz proxy albo szyfrowanie (Szyfrowanie w vm_ver32.ini)."));
    pollfd waiting{proxy, POLLIN, 0};
    EXPECT_EQ(::poll(&waiting, 1, 0), 0) << "nobody connected to the proxy";
    ::close(proxy);
    EXPECT_FALSE(window->Logic().LoggedIn);
}

TEST_F(Check, WithoutPasywnyAServerThatRefusesActiveModeEndsTheCheck)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::VsftpdServer server(files.Path(), "127.0.0.1", 0, harness::VsftpdServer::DataModes::PassiveOnly);
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    Click("SpeedDownload");
    ExpectStatusesInOrder({"PORT 127,0,0,1,\\d+,\\d+", "550 .*", "Błąd pobierania pliku"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "550 Permission denied.\r\n");
    EXPECT_FALSE(Exists("or_news.rtf"));
}

TEST_F(Check, PasywnyWithAnUnusableOfferShowsTheErrorAndKeepsTheOldNews)
{
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword().Reply("200 Type set\r\n").Reply("229 Entering Extended Passive Mode (|||0|)\r\n");
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "Pasywny=Tak\r\n");
    Put("or_news.rtf", "Poprzednie wydanie");
    StartRecording();
    Click("SpeedDownload");
    ExpectStatusesInOrder({"EPSV", "229 .*", "Błąd pobierania pliku"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_EQ(boxes.shown[0].text, "No data port in the server's reply: 229 Entering Extended Passive Mode (|||0|)");
    EXPECT_EQ(Read("or_news.rtf"), "Poprzednie wydanie");
    EXPECT_TRUE(window->Logic().LoggedIn);
}

TEST_F(Check, ThroughTheFtpProxy)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::FtpProxy proxy(files.Path());
    PrepareProduct(harness::FtpProxy::TargetHost(), 21);
    Put("vm_ver32.ini", "[FTP]\r\nHost=" + harness::FtpProxy::TargetHost() +
                            "\r\nHostPort=abc\r\nUseProxy=Tak\r\nProxy=" + proxy.Host() +
                            "\r\nProxyPort=" + std::to_string(proxy.Port()) + "\r\n");
    StartRecording();
    // Through a proxy the server's port is still converted, so it must be a number.
    Find<QLineEdit>("EditHostPort")->setText("21");

    Click("SpeedDownload");

    ExpectStatusesInOrder({"USER anonymous", "Uzyskano połączenie z serwerem", "DoCommand success",
                           "RETR pub/news/or_news.rtf", "Zakończono pobieranie", "RETR pub/news/or_news.inf",
                           "Zakończono pobieranie"});
    EXPECT_FALSE(statuses.join("|").contains("@")); // the server's name never shows
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text.toStdString());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
    EXPECT_EQ(Read("or_news.rtf"), NewsRtf);
}


TEST_F(Check, RefusedConnectionShowsTwoBoxes)
{
    PrepareProduct("127.0.0.1", harness::FreePort("127.0.0.1"));
    StartRecording();
    Click("SpeedDownload");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, CannotConnect);
    EXPECT_EQ(boxes.shown[1].text, CannotConnect);
    for (const ShownBox &box : boxes.shown) {
        EXPECT_EQ(box.kind, TMessageKind::ErrorMessage);
        EXPECT_EQ(box.caption, QString::fromUtf8("Błąd"));
    }
    EXPECT_FALSE(window->Logic().LoggedIn);
}

TEST_F(Check, RefusedAttemptLeavesTheNextCheckClean)
{
    PrepareProduct("127.0.0.1", harness::FreePort("127.0.0.1"));
    StartRecording();
    Click("SpeedDownload");
    ASSERT_FALSE(boxes.shown.empty());

    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword().Reply("200 Type set\r\n");
    server.Start();
    Find<QLineEdit>("EditHostPort")->setText(QString::number(server.Port()));
    boxes.shown.clear();
    statuses.clear();
    Click("SpeedDownload");
    EXPECT_TRUE(statuses.contains("Uzyskano połączenie z serwerem")) << statuses.join(" | ").toStdString();
    EXPECT_TRUE(window->Logic().LoggedIn);
    EXPECT_TRUE(boxes.shown.empty() || boxes.shown[0].caption != QString::fromUtf8("Błąd"))
        << boxes.shown[0].text.toStdString();
}


TEST_F(Check, InvalidPortTextSendsNothing)
{
    harness::ScriptedFtpServer server;
    server.Send("220 Scripted\r\n");
    server.Start();
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21x\r\n");
    StartRecording();
    Click("SpeedDownload");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_EQ(boxes.shown[0].text, "'21x' is not a valid integer value.");
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_EQ(window->Logic().FtpClient1->ReportLevel, 0);
    EXPECT_TRUE(server.Transcript().empty());
}

TEST_F(Check, MissingNewsFileEndsTheCheck)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    files.Write("pub/news/or_news.inf", ServerRelease);
    harness::VsftpdServer server(files.Path());
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    Click("SpeedDownload");
    ExpectStatusesInOrder({"RETR pub/news/or_news.rtf", "550 .*", "Błąd pobierania pliku"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("550 ")) << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(statuses.contains("RETR pub/news/or_news.inf"));
    EXPECT_FALSE(Exists("or_news.inf"));
    EXPECT_EQ(Text("TextKomunikat"), "");
    EXPECT_TRUE(window->Logic().LoggedIn); // the connection stays
}

TEST_F(Check, AbortDuringTheNewsKeepsTheOldNewsAndSkipsTheReleaseFile)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 4000)
        .ConnectData().SendData(std::string(1000, 'n')).AwaitSignal().CloseData();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("or_news.rtf", "Poprzednie wydanie");
    StartRecording();
    ClickAfterStatus("Rozpoczęto przesyłanie danych", 300, "SpeedAbort");
    Click("SpeedDownload");
    server.Signal();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_EQ(boxes.shown[0].text, "Socket send aborted.");
    EXPECT_EQ(Read("or_news.rtf"), "Poprzednie wydanie");
    EXPECT_FALSE(Exists("or_news.inf"));
    EXPECT_TRUE(Find<QTextEdit>("RichEditRtf")->toPlainText().isEmpty());
    EXPECT_NE(Status(), Finished);
}

TEST_F(Check, ServerAbortWithTheCloseIsAnErrorNotASuccess)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 479)
        .ConnectData().SendData(std::string(40, 'n'))
        .Send("426 Failure writing network stream.\r\n").CloseControl().CloseData();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    Click("SpeedDownload");

    ASSERT_EQ(boxes.shown.size(), 1u) << statuses.join(" | ").toStdString();
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_FALSE(statuses.contains(Finished)) << statuses.join(" | ").toStdString();
    EXPECT_FALSE(statuses.contains("RETR pub/news/or_news.inf"));
    EXPECT_TRUE(Find<QTextEdit>("RichEditRtf")->toPlainText().isEmpty());
}

TEST_F(Check, FailedCompletionAfterCutNewsKeepsTheGoodCopyAndFetchesNothingMore)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 63)
        .ConnectData().SendData(std::string(40, 'n')).CloseData()
        .Send("451 Local error in processing.\r\n");
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("or_news.rtf", "Poprzednie wydanie");
    StartRecording();
    Click("SpeedDownload");

    ExpectStatusesInOrder({"Received 40 Bytes", "451 Local error in processing.\r\n", "Błąd pobierania pliku"});
    ASSERT_EQ(boxes.shown.size(), 1u) << statuses.join(" | ").toStdString();
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("451 Local error in processing.")) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(Read("or_news.rtf"), "Poprzednie wydanie");
    EXPECT_FALSE(statuses.contains("RETR pub/news/or_news.inf"));
    EXPECT_FALSE(statuses.contains(Finished));
    EXPECT_THAT(harness::NamesIn(dir.string()), ::testing::ElementsAre("or_news.rtf", "ort.ini", "vm_ver32.ini"));
}

TEST_F(Check, KoniecDuringTheNewsKeepsTheOldNewsAndNothingElse)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 4000)
        .ConnectData().SendData(std::string(1000, 'n')).AwaitSignal().CloseData();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("or_news.rtf", "Poprzednie wydanie");
    StartRecording();
    ClickAfterStatus("Rozpoczęto przesyłanie danych", 300, "SpeedExit");
    Click("SpeedDownload");
    server.Signal();

    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Read("or_news.rtf"), "Poprzednie wydanie");
    EXPECT_THAT(harness::NamesIn(dir.string()), ::testing::ElementsAre("or_news.rtf", "ort.ini", "vm_ver32.ini"));
}

TEST_F(Check, AbortDuringTheReleaseFileKeepsTheNewsAndTheOldReleaseFileAndGivesNoVerdict)
{
    const std::string news = "Nowe wydanie";
    const std::string oldRelease = "[Program]\r\nLastUpd=2020/01/01\r\n";
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 12)
        .ConnectData().SendData(news).CloseData().Send("226 Done\r\n")
        .PortThenRetr("150 Opening (500 bytes)\r\n")
        .ConnectData().SendData("[Program]\r\n").AwaitSignal().CloseData();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("or_news.inf", oldRelease);
    StartRecording();
    ClickAfterStatus("150 Opening \\(500 bytes\\)\r\n", 300, "SpeedAbort");
    Click("SpeedDownload");
    server.Signal();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Socket send aborted.");
    EXPECT_EQ(Find<QTextEdit>("RichEditRtf")->toPlainText(), QString::fromStdString(news));
    EXPECT_EQ(Read("or_news.inf"), oldRelease);
    EXPECT_EQ(Text("TextKomunikat"), "");
    EXPECT_FALSE(Find<QToolButton>("SpeedProgramAkt")->isVisible());
    EXPECT_EQ(window->Logic().PendingKind, 1);
}

TEST_F(Check, ServerThatNeverConnectsWaitsUntilAbort)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 10).AwaitSignal();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    // The window still answers while the check waits: the abort comes as a click.
    ClickAfterStatus("150 Opening \\(10 bytes\\)\r\n", 300, "SpeedAbort");
    Click("SpeedDownload");
    server.Signal();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Accepting Canceled.");
    EXPECT_FALSE(Exists("or_news.rtf"));
}

TEST_F(Check, ClosedControlConnectionMeansTheNextCheckConnectsAgain)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    harness::FtpFiles files;
    ServeNews(files);
    harness::VsftpdServer real(files.Path());
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword().Reply("502 No binary here\r\n").CloseControl();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();

    Click("SpeedDownload"); // the mode is refused; then the server hangs up
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::Dialog);
    EXPECT_EQ(boxes.shown[0].text, "DoCommand unsupported");
    EXPECT_EQ(boxes.shown[1].text, "502 No binary here\r\n");
    ExpectStatusesInOrder({"TYPE I", "502 No binary here\r\n", "DoCommand failure"});
    for (int i = 0; i < 200 && window->Logic().LoggedIn; ++i)
        QTest::qWait(10);
    EXPECT_FALSE(window->Logic().LoggedIn);
    ExpectStatusesInOrder({"TYPE I", "Przerwano połączenie"});

    Find<QLineEdit>("EditHostPort")->setText(QString::number(real.Port()));
    statuses.clear();
    Click("SpeedDownload");
    ExpectStatusesInOrder({"220 .*", "Uzyskano połączenie z serwerem", "TYPE I", "Zakończono pobieranie"});
    EXPECT_EQ(Status(), Finished);
}



TEST_F(Check, ClosingWhileConnectedSavesAndLogsOutQuietly)
{
    harness::ScriptedFtpServer server;
    server.LoggedInWithPassword();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    Click("SpeedConnect");
    ASSERT_TRUE(window->Logic().LoggedIn);
    window->close();
    statuses.clear();
    window.reset();
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_NE(Read("vm_ver32.ini").find("HostPort=" + std::to_string(server.Port())), std::string::npos);
    for (int i = 0; i < 100 && server.Transcript().back() != "QUIT"; ++i)
        QTest::qWait(10);
    EXPECT_EQ(server.Transcript().back(), "QUIT");
}

TEST_F(Check, ClosingWhileADownloadWaitsEndsItAtOnce)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 10).AwaitSignal();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    ClickAfterStatus("150 Opening \\(10 bytes\\)\r\n", 100, "SpeedExit");
    Click("SpeedDownload"); // returns once the close has ended the wait
    server.Signal();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(Exists("vm_ver32.ini"));
    window.reset();
}

TEST_F(Check, ClosingWhileTheServerNeverGreetsEndsAtOnce)
{
    harness::ScriptedFtpServer server;
    server.AwaitSignal(); // accepts, then says nothing, not even to QUIT
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    ClickAfterStatus("ReadLn", 200, "SpeedExit");
    // Should the program still wait after ten seconds, the server lets it go
    // (it answers QUIT once released), and the test fails instead of hanging.
    bool released = false;
    QTimer::singleShot(10000, window.get(), [&] { released = true; server.Signal(); });
    Click("SpeedDownload"); // returns once the close has ended every wait
    EXPECT_FALSE(released);
    server.Signal();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(window->Logic().OperationRunning());
    EXPECT_TRUE(Exists("vm_ver32.ini"));
}

TEST_F(Check, SecondCheckDuringAWaitDoesNothing)
{
    harness::ScriptedFtpServer server;
    UpToTheTransfer(server, 10).AwaitSignal();
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    StartRecording();
    OnStatusOnce("150 Opening \\(10 bytes\\)\r\n", [this] {
        QTimer::singleShot(100, window.get(), [this] {
            Click("SpeedDownload");
            Click("SpeedConnect");
            Click("SpeedDisconnect");
            Click("SpeedAbort");
        });
    });
    Click("SpeedDownload");
    server.Signal();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Accepting Canceled.");
    const auto transcript = server.Transcript();
    EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "TYPE I"), 1);
    EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "QUIT"), 0);
}
