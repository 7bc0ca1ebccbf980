// The connection settings: read at start from vm_ver32.ini, written at close.
#include "WindowFixture.h"

#include "app/vm_ver32Main.h"
#include "platform/CodePage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using Settings = WindowFixture;

TEST_F(Settings, FirstCloseCreatesTheFileWithTheDefaults)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    EXPECT_FALSE(Exists("vm_ver32.ini"));
    window->close();
    EXPECT_EQ(Read("vm_ver32.ini"),
              "[FTP]\r\nHost=ftp.vemo.com.pl\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

TEST_F(Settings, StoredProxyChecksTheBoxAndEnablesItsFields)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nHost=h.example.pl\r\nHostPort=2121\r\nUseProxy=tak\r\nProxy=p.example.pl\r\nProxyPort=8021\r\n");
    Start();
    EXPECT_TRUE(Find<QCheckBox>("CheckBoxProxy")->isChecked());
    EXPECT_TRUE(Find<QLineEdit>("EditProxy")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>("EditProxyPort")->isEnabled());
    EXPECT_EQ(Text("EditHost"), "h.example.pl");
    EXPECT_EQ(Text("EditHostPort"), "2121");
    EXPECT_EQ(Text("EditProxy"), "p.example.pl");
    EXPECT_EQ(Text("EditProxyPort"), "8021");
}

TEST_F(Settings, OnlyTakMeansYesAndThenTheProxyIsNotRead)
{
    for (const char *value : {"yes", "1", "Tak!", ""}) {
        Put("ort.ini", "[Program]\r\n");
        Put("vm_ver32.ini", std::string("[FTP]\r\nUseProxy=") + value + "\r\nProxy=p\r\nProxyPort=1\r\nVemo=" + value +
                                "\r\nPasywny=" + value + "\r\n");
        Start();
        EXPECT_FALSE(Find<QCheckBox>("CheckBoxProxy")->isChecked()) << value;
        EXPECT_FALSE(Find<QLineEdit>("EditProxy")->isEnabled()) << value;
        EXPECT_EQ(Text("EditProxy"), "") << value;
        EXPECT_EQ(Text("EditProxyPort"), "") << value;
        EXPECT_FALSE(Find<QPushButton>("ButtonTest")->isVisible()) << value;
        EXPECT_FALSE(window->Logic().FtpClient1->Passive) << value;
    }
}

TEST_F(Settings, MissingKeysEmptyTheirFields)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nUseProxy=Nie\r\n");
    Start();
    EXPECT_EQ(Text("EditHost"), "");
    EXPECT_EQ(Text("EditHostPort"), "");
    EXPECT_EQ(Text("EditUser"), "anonymous");
}

TEST_F(Settings, VemoShowsTheTestButtonAndSurvivesEverySave)
{
    Put("ort.ini", "[Program]\r\n");
    Put("vm_ver32.ini", "; stored by hand\r\n[FTP]\r\nVemo=TAK\r\nHost=a\r\nUseProxy=Tak\r\nProxy=p\r\nProxyPort=21\r\n");
    Start();
    EXPECT_TRUE(Find<QPushButton>("ButtonTest")->isVisible());
    Find<QCheckBox>("CheckBoxProxy")->setChecked(false); // the proxy saved earlier is lost
    window->close();
    EXPECT_EQ(Read("vm_ver32.ini"), "; stored by hand\r\n[FTP]\r\nVemo=TAK\r\nHost=a\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n"
                                    "HostPort=\r\n");
}

TEST_F(Settings, PasywnyTurnsOnPassiveModeAndStaysInPlaceAtEverySave)
{
    Put("ort.ini", "[Program]\r\n");
    const std::string stored = "[FTP]\r\nHost=a\r\nPasywny=tak\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n";
    Put("vm_ver32.ini", stored);
    Start();
    EXPECT_TRUE(window->Logic().FtpClient1->Passive);
    window->close();
    EXPECT_EQ(Read("vm_ver32.ini"), stored);
}

TEST_F(Settings, TypedPolishTextIsStoredInCodePage1250)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    Find<QLineEdit>("EditHost")->setText(QString::fromUtf8("żółć.example.pl"));
    Find<QCheckBox>("CheckBoxProxy")->setChecked(true);
    Find<QLineEdit>("EditProxy")->setText(QString::fromUtf8("pośrednik"));
    window->close();
    const std::string stored = Read("vm_ver32.ini");
    EXPECT_NE(stored.find("Host=\xBF\xF3\xB3\xE6.example.pl\r\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("UseProxy=Tak\r\nProxy=po\x9Crednik\r\nProxyPort=\r\n"), std::string::npos) << stored;

    Start(); // and shown again with its Polish letters
    EXPECT_EQ(Text("EditHost"), QString::fromUtf8("żółć.example.pl"));
    EXPECT_EQ(Text("EditProxy"), QString::fromUtf8("pośrednik"));
}

TEST_F(Settings, WithoutAProductNothingIsSaved)
{
    Start();
    window->close();
    EXPECT_FALSE(Exists("vm_ver32.ini"));
}

TEST_F(Settings, ProxyBoxEnablesItsFieldsWheneverItChanges)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    auto *box = Find<QCheckBox>("CheckBoxProxy");
    box->click();
    EXPECT_TRUE(Find<QLineEdit>("EditProxy")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>("EditProxyPort")->isEnabled());
    box->click();
    EXPECT_FALSE(Find<QLineEdit>("EditProxy")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("EditProxyPort")->isEnabled());
}

TEST_F(Settings, SettingsThatCannotBeSavedAreSaidInABoxAtTheClose)
{
    Put("ort.ini", "[Program]\r\n");
    std::filesystem::create_directories(dir / "vm_ver32.ini");
    Start();
    window->close();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorMessage);
    const QString file = QString::fromStdString(ProgramDir() + "vm_ver32.ini");
    EXPECT_EQ(boxes.shown[0].text, QString::fromUtf8("Nie mogę zapisać ustawień w pliku ") + file);
}
