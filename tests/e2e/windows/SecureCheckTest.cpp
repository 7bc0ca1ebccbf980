// The check over TLS under wine, against pyftpdlib with TLS, which logs in
// nobody before AUTH TLS and sends no file before PROT P: the verdict and the
// news from a server whose certificate the program directory's authority
// signed, with system libraries planted beside the program, and the one box
// of a certificate it did not sign.
#include "tests/e2e/windows/PlantedLibraries.h"
#include "tests/e2e/windows/WindowFixture.h"

#include "harness/RealFtpServers.h"
#include "harness/TestCertificates.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <optional>

using namespace WindowIds;
using harness::TestCertificates;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

namespace {

class SecureWindowCheck : public WindowFixture {
protected:
    // pyftpdlib serving the news with a certificate of Kind, the product
    // pointed at it with encryption on and the test authority named beside
    // the program; then the start and one check.
    void CheckAgainst(TestCertificates::Kind kind)
    {
        ServeNews(files);
        server.emplace(files.Path(), certificates.Server(kind));
        PrepareProduct(server->Host(), server->Port());
        std::filesystem::copy_file(certificates.CaFile(), dir / "firma.pem");
        Put("vm_ver32.ini", Read("vm_ver32.ini") + "Szyfrowanie=Tak\r\nCertyfikatCA=firma.pem\r\n");
        Start();
        Check();
    }

    harness::FtpFiles files;
    TestCertificates certificates;
    std::optional<harness::PyftpdlibServer> server;
};

} // namespace

// The road that loads every system library the program loads after its
// start (the window's controls, the news view, TLS and the certificate
// check), with a stand-in for each waiting in the program directory.
TEST_F(SecureWindowCheck, WholeCheckOverTlsTakesNoLibraryFromTheProgramDirectory)
{
    const PlantedLibraries planted(dir);
    CheckAgainst(TestCertificates::Kind::Good);
    ExpectWholeCheck();
    EXPECT_THAT(planted.Loaded(), IsEmpty());
}

// Wine's SChannel takes any certificate: only the program's own check stands
// between the user and a stranger.
TEST_F(SecureWindowCheck, UntrustedCertificateShowsOneBoxAndNoVerdict)
{
    CheckAgainst(TestCertificates::Kind::SelfSigned);
    const auto shown = windowdriver::WaitForBox(*process, "Błąd");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Text, "Nie mogę nawiązać szyfrowanego połączenia z serwerem.\nCertyfikat serwera nie jest zaufany.");
    ASSERT_TRUE(windowdriver::CloseBox(*shown));
    EXPECT_FALSE(windowdriver::WaitForBox(*process, "Błąd", 1s)) << "a second box";
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(window->Text(TextKomunikat), "");
    EXPECT_FALSE(Exists("or_news.rtf"));
    EXPECT_FALSE(Exists("or_news.inf"));
}
