// The window after start-up: the product found, its names, the controls.
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

TEST_F(StartUp, OrtanaWinsOverBelvik)
{
    Put("ort.ini", "[Program]\r\nWersja=1\r\n");
    Put("bel.ini", "[Program]\r\nWersja=2\r\n");
    Start();
    EXPECT_EQ(window->windowTitle(), "Zelnor: Ortana");
    EXPECT_EQ(Text("EditRemoteFile"), "pub/news/or_news.rtf");
    TForm1 &form = window->Logic();
    EXPECT_EQ(form.ProductIniName, "ort.ini");
    EXPECT_EQ(form.NewsInf->Remote->FileName->FullName, "pub/news/or_news.inf");
    EXPECT_EQ(form.NewsInf->Local->FileName->FullName, ProgramDir() + "or_news.inf");
    EXPECT_EQ(form.NewsRtf->Remote->FileName->FullName, "pub/news/or_news.rtf");
    EXPECT_EQ(form.NewsRtf->Local->FileName->FullName, ProgramDir() + "or_news.rtf");
    EXPECT_EQ(form.ProductIni->FileName->FullName, ProgramDir() + "ort.ini");
    EXPECT_EQ(form.NewsInf->Kind, 1);
    EXPECT_EQ(form.NewsRtf->Kind, 2);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StartUp, DirectoryNamedLikeAProductFileDoesNotCount)
{
    std::filesystem::create_directories(dir / "ort.ini");
    Put("bel.ini", "[Program]\r\n");
    Start();
    EXPECT_EQ(window->windowTitle(), "Zelnor: Belvik");
    EXPECT_EQ(Text("EditRemoteFile"), "pub/news/bv_news.rtf");
    EXPECT_EQ(window->Logic().NewsInf->Local->FileName->FullName, ProgramDir() + "bv_news.inf");
}

TEST_F(StartUp, SolvaneTypeKrInAnyCaseIsKaro)
{
    Put("solvane.ini", "[program]\r\ntyp = kr \r\n");
    Start();
    EXPECT_EQ(window->windowTitle(), "Zelnor: Solvane Karo");
    EXPECT_EQ(Text("EditRemoteFile"), "pub/news/sk_news.rtf");
    EXPECT_EQ(window->Logic().NewsInf->Remote->FileName->FullName, "pub/news/sk_news.inf");
}

TEST_F(StartUp, SolvaneOtherOrMissingTypeIsPlainSolvane)
{
    for (const char *content : {"[Program]\r\n", "[Program]\r\nTyp=KRX\r\n", "[Program]\r\nTyp=kR1\r\n"}) {
        Put("solvane.ini", content);
        Start();
        EXPECT_EQ(window->windowTitle(), "Zelnor: Solvane") << content;
        EXPECT_EQ(window->Logic().NewsRtf->Local->FileName->FullName, ProgramDir() + "sv_news.rtf");
    }
}

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
    EXPECT_EQ(Text("EditHost"), "ftp.vemo.com.pl"); // the stored settings are not read
    EXPECT_FALSE(Find<QPushButton>("ButtonTest")->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Logic().ProductIniName, "");
}

TEST_F(StartUp, ProgramKeyPointsTheProductElsewhere)
{
    const std::string other = (dir / "product").string();
    Put("ort.ini", "[Program]\r\nProgram=" + other + "\r\nWersja=1\r\n");
    Put("product/ort.ini", "[Program]\r\nWersja=9.1\r\nWydanie=3\r\nLastUpd=2020/02/01\r\n");
    Start();
    TForm1 &form = window->Logic();
    EXPECT_EQ(form.ProductIni->FileName->FullName, other + "/ort.ini");
    EXPECT_EQ(form.NewsInf->Local->FileName->FullName, other + "/or_news.inf");
    EXPECT_EQ(form.NewsRtf->Local->FileName->FullName, other + "/or_news.rtf");
    EXPECT_EQ(form.NewsRtf->Remote->FileName->FullName, "pub/news/or_news.rtf");
    EXPECT_EQ(Text("TextProgram"), QString::fromUtf8("\nTwój program:\n wersja: 9.1 , wyd. 3, 01/02/20"));
}

TEST_F(StartUp, ProgramKeyEndingInSeparatorGetsNoSecondOne)
{
    Put("ort.ini", "[Program]\r\nProgram=" + (dir / "p").string() + "/\r\n");
    Start();
    EXPECT_EQ(window->Logic().NewsInf->Local->FileName->FullName, (dir / "p").string() + "/or_news.inf");
}

TEST_F(StartUp, UnknownProgramDirectoryNamesFilesFromTheRoot)
{
    window = std::make_unique<MainWindow>(boxes, [] { return std::string(); });
    ASSERT_EQ(boxes.shown.size(), 1u); // nothing found in the current directory
    EXPECT_EQ(window->Logic().ProductIni->FileName->FullName, "/");
    EXPECT_EQ(window->Logic().NewsInf->Local->FileName->FullName, "/");
}

TEST_F(StartUp, ControlsCarryTheirTextsHintsAndStates)
{
    Put("ort.ini", "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/3\r\n");
    Start();
    auto *pages = Find<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheetCoNowego");
    EXPECT_EQ(pages->tabText(0), "Parametry");
    EXPECT_EQ(pages->tabText(1), "Co nowego");

    const std::vector<std::tuple<const char *, const char *, const char *>> buttons = {
        {"SpeedConnect", "&Połącz się z serwerem", "Połącz się z serwerem VEMO"},
        {"SpeedAbort", "&Anuluj pobieranie pliku", "Przerwij pobieranie plików"},
        {"SpeedDownload", "&Sprawdź co nowego ?", "Sprawdź, czy należy zaktualizować Twój program"},
        {"SpeedDisconnect", "&Rozłącz", "Przerwij połączenie"},
        {"SpeedExit", "&Koniec", "Zakończ działanie programu"},
        {"SpeedProgramAkt", "", "Program nie wymaga aktualizacji"},
        {"SpeedProgramOld", "", "Powinieneś zaktualizować program"},
    };
    for (const auto &[name, caption, hint] : buttons) {
        auto *button = Find<QToolButton>(name);
        EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(hint)) << name;
        EXPECT_TRUE(button->autoRaise()) << name;
        EXPECT_EQ(button->iconSize(), QSize(18, 18)) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_TRUE(button->isEnabled()) << name;
    }
    EXPECT_TRUE(Find<QToolButton>("SpeedDownload")->shortcut().matches(QKeySequence("Alt+S")));
    EXPECT_TRUE(Find<QToolButton>("SpeedExit")->shortcut().matches(QKeySequence("Alt+K")));
    EXPECT_FALSE(Find<QToolButton>("SpeedProgramAkt")->isVisible());
    EXPECT_FALSE(Find<QToolButton>("SpeedProgramOld")->isVisible());
    EXPECT_EQ(Find<QToolButton>("SpeedProgramOld")->pos(), QPoint(160, 4));

    EXPECT_EQ(Text("TextProgram"), QString::fromUtf8("\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25"));
    EXPECT_EQ(Text("TextKomunikat"), "");
    EXPECT_EQ(Find<QWidget>("TextKomunikat")->toolTip(), QString::fromUtf8("Komunikat, sugerujący sposob postępowania"));
    EXPECT_EQ(Find<QWidget>("TextProgram")->toolTip(), QString::fromUtf8("Szczegóły dotyczące wersji i wdania programu"));
    EXPECT_EQ(Text("LabelRtf"), QString::fromUtf8("Informacja o nowościach:"));
    auto *news = Find<QTextEdit>("RichEditRtf");
    EXPECT_EQ(news->toolTip(), "Dodatkowe informacje o aktualizacji na serwerze");
    EXPECT_EQ(news->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(news->toPlainText().isEmpty());

    EXPECT_EQ(Text("EditHost"), "ftp.vemo.com.pl");
    EXPECT_EQ(Text("EditHostPort"), "21");
    EXPECT_EQ(Text("EditUser"), "anonymous");
    EXPECT_FALSE(Find<QLineEdit>("EditUser")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("EditPassword")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>("EditPassword")->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(Find<QCheckBox>("CheckBoxProxy")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBoxProxy")->text(), QString::fromUtf8("Użyj Proxy"));
    EXPECT_FALSE(Find<QLineEdit>("EditProxy")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("EditProxyPort")->isEnabled());
    for (const char *name : {"EditHost", "EditHostPort", "EditRemoteFile"})
        EXPECT_TRUE(Find<QLineEdit>(name)->isEnabled()) << name;
    for (auto [name, caption] : std::vector<std::pair<const char *, const char *>>{
             {"LabelHost", "Host"}, {"LabelHostPort", "Port"}, {"LabelUser", "User ID"},
             {"LabelUserPassword", "Password"}, {"LabelProxy", "Proxy Server"}, {"LabelProxyPort", "Proxy Port"},
             {"LabelRemoteFile", "Zdalny plik"}})
        EXPECT_EQ(Text(name), caption) << name;
    EXPECT_FALSE(Find<QPushButton>("ButtonTest")->isVisible());
    EXPECT_EQ(Find<QPushButton>("ButtonTest")->text(), "VEMO Test");
    EXPECT_EQ(Status(), "");
    EXPECT_FALSE(window->Logic().LoggedIn);
    EXPECT_EQ(window->Logic().PendingKind, 0);
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

TEST_F(StartUp, IndicatorsStayHiddenWhenTheInstalledDateIsInvalid)
{
    Put("ort.ini", "[Program]\r\nLastUpd=2001/13/01\r\n");
    Start();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_FALSE(Find<QToolButton>("SpeedProgramAkt")->isVisible());
    EXPECT_FALSE(Find<QToolButton>("SpeedProgramOld")->isVisible());
}
