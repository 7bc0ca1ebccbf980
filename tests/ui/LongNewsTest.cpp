// News files far larger than any real one: the view gets a bounded part with
// a visible mark, and the window keeps answering, so "Koniec" ends it.
#include "WindowFixture.h"

#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <filesystem>
#include <fstream>

namespace {

const QString kOmitted = QString::fromUtf8("[…] Dalsza część wiadomości została pominięta.");

class LongNews : public WindowFixture {
protected:
    // An installed product with the test button; the news file is left to the test.
    void SetUp() override
    {
        WindowFixture::SetUp();
        Put("ort.ini", "[Program]\r\nLastUpd=2025/11/03\r\n");
        Put("vm_ver32.ini", "[FTP]\r\nVemo=Tak\r\n");
        Put("or_news.inf", "[Program]\r\nLastUpd=2025/11/03\r\n");
    }
    void Check() { Find<QPushButton>("ButtonTest")->click(); }
    QString News() { return Find<QTextEdit>("RichEditRtf")->toPlainText(); }
};

} // namespace

TEST_F(LongNews, MegabyteLineIsCutWithAMarkAndKoniecEndsTheProgram)
{
    std::ofstream(dir / "or_news.rtf", std::ios::binary) << "{\\rtf1\\ansi " << std::string(1 << 20, 'a') << "}";
    Start();
    Check();
    EXPECT_TRUE(News().startsWith(QString(100, 'a')));
    EXPECT_TRUE(News().endsWith(QString::fromUtf8(" […]")));
    EXPECT_LT(News().size(), 1 << 20);

    QTest::mouseClick(Find<QToolButton>("SpeedExit"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    EXPECT_NE(Read("vm_ver32.ini").find("Host="), std::string::npos) << "the settings are saved at the close";
}

TEST_F(LongNews, TwoGigabyteFileIsShownCutWithoutReadingItWhole)
{
    // Sparse: no disk is spent, yet reading it whole would take 2 GiB.
    std::ofstream(dir / "or_news.rtf", std::ios::binary).close();
    std::filesystem::resize_file(dir / "or_news.rtf", std::uintmax_t{2} << 30);
    Start();
    Check();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(News().endsWith(kOmitted));
}
