// Every file the program reads, filled with what no tool would write: binary
// garbage, a megabyte line, deep nesting. The window opens and works on, and
// the outcome is the ordinary one for what could be read.
#include "WindowFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>

namespace {

// Bytes of every value, zero bytes and line ends included; the same each run.
std::string Garbage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

const std::string Installed = "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/03\r\n";
const std::string Newer = "[Program]\r\nWersja=4.3\r\nWydanie=1\r\nWydanie_Dod=a\r\nLastUpd=2026/11/20\r\n";

class HostileFiles : public WindowFixture {
protected:
    // Writes raw bytes, as they are on disk.
    void PutBytes(const std::string &name, const std::string &bytes)
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    // The installed product with the test button, news and release files.
    void Prepare(const std::string &product, const std::string &settings, const std::string &release,
                 const std::string &news)
    {
        PutBytes("ort.ini", product);
        PutBytes("vm_ver32.ini", "[FTP]\r\nVemo=Tak\r\n" + settings);
        PutBytes("or_news.inf", release);
        PutBytes("or_news.rtf", news);
    }
    void Check() { Find<QPushButton>("ButtonTest")->click(); }
    QString News() { return Find<QTextEdit>("RichEditRtf")->toPlainText(); }
};

} // namespace

TEST_F(HostileFiles, GarbageProductFileReadsAsAnEmptyRelease)
{
    Prepare(Garbage(100000, 1), "", Newer, "Nowości");
    Start();
    EXPECT_TRUE(boxes.shown.empty());
    Check();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!") << "no installed date counts as 1 January 2000";
}

TEST_F(HostileFiles, GarbageReleaseFileGivesNoUpdate)
{
    Prepare(Installed, "", Garbage(100000, 2), "Nowości");
    Start();
    Check();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Text("TextKomunikat"), "Aktualizacja niepotrzebna");
}

TEST_F(HostileFiles, GarbageDateIsAnErrorBoxAndTheWindowGoesOn)
{
    const std::string date("\x01\xFF\x00\x9c/", 5);
    Prepare(Installed, "", "[Program]\r\nLastUpd=" + date + "\r\n", "Nowości");
    Start();
    Check();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "VM_VER32");
    // The whole text, also past the zero byte of the date.
    EXPECT_TRUE(boxes.shown[0].text.endsWith(QChar(0) + QString::fromUtf8("ś/' is not a valid date.")))
        << boxes.shown[0].text.toStdString();
    Prepare(Installed, "", Newer, "Nowości");
    Check();
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
}

TEST_F(HostileFiles, GarbageSettingsFileLeavesTheFieldsEmptyAndIsRewrittenAtClose)
{
    Prepare(Installed, Garbage(100000, 3), Newer, "Nowości");
    Start();
    EXPECT_TRUE(boxes.shown.empty());
    Find<QLineEdit>("EditHost")->setText("ftp.example.pl");
    window->close();  // closing saves
    EXPECT_NE(Read("vm_ver32.ini").find("Host=ftp.example.pl"), std::string::npos);
}

TEST_F(HostileFiles, MegabyteLineInTheSettingsFileIsCut)
{
    Prepare(Installed, "Host=" + std::string(1 << 20, 'h') + "\r\nHostPort=21\r\n", Newer, "Nowości");
    Start();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Text("EditHost"), QString(127, 'h'));
    EXPECT_EQ(Text("EditHostPort"), "21");
}

TEST_F(HostileFiles, MegabyteLineInTheReleaseFileIsCut)
{
    Prepare(Installed, "", "[Program]\r\nWersja=" + std::string(1 << 20, '9') + "\r\nLastUpd=2026/11/20\r\n", "x");
    Start();
    Check();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
    EXPECT_LT(Text("TextProgram").size(), 1000);
}

TEST_F(HostileFiles, GarbageNewsIsShownAsPlainText)
{
    Prepare(Installed, "", Newer, Garbage(100000, 4));
    Start();
    Check();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(News().isEmpty());
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
}

TEST_F(HostileFiles, RichTextGarbageAndDeepNestingKeepWhatCanBeRead)
{
    Prepare(Installed, "", Newer, "{\\rtf1 " + Garbage(100000, 5));
    Start();
    Check();
    EXPECT_TRUE(boxes.shown.empty());

    const std::size_t deep = 100000;
    Prepare(Installed, "", Newer, "{\\rtf1 przed" + std::string(deep, '{') + "gleboko" + std::string(deep, '}') + " po}");
    Check();
    EXPECT_EQ(News(), "przed po");
    EXPECT_EQ(Text("TextKomunikat"), " Zaktualizuj program !!!");
}

TEST_F(HostileFiles, FifosNamedLikeTheDownloadedFilesBlockNothing)
{
    Prepare(Installed, "", Newer, "Nowości");
    for (const char *name : {"or_news.inf", "or_news.rtf"}) {
        std::filesystem::remove(dir / name);
        ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0);
    }
    Start();
    Check();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QString::fromStdString("Cannot open file " + ProgramDir() + "or_news.rtf."));
    std::filesystem::remove(dir / "or_news.rtf");
    PutBytes("or_news.rtf", "Nowości");
    Check();
    EXPECT_EQ(Text("TextKomunikat"), "Aktualizacja niepotrzebna") << "a FIFO reads as a release without keys";
}
