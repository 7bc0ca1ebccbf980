// The connection settings as the window carries them: typed Polish letters
// reach the file in code page 1250, and the proxy box drives its fields. What
// is read and written is tested without a window (tests/app).
#include "WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>

using Settings = WindowFixture;

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

