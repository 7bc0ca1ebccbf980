#include "platform/PrivateProfile.h"

#include "tests/platform/ProfileFileFixture.h"

using namespace PrivateProfile;

TEST(ProfileRead, MatchesNamesWithoutCaseAndDropsBlanks)
{
    const std::string text = "[ftp]\r\n  HOST  =   ftp.example.pl  \r\nPort=21\r\n";
    EXPECT_EQ(ReadValue(text, "FTP", "Host"), "ftp.example.pl");
    EXPECT_EQ(ReadValue(text, "Ftp", "port"), "21");
    EXPECT_EQ(ReadValue(text, "FTP", "Proxy"), "");
    EXPECT_EQ(ReadValue(text, "Program", "Host"), "");
}

TEST(ProfileRead, KeyOfAnotherSectionDoesNotCount)
{
    const std::string text = "[A]\nKey=1\n[B]\nOther=2\n[C]\nKey=3\n";
    EXPECT_EQ(ReadValue(text, "B", "Key"), "");
    EXPECT_EQ(ReadValue(text, "C", "Key"), "3");
}

TEST(ProfileRead, FirstSectionAndFirstKeyWin)
{
    const std::string text = "[A]\nKey=first\nKey=second\n[A]\nKey=third\n";
    EXPECT_EQ(ReadValue(text, "A", "Key"), "first");
}

TEST(ProfileRead, CommentsAndLinesWithoutEqualsAreSkipped)
{
    const std::string text = "[A]\n;Key=commented\nKey\nKey=real\n";
    EXPECT_EQ(ReadValue(text, "A", "Key"), "real");
}

TEST(ProfileRead, ValueKeepsEqualsSignsAndCp1250Bytes)
{
    const std::string text = "[A]\nKey=a=b \xB3\xF3\xBF\n";
    EXPECT_EQ(ReadValue(text, "A", "Key"), "a=b \xB3\xF3\xBF");
}

TEST_F(ProfileFile, LongValueReadsBackCutTo127)
{
    Put("[Program]\r\nWersja=" + std::string(200, 'x') + "\r\n");
    EXPECT_EQ(GetString(name, "Program", "Wersja", 127), std::string(127, 'x'));
}

TEST_F(ProfileFile, MissingFileReadsEmpty)
{
    EXPECT_EQ(GetString(name, "FTP", "Host", 127), "");
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(ProfileFile, WriteReplacesKeyInPlaceAndKeepsEverythingElse)
{
    Put("; settings\r\n[FTP]\r\nhost = old\r\n; a note\r\nVemo=Tak\r\n\r\n[Other]\r\nX=1\r\n");
    ASSERT_TRUE(WriteString(name, "FTP", "Host", "new.example.pl"));
    EXPECT_EQ(Read(), "; settings\r\n[FTP]\r\nHost=new.example.pl\r\n; a note\r\nVemo=Tak\r\n\r\n[Other]\r\nX=1\r\n");
}

TEST_F(ProfileFile, MissingKeyGoesAfterTheSectionsLastLine)
{
    Put("[FTP]\r\nHost=a\r\n\r\n[Other]\r\nX=1\r\n");
    ASSERT_TRUE(WriteString(name, "FTP", "Proxy", ""));
    EXPECT_EQ(Read(), "[FTP]\r\nHost=a\r\nProxy=\r\n\r\n[Other]\r\nX=1\r\n");
    EXPECT_EQ(GetString(name, "FTP", "Proxy", 127), "");
}

TEST_F(ProfileFile, MissingSectionIsAppendedAndFileCreated)
{
    ASSERT_TRUE(WriteString(name, "FTP", "Host", "h"));
    EXPECT_EQ(Read(), "[FTP]\r\nHost=h\r\n");
    ASSERT_TRUE(WriteString(name, "Program", "Typ", "KR"));
    EXPECT_EQ(Read(), "[FTP]\r\nHost=h\r\n\r\n[Program]\r\nTyp=KR\r\n");
}

TEST_F(ProfileFile, LfFilesStayLfAndLastLineWithoutEndIsKept)
{
    Put("[FTP]\nHost=a");
    ASSERT_TRUE(WriteString(name, "FTP", "HostPort", "21"));
    EXPECT_EQ(Read(), "[FTP]\nHost=a\nHostPort=21\n");
    ASSERT_TRUE(WriteString(name, "FTP", "Host", "b"));
    EXPECT_EQ(Read(), "[FTP]\nHost=b\nHostPort=21\n");
}

TEST_F(ProfileFile, EmptyValueKeepsTheKey)
{
    Put("[FTP]\r\nProxy=proxy.example.pl\r\n");
    ASSERT_TRUE(WriteString(name, "FTP", "Proxy", ""));
    EXPECT_EQ(Read(), "[FTP]\r\nProxy=\r\n");
}

TEST_F(ProfileFile, ValueIsWrittenWithItsBlanksAndReadWithout)
{
    ASSERT_TRUE(WriteString(name, "FTP", "Host", " h "));
    EXPECT_EQ(Read(), "[FTP]\r\nHost= h \r\n");
    EXPECT_EQ(GetString(name, "FTP", "Host", 127), "h");
}

TEST_F(ProfileFile, LongNamesAndValuesWork)
{
    const std::string key(300, 'k'), value(5000, 'v');
    ASSERT_TRUE(WriteString(name, "FTP", key, value));
    EXPECT_EQ(ReadValue(Read(), "FTP", key), value);
    EXPECT_EQ(GetString(name, "FTP", key, 127), value.substr(0, 127));
}

TEST_F(ProfileFile, TextThatWouldBreakTheFileIsRefused)
{
    Put("[FTP]\r\nHost=a\r\n");
    EXPECT_FALSE(WriteString(name, "FTP", "Host", "evil\r\n[Other]"));
    EXPECT_FALSE(WriteString(name, "FTP", "Ho=st", "x"));
    EXPECT_FALSE(WriteString(name, "F\nTP", "Host", "x"));
    EXPECT_EQ(Read(), "[FTP]\r\nHost=a\r\n");
}

TEST_F(ProfileFile, WriteIntoMissingDirectoryFails)
{
    EXPECT_FALSE(WriteString((dir / "no" / "such.ini").string(), "FTP", "Host", "x"));
}

TEST_F(ProfileFile, MegabyteLineIsReadAndCut)
{
    Put("[Program]\nWersja=" + std::string(1 << 20, '9') + "\nLastUpd=2001/3/5\n");
    EXPECT_EQ(GetString(name, "Program", "Wersja", 127).size(), 127u);
    EXPECT_EQ(GetString(name, "Program", "LastUpd", 127), "2001/3/5");
}
