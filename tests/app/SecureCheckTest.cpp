// The check over TLS: a connection that cannot be secured fails with one box
// that says why.
#include "tests/app/CheckFixture.h"

#include "harness/ScriptedFtpServer.h"
#include "harness/TestCertificates.h"
#include "tests/support/FailureOf.h"

#include <filesystem>

using testsupport::FailureOf;

class SecureCheck : public Check {
protected:
    // The product and settings for the server, with encryption on and the
    // test authority trusted as CaName (UTF-8) beside the program, then the start.
    void StartSecured(const std::string &caName = "firma.pem")
    {
        server.Start();
        PrepareProduct("127.0.0.1", server.Port());
        std::filesystem::copy_file(certificates.CaFile(),
                                   dir / std::filesystem::path(std::u8string(caName.begin(), caName.end())));
        Put("vm_ver32.ini", Read("vm_ver32.ini") + "Szyfrowanie=Tak\r\nCertyfikatCA=" + caName + "\r\n");
        EXPECT_EQ(Start(), "");
    }
    // The one box of a certificate that proves nothing, and no login.
    void ExpectOnlyTheUntrustedBox()
    {
        EXPECT_EQ(view->errorMessages, std::vector<std::string>{Cp1250("Nie mogę nawiązać szyfrowanego połączenia z "
                                                                       "serwerem.\nCertyfikat serwera nie jest zaufany.")});
        EXPECT_FALSE(form->LoggedIn);
        EXPECT_EQ(server.Transcript(), std::vector<std::string>{"AUTH TLS"});
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
    ExpectOnlyTheUntrustedBox();
}

// The company authority signed it, but for a person's or a machine's login.
TEST_F(SecureCheck, CertificateForClientsOnlyShowsTheUntrustedBox)
{
    SecuredWith(harness::TestCertificates::Kind::ClientAuthOnly);
    StartSecured();
    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "");
    ExpectOnlyTheUntrustedBox();
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

// The proxy takes the server's name in the clear and cannot carry TLS to it:
// with both on, the check ends with one box before anything reaches the proxy.
TEST_F(SecureCheck, EncryptionThroughTheProxyEndsTheCheckBeforeAnythingIsSent)
{
    harness::ScriptedFtpServer &proxy = server;
    proxy.LoggedIn().Start();
    PrepareProduct("127.0.0.1", 21);
    Put("vm_ver32.ini", "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=127.0.0.1\r\nProxyPort=" +
                            std::to_string(proxy.Port()) + "\r\nSzyfrowanie=Tak\r\n");
    EXPECT_EQ(Start(), "");

    EXPECT_EQ(FailureOf([this] { form->SpeedDownloadClick(); }), "");
    EXPECT_EQ(view->errorMessages,
              std::vector<std::string>{Cp1250("Nie mogę nawiązać szyfrowanego połączenia z serwerem.\n"
                                              "Szyfrowanie nie działa przez serwer pośredniczący (proxy).\n"
                                              "Wyłącz proxy albo szyfrowanie (Szyfrowanie w vm_ver32.ini).")});
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(proxy.Transcript(), std::vector<std::string>{});
}

// A CA file named in full, as the system spells a full name, is read where it is.
TEST_F(SecureCheck, CaFileNamedInFullIsReadWhereItIs)
{
    SecuredWith(harness::TestCertificates::Kind::Good)
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protection level set to P\r\n")
        .Reply("230 Logged in.\r\n");
    server.Start();
    PrepareProduct("127.0.0.1", server.Port());
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "Szyfrowanie=Tak\r\nCertyfikatCA=" + certificates.CaFile() + "\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(form->FtpClient1->TrustedCaFile, certificates.CaFile());

    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    EXPECT_EQ(view->errorMessages, std::vector<std::string>{});
    EXPECT_TRUE(form->LoggedIn);
}

// The settings file spells the name in code page 1250; the file on disk and
// the box go by the letters, not by the bytes.
TEST_F(SecureCheck, CaFileNamedWithPolishLettersIsFoundAndNamedRightly)
{
    SecuredWith(harness::TestCertificates::Kind::Good)
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protection level set to P\r\n")
        .Reply("230 Logged in.\r\n");
    StartSecured("firmą.pem");
    EXPECT_EQ(form->FtpClient1->TrustedCaFile, ProgramDir() + "firmą.pem");
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    EXPECT_TRUE(form->LoggedIn);

    form->FtpClient1->TrustedCaFile = ProgramDir() + "brakująca.pem";
    form->SpeedDisconnectClick();
    EXPECT_EQ(FailureOf([this] { form->SpeedConnectClick(); }), "");
    EXPECT_EQ(view->errorMessages.back(),
              Cp1250("Nie mogę nawiązać szyfrowanego połączenia z serwerem.\nNie mogę odczytać pliku certyfikatów " +
                     ProgramDir() + "brakująca.pem."));
}
