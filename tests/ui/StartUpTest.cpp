// The window after start-up: its controls, found by name, in their start
// states; the frame; the tab order. What the logic decides at start-up is
// tested without a window (tests/app).
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {
const char *NoProductText = "W katalogu programu nie ma odpowiedniego pliku INI\n"
                            "Nie mogę sprawdzić, czy należy zaktualizować program";
}

using StartUp = WindowFixture;





// The logic's box reaches the user as the error message box, and the window
// keeps the form's own title.
TEST_F(StartUp, NoProductShowsOneBoxAndOpensTheWindow)
{
    Put("vm_ver32.ini", "[FTP]\r\nHost=stored.example.pl\r\nVemo=Tak\r\n");
    Start();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorMessage);
    EXPECT_EQ(boxes.shown[0].caption, QString::fromUtf8("Błąd"));
    EXPECT_EQ(boxes.shown[0].text, QString::fromUtf8(NoProductText));
    EXPECT_EQ(window->windowTitle(), "ZELNOR, VEMO");
    EXPECT_EQ(Text("EditRemoteFile"), "");
    EXPECT_EQ(Text("EditHost"), "ftp.vemo.com.pl");
    EXPECT_FALSE(Find<QPushButton>("ButtonTest")->isVisible());
    EXPECT_TRUE(window->isVisible());
}





// Every control the user meets, found by its name, in the state the start
// leaves it in: a control that is missing, hidden or disabled where it should
// not be (or the reverse) fails here.
TEST_F(StartUp, ControlsFoundByNameHaveTheirStartStates)
{
    Put("ort.ini", "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/3\r\n");
    Start();
    auto *pages = Find<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheetCoNowego");
    EXPECT_EQ(pages->count(), 2);

    for (const char *name : {"SpeedConnect", "SpeedAbort", "SpeedDownload", "SpeedDisconnect", "SpeedExit"}) {
        auto *button = Find<QToolButton>(name);
        EXPECT_TRUE(button->isVisible()) << name;
        EXPECT_TRUE(button->isEnabled()) << name;
        EXPECT_TRUE(button->autoRaise()) << name;
        EXPECT_EQ(button->iconSize(), QSize(18, 18)) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
    for (const char *name : {"SpeedProgramAkt", "SpeedProgramOld"}) {
        auto *indicator = Find<QToolButton>(name);
        EXPECT_FALSE(indicator->isVisible()) << name;
        EXPECT_TRUE(indicator->isEnabled()) << name;
        EXPECT_FALSE(indicator->icon().isNull()) << name;
        EXPECT_EQ(indicator->pos(), QPoint(160, 4)) << name;
    }
    EXPECT_TRUE(Find<QToolButton>("SpeedDownload")->shortcut().matches(QKeySequence("Alt+S")));
    EXPECT_TRUE(Find<QToolButton>("SpeedExit")->shortcut().matches(QKeySequence("Alt+K")));

    for (const char *name : {"TextProgram", "TextKomunikat", "RichEditRtf"})
        EXPECT_TRUE(Find<QWidget>(name)->isVisible()) << name;
    EXPECT_EQ(Text("TextProgram"), QString::fromUtf8("\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25"));
    EXPECT_EQ(Text("TextKomunikat"), "");
    auto *news = Find<QTextEdit>("RichEditRtf");
    EXPECT_EQ(news->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(news->toPlainText().isEmpty());

    // The fields sit on the other page: enabled or not, as the start left them.
    for (const char *name : {"EditHost", "EditHostPort", "EditRemoteFile"})
        EXPECT_TRUE(Find<QLineEdit>(name)->isEnabled()) << name;
    for (const char *name : {"EditUser", "EditPassword", "EditProxy", "EditProxyPort"})
        EXPECT_FALSE(Find<QLineEdit>(name)->isEnabled()) << name;
    EXPECT_EQ(Text("EditHost"), "ftp.vemo.com.pl");
    EXPECT_EQ(Text("EditHostPort"), "21");
    EXPECT_EQ(Text("EditUser"), "anonymous");
    EXPECT_EQ(Find<QLineEdit>("EditPassword")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Find<QCheckBox>("CheckBoxProxy")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("CheckBoxProxy")->isChecked());
    EXPECT_FALSE(Find<QPushButton>("ButtonTest")->isVisible());
    EXPECT_TRUE(Find<QStatusBar>("StatusBar1")->isVisible());
    EXPECT_EQ(Status(), "");
}

TEST_F(StartUp, WindowIsAFixedFrameOnTopWithoutMinimiseOrMaximise)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    EXPECT_EQ(window->size(), QSize(446, 323));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(Find<QStatusBar>("StatusBar1")->height(), 19);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(StartUp, TabOrderFollowsTheFields)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    const char *order[] = {"EditHost", "EditHostPort", "EditUser", "EditPassword",
                           "CheckBoxProxy", "EditProxy", "EditProxyPort", "EditRemoteFile"};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(Find<QWidget>(order[i])->nextInFocusChain()->objectName(), order[i + 1]) << order[i];
}

