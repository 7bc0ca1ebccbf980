// A check for news under wine, against real servers of the harness service:
// the verdict, the news and the files it leaves, the boxes of a refused
// connection, the proxy, a disconnect, and the abort and the end of the
// program while a large news file is shown.
#include "tests/e2e/windows/WindowFixture.h"

#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/TestSigningKeys.h"
#include "platform/net/Socket.h"
#include "platform/net/SocketSystem.h"

#include <gmock/gmock.h>

#include <fstream>

using namespace WindowIds;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

namespace {

const std::string CannotConnect = "Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.";

std::string Opening(std::size_t bytes)
{
    return "150 Opening BINARY mode data connection (" + std::to_string(bytes) + " bytes).\r\n";
}

class WindowCheck : public WindowFixture {
protected:
    // The product pointed at Server, started, and checked once.
    void StartAndCheck(const harness::FtpEndpoint &server)
    {
        PrepareProduct(server.Host(), server.Port());
        Start();
        Check();
    }

    harness::FtpFiles files;
};

} // namespace

TEST_F(WindowCheck, WholeCheckAgainstVsftpd)
{
    ServeNews(files);
    harness::VsftpdServer server(files.Path());
    StartAndCheck(server);
    ExpectWholeCheck();
}

// Where Polish users install products: the program in a folder named with
// Polish letters, the product in another, named in code page 1250 by the key
// "Program". Every file the check reads and writes lies in one of them.
TEST_F(WindowCheck, WholeCheckFromFoldersNamedWithPolishLetters)
{
    const std::string programFolder = "Księgowość Żółta", productFolder = "Dane Łódź";
    ServeNews(files);
    harness::VsftpdServer server(files.Path());
    Put(programFolder + "/ort.ini", "[Program]\r\nProgram=" + temp.Path() + "\\" + productFolder + "\r\n");
    const std::string settings = "[FTP]\r\nHost=" + server.Host() + "\r\nHostPort=" + std::to_string(server.Port()) +
                                 "\r\nUseProxy=Nie\r\n";
    Put(programFolder + "/vm_ver32.ini", settings);
    Put(productFolder + "/ort.ini", Release("4.2", "7", "b", "2025/11/03"));
    InstallIn(programFolder);
    Start();
    Check();
    ExpectWholeCheck(productFolder + "/");

    window->Click(SpeedExit);
    ASSERT_TRUE(process->WaitForExit());
    EXPECT_EQ(Read(programFolder + "/vm_ver32.ini"), settings + "Proxy=\r\nProxyPort=\r\n");
    // No temporary file is left beside the settings or the downloads.
    using Names = std::vector<std::string>;
    EXPECT_EQ(harness::NamesIn(temp / programFolder), (Names{"ort.ini", "vm_ver32.exe", "vm_ver32.ini"}));
    EXPECT_EQ(harness::NamesIn(temp / productFolder), (Names{"or_news.inf", "or_news.rtf", "ort.ini"}));
}

TEST_F(WindowCheck, PasywnyAgainstVsftpdThatRefusesActiveMode)
{
    ServeNews(files);
    harness::VsftpdServer server(files.Path(), "127.0.0.1", 0, harness::VsftpdServer::DataModes::PassiveOnly);
    PrepareProduct(server.Host(), server.Port());
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "Pasywny=Tak\r\n");
    Start();
    Check();
    ExpectWholeCheck();
}

TEST_F(WindowCheck, ThroughTheFtpProxy)
{
    ServeNews(files);
    harness::FtpProxy proxy(files.Path());
    PrepareProduct(harness::FtpProxy::TargetHost(), 21);
    Put("vm_ver32.ini", "[FTP]\r\nHost=" + harness::FtpProxy::TargetHost() + "\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=" +
                            proxy.Host() + "\r\nProxyPort=" + std::to_string(proxy.Port()) + "\r\n");
    Start();
    Check();
    ExpectWholeCheck();
    // The target answers directly too: only the proxy's log tells the road.
    EXPECT_THAT(proxy.Log(), HasSubstr("dest " + harness::FtpProxy::TargetHost() + ":21"));
}

// Signed files with the key beside the program and no setting: the release
// file past its last valid day vouches for nothing, its signature is kept
// beside it, and after a restart an older release file, genuinely signed, is
// refused and leaves the copy as it was.
TEST_F(WindowCheck, SignedReleaseFileNeverGoesBackAcrossARestart)
{
    using Kind = harness::TestSigningKeys::Kind;
    const harness::TestSigningKeys keys;
    const auto serveSigned = [&](const std::string &name, const std::string &bytes) {
        files.Write("pub/news/" + name, bytes);
        files.Write("pub/news/" + name + ".sig", keys.Sign(Kind::Good, name, bytes));
    };
    // As old as the installed release, and valid until a day long past.
    const std::string expired = Release("4.2", "7", "b", "2025/11/03") + "WazneDo=2025/11/30\r\n";
    serveSigned("or_news.rtf", NewsRtf);
    serveSigned("or_news.inf", expired);
    harness::VsftpdServer server(files.Path());
    PrepareProduct(server.Host(), server.Port());
    std::ofstream(dir / "vm_ver32.pem", std::ios::binary) << keys.KeyFile(Kind::Good);
    Start();
    Check();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(window->Text(TextKomunikat), "Informacja nieaktualna");
    EXPECT_FALSE(window->Visible(SpeedProgramAkt));
    EXPECT_FALSE(window->Visible(SpeedProgramOld));
    EXPECT_EQ(window->WaitForText(StatusBar1, "Zakończono pobieranie"), "Zakończono pobieranie");
    EXPECT_EQ(Read("or_news.inf"), expired);
    EXPECT_TRUE(Exists("or_news.inf.sig"));
    EXPECT_FALSE(Exists("or_news.rtf.sig"));
    window->Click(SpeedExit);
    ASSERT_TRUE(process->WaitForExit());

    serveSigned("or_news.inf", Release("4.2", "7", "b", "2025/01/01"));
    Start();
    window->Click(SpeedDownload);
    const auto shown = windowdriver::WaitForBox(*process, "VM_VER32");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Text, "Plik or_news.inf podaje datę aktualizacji 01/01/25, wcześniejszą od sprawdzonej już "
                           "daty 03/11/25.");
    EXPECT_EQ(window->Text(StatusBar1), "Błąd pobierania pliku");
    EXPECT_EQ(window->Text(TextKomunikat), "");
    EXPECT_EQ(Read("or_news.inf"), expired);
}

TEST_F(WindowCheck, RefusedConnectionShowsTwoBoxesAndNoVerdict)
{
    // A port bound and not listening refuses every connection.
    ASSERT_NE(net::Startup().Version, 0);
    net::Socket refusing = net::Socket::Open();
    ASSERT_EQ(refusing.Bind(*net::Address::FromLiteral("127.0.0.1")), 0);
    net::Address bound;
    ASSERT_EQ(refusing.GetSockName(bound), 0);
    PrepareProduct("127.0.0.1", bound.Port());
    Start();

    window->Click(SpeedDownload);
    for (int box = 1; box <= 2; ++box) {
        const auto shown = windowdriver::WaitForBox(*process, "Błąd");
        ASSERT_TRUE(shown) << "box " << box;
        EXPECT_EQ(shown->Text, CannotConnect);
        ASSERT_TRUE(windowdriver::CloseBox(*shown));
    }
    EXPECT_FALSE(windowdriver::WaitForBox(*process, "Błąd", 1s)) << "a third box";
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(window->Text(TextKomunikat), "");
    EXPECT_FALSE(Exists("or_news.rtf"));
}

TEST_F(WindowCheck, RozlaczEndsTheSessionAndTheNextCheckConnectsAgain)
{
    ServeNews(files);
    harness::VsftpdServer server(files.Path());
    StartAndCheck(server);
    ASSERT_EQ(window->WaitForText(StatusBar1, "Zakończono pobieranie"), "Zakończono pobieranie");

    window->Click(SpeedDisconnect);
    EXPECT_EQ(window->WaitForText(StatusBar1, "Przerwano połączenie"), "Przerwano połączenie");

    // The next check must connect again, to whatever the fields name now: a
    // window still on the first server would bring its newer release back.
    harness::FtpFiles otherFiles;
    otherFiles.Write("pub/news/or_news.rtf", NewsRtf);
    otherFiles.Write("pub/news/or_news.inf", Release("4.2", "7", "b", "2025/11/03"));
    harness::VsftpdServer other(otherFiles.Path());
    window->SetText(EditHostPort, std::to_string(other.Port()));
    window->Click(SpeedDownload);
    EXPECT_EQ(window->WaitForText(TextKomunikat, "Aktualizacja niepotrzebna"), "Aktualizacja niepotrzebna");
    EXPECT_EQ(window->WaitForText(StatusBar1, "Zakończono pobieranie"), "Zakończono pobieranie");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowCheck, AnulujAndKoniecWorkWhileLargeNewsIsShown)
{
    // Several megabytes of short paragraphs: the view gets as much as it takes.
    const auto largeNews = [](const std::string &paragraph) {
        std::string news = "{\\rtf1\\ansi\\ansicpg1250 ";
        while (news.size() < (4u << 20))
            news += paragraph + "\\par ";
        return news + "}";
    };
    const std::string first = largeNews("Pierwsze wydanie"), second = largeNews("Drugie wydanie");
    // The second check's news replaces the first in the view; its release
    // file then stops half-way, so that the abort surely comes during it.
    harness::ScriptedFtpServer server;
    const auto newsThenRelease = [&server](const std::string &news) -> harness::ScriptedFtpServer & {
        return server.Reply("200 Type set to I.\r\n")
            .PortThenRetr(Opening(news.size())).ConnectData().SendData(news).CloseData().Send("226 Done.\r\n")
            .PortThenRetr(Opening(ServerRelease.size())).ConnectData();
    };
    server.LoggedInWithPassword();
    newsThenRelease(first).SendData(ServerRelease).CloseData().Send("226 Done.\r\n");
    newsThenRelease(second).SendData(ServerRelease.substr(0, 10)).AwaitSignal();
    server.Start();
    PrepareProduct(server.Host(), server.Port());
    Start();
    Check();
    ASSERT_EQ(window->WaitForText(StatusBar1, "Zakończono pobieranie"), "Zakończono pobieranie");

    window->Click(SpeedDownload);
    const std::string arrived = "10 z " + std::to_string(ServerRelease.size());
    ASSERT_EQ(window->WaitForText(StatusBar1, arrived), arrived);
    const std::string shown = window->Text(RichEditRtf);
    EXPECT_TRUE(shown.starts_with("Drugie wydanie")) << shown.substr(0, 100);
    EXPECT_GT(shown.size(), 100000u);
    window->Click(SpeedAbort);
    const auto box = windowdriver::WaitForBox(*process, "VM_VER32");
    ASSERT_TRUE(box) << "the download goes on: " << window->Text(StatusBar1);
    EXPECT_EQ(box->Text, "Socket send aborted.");
    ASSERT_TRUE(windowdriver::CloseBox(*box));
    server.Signal(); // the end of the script: QUIT gets its answer

    window->Click(SpeedExit);
    EXPECT_TRUE(process->WaitForExit());
}
