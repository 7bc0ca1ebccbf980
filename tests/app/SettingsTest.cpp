// The connection settings: read at start from vm_ver32.ini, written at close.
#include "tests/app/FormFixture.h"

using Settings = FormFixture;

TEST_F(Settings, FirstCloseCreatesTheFileWithTheDefaults)
{
    Put("ort.ini", "[Program]\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_FALSE(Exists("vm_ver32.ini"));
    EXPECT_EQ(Close(), "");
    EXPECT_EQ(Read("vm_ver32.ini"),
              "[FTP]\r\nHost=ftp.vemo.com.pl\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

TEST_F(Settings, StoredProxyChecksTheBoxAndEnablesItsFields)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nHost=h.example.pl\r\nHostPort=2121\r\nUseProxy=tak\r\nProxy=p.example.pl\r\nProxyPort=8021\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_TRUE(view->proxyChecked);
    EXPECT_TRUE(view->proxyFieldsEnabled);
    EXPECT_EQ(view->FieldText(TField::Host), "h.example.pl");
    EXPECT_EQ(view->FieldText(TField::HostPort), "2121");
    EXPECT_EQ(view->FieldText(TField::Proxy), "p.example.pl");
    EXPECT_EQ(view->FieldText(TField::ProxyPort), "8021");
}

TEST_F(Settings, OnlyTakMeansYesAndThenTheProxyIsNotRead)
{
    for (const char *value : {"yes", "1", "Tak!", ""}) {
        Put("ort.ini", "[Program]\r\n");
        Put("vm_ver32.ini", std::string("[FTP]\r\nUseProxy=") + value + "\r\nProxy=p\r\nProxyPort=1\r\nVemo=" + value +
                                "\r\nPasywny=" + value + "\r\n");
        EXPECT_EQ(Start(), "") << value;
        EXPECT_FALSE(view->proxyChecked) << value;
        EXPECT_FALSE(view->proxyFieldsEnabled) << value;
        EXPECT_EQ(view->FieldText(TField::Proxy), "") << value;
        EXPECT_EQ(view->FieldText(TField::ProxyPort), "") << value;
        EXPECT_EQ(view->testButtonVisible, false) << value;
        EXPECT_FALSE(form->FtpClient1->Passive) << value;
    }
}

TEST_F(Settings, MissingKeysEmptyTheirFields)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nUseProxy=Nie\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->FieldText(TField::Host), "");
    EXPECT_EQ(view->FieldText(TField::HostPort), "");
    EXPECT_EQ(view->FieldText(TField::User), "anonymous");
}

TEST_F(Settings, VemoShowsTheTestButtonAndSurvivesEverySave)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "; stored by hand\r\n[FTP]\r\nVemo=TAK\r\nHost=a\r\nUseProxy=Tak\r\nProxy=p\r\nProxyPort=21\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->testButtonVisible, true);
    view->SetProxyChecked(false); // the proxy saved earlier is lost
    EXPECT_FALSE(view->proxyFieldsEnabled);
    EXPECT_EQ(Close(), "");
    EXPECT_EQ(Read("vm_ver32.ini"), "; stored by hand\r\n[FTP]\r\nVemo=TAK\r\nHost=a\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n"
                                    "HostPort=\r\n");
}

TEST_F(Settings, PasywnyTurnsOnPassiveModeAndStaysInPlaceAtEverySave)
{
    Put("ort.ini", "[Program]\r\n");
    const std::string stored = "[FTP]\r\nHost=a\r\nPasywny=tak\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n";
    Put("vm_ver32.ini", stored);
    EXPECT_EQ(Start(), "");
    EXPECT_TRUE(form->FtpClient1->Passive);
    EXPECT_EQ(Close(), "");
    EXPECT_EQ(Read("vm_ver32.ini"), stored);
}

// Named in code page 1250 and relative to the program, as CertyfikatCA is;
// set by hand, never written.
TEST_F(Settings, KluczPodpisuIsAPathBesideTheProgramAndStaysInPlaceAtEverySave)
{
    Put("ort.ini", "[Program]\r\n");
    const std::string stored = "[FTP]\r\nHost=a\r\nKluczPodpisu=klucze/producent_ó.pem\r\nHostPort=21\r\n"
                               "UseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n";
    Put("vm_ver32.ini", stored);
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(form->SignatureKeyFile, ProgramDir() + "klucze/producent_ó.pem");
    EXPECT_EQ(Close(), "");
    EXPECT_EQ(Read("vm_ver32.ini"), Cp1250(stored));
}

TEST_F(Settings, WithoutAProductNothingIsSaved)
{
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(Close(), "");
    EXPECT_FALSE(Exists("vm_ver32.ini"));
}

TEST_F(Settings, SettingsThatCannotBeSavedAreSaidInABoxAtTheClose)
{
    Put("ort.ini", "[Program]\r\n");
    std::filesystem::create_directories(dir / "vm_ver32.ini");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(Close(), "");
    EXPECT_EQ(view->errorMessages,
              std::vector<std::string>{Cp1250("Nie mogę zapisać ustawień w pliku ") + ProgramDir() + "vm_ver32.ini"});
}
