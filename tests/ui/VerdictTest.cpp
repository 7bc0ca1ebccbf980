// The verdict as the window shows it: its two looks, the indicators, the news
// view after the test button, and errors in the error box. How the verdict is
// reached is tested without a window (tests/app).
#include "WindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

namespace {

class Verdict : public WindowFixture {
protected:
    // The installed release, the server's, and the test button offered.
    void Prepare(const std::string &local, const std::string &server)
    {
        PrepareReleases(local, server);
        Start();
    }
    void Check() { Find<QPushButton>("ButtonTest")->click(); }
    bool Shown(const char *indicator) { return Find<QToolButton>(indicator)->isVisible(); }
    QString VerdictText() { return Text("TextKomunikat"); }
};

} // namespace

TEST_F(Verdict, TestButtonShowsTheVerdictTheReleasesAndTheStatus)
{
    Prepare(Release("4.2", "7", "b", "2025/11/03"), Release("4.3", "1", "a", "2025/11/04"));
    Check();
    EXPECT_EQ(VerdictText(), " Zaktualizuj program !!!");
    EXPECT_TRUE(Shown("SpeedProgramOld"));
    EXPECT_FALSE(Shown("SpeedProgramAkt"));
    EXPECT_EQ(Text("TextProgram"), QString::fromUtf8("\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25\n\n\n"
                                                     " Aktualny program:\n wersja: 4.3 , wyd. 1a, 04/11/25"));
    EXPECT_EQ(Status(), QString::fromUtf8("Pobieranie zakończone"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Verdict, NoUpdateLookIsUnderlinedNotBoldOnThePanelsColours)
{
    Prepare(Release("4.2", "7", "b", "2025/11/03"), Release("4.2", "7", "b", "2025/11/03"));
    Check();
    EXPECT_EQ(VerdictText(), "Aktualizacja niepotrzebna");
    EXPECT_TRUE(Shown("SpeedProgramAkt"));
    EXPECT_FALSE(Shown("SpeedProgramOld"));
    const QLabel *label = Find<QLabel>("TextKomunikat");
    EXPECT_TRUE(label->font().underline());
    EXPECT_FALSE(label->font().bold());
    EXPECT_EQ(label->font().pointSize(), 10);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), window->palette().color(QPalette::WindowText));
}

TEST_F(Verdict, UpdateLookIsBoldUnderlinedInHighlightedTextAndGoesAgain)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/2"));
    Check();
    const QLabel *label = Find<QLabel>("TextKomunikat");
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->font().pointSize(), 10);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), window->palette().color(QPalette::HighlightedText));

    Put("or_news.inf", Release("1", "1", "", "2001/1/1"));
    Check();
    EXPECT_EQ(VerdictText(), "Aktualizacja niepotrzebna");
    EXPECT_TRUE(Shown("SpeedProgramAkt"));
    EXPECT_TRUE(Shown("SpeedProgramOld"));
    EXPECT_FALSE(label->font().bold());
}

TEST_F(Verdict, ErrorOfTheTestButtonGoesToTheErrorBoxAndTheDisplayStays)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("2", "2", "", "2001/3/5 12:00"));
    const QString before = Text("TextProgram");
    Check();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_EQ(boxes.shown[0].caption, "VM_VER32");
    EXPECT_EQ(boxes.shown[0].text, "'2001/3/5 12:00' is not a valid date.");
    EXPECT_EQ(Text("TextProgram"), before);
    EXPECT_EQ(VerdictText(), "");
}

TEST_F(Verdict, BadInstalledDateAtStartIsShownAndTheWindowOpens)
{
    Put("ort.ini", Release("1", "1", "", "31/31/31"));
    Start();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, TMessageKind::ErrorBox);
    EXPECT_EQ(boxes.shown[0].text, "'31/31/31' is not a valid date.");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(Shown("SpeedProgramAkt"));
    EXPECT_FALSE(Shown("SpeedProgramOld"));
}

TEST_F(Verdict, MissingNewsFileGoesToTheErrorBoxBeforeAnyVerdict)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/2"));
    std::filesystem::remove(dir / "or_news.rtf");
    Check();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QString::fromStdString("Cannot open file " + ProgramDir() + "or_news.rtf."));
    EXPECT_EQ(VerdictText(), "");
    EXPECT_FALSE(Shown("SpeedProgramOld"));
}

TEST_F(Verdict, PlainTextNewsIsShownWithTheCaretAtItsStart)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/1"));
    Put("or_news.rtf", "Zmiany:\r\nźródła danych\r\n");
    Check();
    auto *news = Find<QTextEdit>("RichEditRtf");
    EXPECT_EQ(news->toPlainText(), QString::fromUtf8("Zmiany:\nźródła danych"));
    EXPECT_EQ(news->textCursor().position(), 0);
    EXPECT_EQ(window->focusWidget(), news);
    EXPECT_EQ(VerdictText(), "Aktualizacja niepotrzebna");
}
