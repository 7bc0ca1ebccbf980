// The check with the maker's key (KluczPodpisu): each file's signature fetched
// before it, the file put in place only when the signature is good, and every
// way a key or a signature can be wrong, with keys and signatures the harness
// makes as the maker's OpenSSL does.
#include "tests/app/CheckFixture.h"

#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/TestSigningKeys.h"
#include "tests/support/FailureOf.h"
#ifndef _WIN32
#include "tests/support/FileSystemSeamLinux.h"
#endif
#include "tests/support/LoopbackPeer.h"
#include "tests/support/NetTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

using harness::TestSigningKeys;
using testsupport::FailureOf;
using Kind = TestSigningKeys::Kind;

namespace {

const std::string NewsName = "or_news.rtf";
const std::string ReleaseName = "or_news.inf";
const std::string News = "{\\rtf1\\ansi Nowo\\'9cci w wersji 4.3\\par}";
const std::string OldNews = "{\\rtf1\\ansi Stare\\par}";
const std::string OldRelease = "[Program]\r\nWersja=4.2\r\nWydanie=7\r\n";

bool IsTemporary(const std::filesystem::path &file)
{
    return file.filename().string().find(".vm_ver32-") != std::string::npos;
}

} // namespace

class SignedCheck : public Check {
protected:
    static void SetUpTestSuite() { keys = std::make_unique<TestSigningKeys>(); }
    static void TearDownTestSuite() { keys.reset(); }

    static std::string ServerRelease() { return Release("4.3", "1", "a", "2026/11/20"); }

    // Name and its signature on the server.
    void Serve(const std::string &name, const std::string &bytes, const std::string &signature)
    {
        files.Write("pub/news/" + name, bytes);
        files.Write("pub/news/" + name + ".sig", signature);
    }
    void ServeSigned(const std::string &name, const std::string &bytes)
    {
        Serve(name, bytes, keys->Sign(Kind::Good, name, bytes));
    }
    // Bytes as they are into the file Name (UTF-8) beside the program.
    void PutBytes(const std::string &name, const std::string &bytes)
    {
        std::ofstream(dir / std::filesystem::path(std::u8string(name.begin(), name.end())), std::ios::binary)
            << bytes;
    }
    // The key file KeyName (UTF-8) of Kind beside the program, named in the settings.
    void PutKey(Kind kind, const std::string &keyName = "producent.pem")
    {
        PutBytes(keyName, keys->KeyFile(kind));
        NameKey(keyName);
    }
    void NameKey(const std::string &keyName)
    {
        Put("vm_ver32.ini", Read("vm_ver32.ini") + "KluczPodpisu=" + keyName + "\r\n");
    }
    // The installed product with its old copies of both files, pointing at Port.
    void PrepareFor(int port)
    {
        PrepareProduct("127.0.0.1", port);
        Put("or_news.rtf", OldNews);
        Put("or_news.inf", OldRelease);
    }
    std::string RunCheck() { return FailureOf([this] { form->SpeedDownloadClick(); }); }
    bool AnyStatusNames(const std::string &part) const
    {
        return std::any_of(view->statuses.begin(), view->statuses.end(),
                           [&part](const std::string &s) { return s.find(part) != std::string::npos; });
    }
    bool TemporaryFileLeft() const
    {
        return std::any_of(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator(),
                           [](const auto &entry) { return IsTemporary(entry.path()); });
    }

    harness::FtpFiles files;
    static std::unique_ptr<TestSigningKeys> keys;
};

std::unique_ptr<TestSigningKeys> SignedCheck::keys;

TEST_F(SignedCheck, GoodPairGivesTheVerdictAndTheNews)
{
    ServeSigned(NewsName, News);
    ServeSigned(ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    EXPECT_EQ(Start(), "");

    EXPECT_EQ(RunCheck(), "");
    ExpectStatusesInOrder({
        "RETR pub/news/or_news.rtf.sig", Cp1250("Rozpoczęto przesyłanie danych"),
        Cp1250("Zakończono przesyłanie danych"), "RETR pub/news/or_news.rtf",
        Cp1250("Podpis pliku or_news.rtf prawidłowy"), Cp1250("Zakończono pobieranie"),
        "RETR pub/news/or_news.inf.sig", "RETR pub/news/or_news.inf", Cp1250("Podpis pliku or_news.inf prawidłowy"),
        Cp1250("Zakończono pobieranie"),
    });
    EXPECT_EQ(view->statuses.back(), Cp1250("Zakończono pobieranie"));
    EXPECT_EQ(view->errorMessages, std::vector<std::string>{});
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
    EXPECT_EQ(Read("or_news.rtf"), News);
    EXPECT_EQ(Read("or_news.inf"), ServerRelease());
    // The release file's signature is kept beside it, the news file's never.
    EXPECT_FALSE(Exists("or_news.rtf.sig"));
    EXPECT_EQ(Read("or_news.inf.sig"), files.Read("pub/news/or_news.inf.sig"));
}

// Each way the release file's signature can be wrong is a failed download of
// it: the box says why, the good copy stays, nothing of the file is shown.
TEST_F(SignedCheck, WrongSignaturesKeepTheGoodCopies)
{
    const std::string release = ServerRelease();
    const std::string good = keys->Sign(Kind::Good, ReleaseName, release);
    const std::string invalid = Cp1250("Podpis pliku or_news.inf jest nieprawidłowy.");
    const struct {
        const char *what;
        std::string bytes;
        std::optional<std::string> signature;  // none: no signature on the server
        std::string failure;
    } rows[] = {
        // First, while no signature of the release file is there.
        {"a missing signature", release, std::nullopt,
         Cp1250("Brak podpisu pliku or_news.inf (odpowiedź: 550 Failed to open file.).")},
        {"a changed file", Release("4.3", "2", "a", "2026/11/20"), good, invalid},
        {"the news file's signature", News, keys->Sign(Kind::Good, NewsName, News), invalid},
        {"another key's", release, keys->Sign(Kind::Other, ReleaseName, release), invalid},
        {"5000 bytes", release, good + std::string(5000 - good.size(), '\0'), invalid},
        {"an empty one", release, "", invalid},
        {"a trailing byte", release, good + '\0', invalid},
        {"not DER", release, "-----BEGIN SIGNATURE-----\n", invalid},
    };
    ServeSigned(NewsName, News);
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.signature)
            Serve(ReleaseName, row.bytes, *row.signature);
        else
            files.Write("pub/news/" + ReleaseName, row.bytes);
        Put("or_news.inf", OldRelease);
        EXPECT_EQ(Start(), "");

        EXPECT_EQ(RunCheck(), row.failure);
        ExpectStatusesInOrder({Cp1250("Podpis pliku or_news.rtf prawidłowy"), Cp1250("Błąd pobierania pliku")});
        EXPECT_FALSE(AnyStatusNames("or_news.inf prawid"));
        EXPECT_EQ(view->messageDialogs, std::vector<std::string>{});
        EXPECT_EQ(view->verdictText, "");
        EXPECT_EQ(Read("or_news.inf"), OldRelease);
        EXPECT_EQ(Read("or_news.rtf"), News);
        EXPECT_FALSE(TemporaryFileLeft());
        form->SpeedDisconnectClick();
    }
}

// A news file that fails its check keeps the old news, and the release file
// is not asked for.
TEST_F(SignedCheck, WrongNewsSignatureEndsTheCheck)
{
    Serve(NewsName, News, keys->Sign(Kind::Good, NewsName, News + " "));
    ServeSigned(ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    EXPECT_EQ(Start(), "");

    EXPECT_EQ(RunCheck(), Cp1250("Podpis pliku or_news.rtf jest nieprawidłowy."));
    EXPECT_EQ(view->statuses.back(), Cp1250("Błąd pobierania pliku"));
    EXPECT_FALSE(AnyStatusNames("or_news.inf"));
    EXPECT_EQ(view->news, std::nullopt);
    EXPECT_EQ(Read("or_news.rtf"), OldNews);
    EXPECT_FALSE(TemporaryFileLeft());
}

// A key that cannot be used stops the check before anything is sent; the
// server's port refuses, so a connect would show its own boxes.
TEST_F(SignedCheck, UnusableKeySendsNothing)
{
    const struct {
        const char *what;
        std::optional<Kind> kind;  // none: no such file
        std::string name;
    } rows[] = {
        {"a missing file", std::nullopt, "brak.pem"},
        {"a missing file with Polish letters", std::nullopt, "klucz_źródłowy.pem"},
        {"a certificate", Kind::Certificate, "cert.pem"},
        {"a private key", Kind::PrivateKey, "prywatny.pem"},
        {"P-384", Kind::P384, "p384.pem"},
        // Beside the program and named by no setting: anything of that name.
        {"a directory named vm_ver32.pem", std::nullopt, "vm_ver32.pem"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        PrepareFor(testpeer::RefusedPort());
        if (row.name == "vm_ver32.pem")
            std::filesystem::create_directory(dir / row.name);
        else if (row.kind)
            PutKey(*row.kind, row.name);
        else
            NameKey(row.name);
        EXPECT_EQ(Start(), "");
        const std::size_t statuses = view->statuses.size();

        EXPECT_EQ(RunCheck(), "");
        EXPECT_EQ(view->errorMessages,
                  std::vector<std::string>{Cp1250("Nie mogę odczytać klucza podpisu " + ProgramDir() + row.name + ".")});
        EXPECT_EQ(view->statuses.size(), statuses);
        EXPECT_FALSE(form->LoggedIn);
    }
}

// The key is read at each click: once it is there, under a name with Polish
// letters, the next click checks.
TEST_F(SignedCheck, KeyWithPolishLettersIsReadAtTheNextClick)
{
    ServeSigned(NewsName, News);
    ServeSigned(ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    NameKey("klucz_źródłowy.pem");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(RunCheck(), "");
    EXPECT_EQ(view->errorMessages.size(), 1u);
    EXPECT_FALSE(form->LoggedIn);

    PutKey(Kind::Good, "klucz_źródłowy.pem");
    EXPECT_EQ(RunCheck(), "");
    EXPECT_EQ(view->errorMessages.size(), 1u);
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
}

TEST_F(SignedCheck, WithoutAKeyNoSignatureIsAskedFor)
{
    files.Write("pub/news/" + NewsName, News);
    files.Write("pub/news/" + ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    EXPECT_EQ(Start(), "");

    EXPECT_EQ(RunCheck(), "");
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
    EXPECT_FALSE(AnyStatusNames(".sig"));
    EXPECT_FALSE(AnyStatusNames("Podpis"));
}

TEST_F(SignedCheck, EncryptionAndSignaturesTogether)
{
    const harness::TestCertificates certificates;
    ServeSigned(NewsName, News);
    ServeSigned(ReleaseName, ServerRelease());
    // Wine's SChannel never resumes a session, which vsftpd would ask of the data connections.
    const auto reuse = testsupport::UnderWine() ? harness::VsftpdServer::SessionReuse::NotRequired
                                                : harness::VsftpdServer::SessionReuse::Required;
    harness::VsftpdServer server(files.Path(), certificates.Server(harness::TestCertificates::Kind::Good),
                                 harness::VsftpdServer::DataModes::ActiveAndPassive, "127.0.0.1", reuse);
    PrepareFor(server.Port());
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "Szyfrowanie=Tak\r\nCertyfikatCA=" + certificates.CaFile() + "\r\n");
    PutKey(Kind::Good);
    EXPECT_EQ(Start(), "");

    EXPECT_EQ(RunCheck(), "");
    ExpectStatusesInOrder({"SIZE pub/news/or_news.rtf.sig", "RETR pub/news/or_news.rtf.sig",
                           "SIZE pub/news/or_news.rtf", Cp1250("Podpis pliku or_news.rtf prawidłowy"),
                           "SIZE pub/news/or_news.inf.sig", Cp1250("Podpis pliku or_news.inf prawidłowy")});
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
    EXPECT_EQ(Read("or_news.inf"), ServerRelease());
}

// Never backwards, across a restart: the release file taken under the key
// leaves its signature beside it, and an older one, genuinely signed and
// served again later, is refused.
TEST_F(SignedCheck, OlderReleaseFileThanTheSignedCopyIsRefusedAfterARestart)
{
    const std::string in2030 = Release("4.3", "1", "a", "2030/01/01");
    ServeSigned(NewsName, News);
    ServeSigned(ReleaseName, in2030);
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(RunCheck(), "");
    const std::string kept = Read("or_news.inf.sig");

    ServeSigned(ReleaseName, Release("4.2", "1", "a", "2025/01/01"));
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(RunCheck(), Cp1250("Plik or_news.inf podaje datę aktualizacji 01/01/25, wcześniejszą od sprawdzonej "
                                 "już daty 01/01/30."));
    EXPECT_EQ(view->statuses.back(), Cp1250("Błąd pobierania pliku"));
    EXPECT_EQ(view->verdictText, "");
    EXPECT_EQ(view->news->substr(0, News.size()), News);
    EXPECT_EQ(Read("or_news.inf"), in2030);
    EXPECT_EQ(Read("or_news.inf.sig"), kept);
    EXPECT_FALSE(TemporaryFileLeft());
}

// What makes the floor, and what does not: only a local copy that the key in
// force verifies with the signature beside it.
TEST_F(SignedCheck, FloorIsTheDateOfTheCopyTheKeyVerifies)
{
    const std::string in2030 = Release("4.3", "1", "a", "2030/01/01"), in2099 = Release("9", "9", "", "2099/01/01");
    const std::string undated = "[Program]\r\nWersja=4.3\r\n";
    const struct {
        const char *what;
        std::string local;
        std::optional<std::string> besideLocal;  // none: no signature beside it
        std::string served;
        std::string failure;  // empty: taken
    } rows[] = {
        {"the same date, re-signed with a later WazneDo", in2030, keys->Sign(Kind::Good, ReleaseName, in2030),
         in2030 + "WazneDo=2031/01/31\r\n", ""},
        {"a copy signed by a key replaced since", in2099, keys->Sign(Kind::Other, ReleaseName, in2099), in2030, ""},
        {"a copy without a signature", in2099, std::nullopt, in2030, ""},
        {"a copy the signature beside is not of", in2099, keys->Sign(Kind::Good, ReleaseName, in2030), in2030, ""},
        {"a copy without a date counts as 2000", undated, keys->Sign(Kind::Good, ReleaseName, undated),
         Release("4.2", "1", "a", "1999/12/31"),
         Cp1250("Plik or_news.inf podaje datę aktualizacji 31/12/99, wcześniejszą od sprawdzonej już daty 01/01/00.")},
        {"a date that is no date is not put in place", in2030, keys->Sign(Kind::Good, ReleaseName, in2030),
         Release("4.4", "1", "a", "2031/01/01 12:00"), "'2031/01/01 12:00' is not a valid date"},
        {"nor a WazneDo that is none", in2030, keys->Sign(Kind::Good, ReleaseName, in2030),
         in2030 + "WazneDo=31/01/31\r\n", "'31/01/31' is not a valid date"},
    };
    ServeSigned(NewsName, News);
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Put("or_news.inf", row.local);
        std::filesystem::remove(dir / "or_news.inf.sig");
        if (row.besideLocal)
            PutBytes("or_news.inf.sig", *row.besideLocal);
        ServeSigned(ReleaseName, row.served);
        EXPECT_EQ(Start(), "");

        EXPECT_EQ(RunCheck(), row.failure);
        EXPECT_EQ(view->statuses.back(), Cp1250(row.failure.empty() ? "Zakończono pobieranie" : "Błąd pobierania pliku"));
        EXPECT_EQ(Read("or_news.inf"), row.failure.empty() ? row.served : row.local);
        const std::string beside = Read("or_news.inf.sig");
        EXPECT_EQ(beside, row.failure.empty() ? files.Read("pub/news/or_news.inf.sig") : *row.besideLocal);
        form->SpeedDisconnectClick();
    }
}

// A signature that does not come whole names the missing signature and the
// reason; the check ends there, and the good copies stay.
TEST_F(SignedCheck, SignatureThatDoesNotComeWholeIsMissing)
{
    const std::string missing = Cp1250("Brak podpisu pliku or_news.rtf (odpowiedź: ");
    const struct {
        const char *what;
        std::function<void(harness::ScriptedFtpServer &)> afterOpening;
        std::string failure;  // after the common beginning
    } rows[] = {
        {"426 after 150", [](harness::ScriptedFtpServer &s) {
             s.ConnectData().SendData("0E").CloseData().Send("426 Connection closed; transfer aborted.\r\n");
         }, "426 Connection closed; transfer aborted.)."},
        {"451 after 150", [](harness::ScriptedFtpServer &s) {
             s.ConnectData().SendData("0E").CloseData().Send("451 Local error in processing.\r\n");
         }, "451 Local error in processing.)."},
        {"the connection closed", [](harness::ScriptedFtpServer &s) { s.ConnectData().SendData("0E").CloseControl(); },
         ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        harness::ScriptedFtpServer server;
        server.LoggedInWithPassword().Reply("200 Type set.\r\n").PortThenRetr("150 Opening (72 bytes).\r\n");
        row.afterOpening(server);
        server.Start();
        PrepareFor(server.Port());
        PutKey(Kind::Good);
        EXPECT_EQ(Start(), "");

        const std::string failure = RunCheck();
        EXPECT_EQ(failure.substr(0, missing.size()), missing);
        if (!row.failure.empty()) {
            EXPECT_EQ(failure.substr(missing.size()), row.failure);
        }
        EXPECT_EQ(view->statuses.back(), Cp1250("Błąd pobierania pliku"));
        EXPECT_EQ(Read("or_news.rtf"), OldNews);
        EXPECT_EQ(Read("or_news.inf"), OldRelease);
    }
}

// A good file that cannot be put in place ends the check with the failure as
// the last word, after its signature was said to be good.
TEST_F(SignedCheck, GoodFileThatCannotBePutInPlaceEndsWithTheFailure)
{
    ServeSigned(NewsName, News);
    ServeSigned(ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    PutKey(Kind::Good);
    // Where its signature would be kept, a directory.
    std::filesystem::create_directory(dir / "or_news.inf.sig");
    EXPECT_EQ(Start(), "");
    EXPECT_NE(RunCheck(), "");
    ExpectStatusesInOrder({Cp1250("Podpis pliku or_news.inf prawidłowy"), Cp1250("Błąd pobierania pliku")});
    EXPECT_EQ(view->statuses.back(), Cp1250("Błąd pobierania pliku"));
    EXPECT_EQ(Read("or_news.inf"), OldRelease);
    EXPECT_EQ(view->verdictText, "");
#ifndef _WIN32
    // The rename of the news file itself fails.
    std::filesystem::remove(dir / "or_news.inf.sig");
    const testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().rename = [](const char *, const char *) {
        errno = EIO;
        return -1;
    };
    EXPECT_EQ(Start(), "");
    EXPECT_NE(RunCheck(), "");
    ExpectStatusesInOrder({Cp1250("Podpis pliku or_news.rtf prawidłowy"), Cp1250("Błąd pobierania pliku")});
    EXPECT_EQ(view->statuses.back(), Cp1250("Błąd pobierania pliku"));
    EXPECT_EQ(Read("or_news.rtf"), News);
#endif
}

// With no key named in the settings, whatever bears the name vm_ver32.pem
// beside the program is the key, however the settings read.
TEST_F(SignedCheck, KeyBesideTheProgramIsInForceWithoutASetting)
{
    files.Write("pub/news/" + NewsName, News);
    ServeSigned(ReleaseName, ServerRelease());
    harness::VsftpdServer server(files.Path());
    PrepareFor(server.Port());
    // A key named in a second [FTP] section is not read: the one beside the program counts.
    Put("vm_ver32.ini", Read("vm_ver32.ini") + "[FTP]\r\nKluczPodpisu=brak.pem\r\n");
    PutBytes("vm_ver32.pem", keys->KeyFile(Kind::Good));
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(RunCheck(), Cp1250("Brak podpisu pliku or_news.rtf (odpowiedź: 550 Failed to open file.)."));
    EXPECT_EQ(Read("or_news.rtf"), OldNews);

    ServeSigned(NewsName, News);
    EXPECT_EQ(RunCheck(), "");
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
}
