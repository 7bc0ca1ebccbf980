// The logic's start-up: the product found, its names, the fields it fills.
#include "tests/app/FormFixture.h"

#include "platform/ProgramPaths.h"

namespace {
const char *NoProductText = "W katalogu programu nie ma odpowiedniego pliku INI\n"
                            "Nie mogę sprawdzić, czy należy zaktualizować program";
// What the logic puts between a directory and a file name, the system's own.
const std::string Separator(1, ProgramPaths::Separator);
}

using StartUp = FormFixture;

TEST_F(StartUp, OrtanaWinsOverBelvik)
{
    Put("ort.ini", "[Program]\r\nWersja=1\r\n");
    Put("bel.ini", "[Program]\r\nWersja=2\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->caption, "Zelnor: Ortana");
    EXPECT_EQ(view->FieldText(TField::RemoteFile), "pub/news/or_news.rtf");
    EXPECT_EQ(form->ProductIniName, "ort.ini");
    EXPECT_EQ(form->NewsInf.Remote.FileName.FullName, "pub/news/or_news.inf");
    EXPECT_EQ(form->NewsInf.Local.FileName.FullName, ProgramDir() + "or_news.inf");
    EXPECT_EQ(form->NewsRtf.Remote.FileName.FullName, "pub/news/or_news.rtf");
    EXPECT_EQ(form->NewsRtf.Local.FileName.FullName, ProgramDir() + "or_news.rtf");
    EXPECT_EQ(form->ProductIni.FileName.FullName, ProgramDir() + "ort.ini");
    EXPECT_EQ(form->NewsInf.Kind, 1);
    EXPECT_EQ(form->NewsRtf.Kind, 2);
    EXPECT_TRUE(view->errorMessages.empty());
    EXPECT_TRUE(view->messageDialogs.empty());
}

TEST_F(StartUp, DirectoryNamedLikeAProductFileDoesNotCount)
{
    std::filesystem::create_directories(dir / "ort.ini");
    Put("bel.ini", "[Program]\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->caption, "Zelnor: Belvik");
    EXPECT_EQ(view->FieldText(TField::RemoteFile), "pub/news/bv_news.rtf");
    EXPECT_EQ(form->NewsInf.Local.FileName.FullName, ProgramDir() + "bv_news.inf");
}

TEST_F(StartUp, SolvaneTypeKrInAnyCaseIsKaro)
{
    Put("solvane.ini", "[program]\r\ntyp = kr \r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->caption, "Zelnor: Solvane Karo");
    EXPECT_EQ(view->FieldText(TField::RemoteFile), "pub/news/sk_news.rtf");
    EXPECT_EQ(form->NewsInf.Remote.FileName.FullName, "pub/news/sk_news.inf");
}

TEST_F(StartUp, SolvaneOtherOrMissingTypeIsPlainSolvane)
{
    for (const char *content : {"[Program]\r\n", "[Program]\r\nTyp=KRX\r\n", "[Program]\r\nTyp=kR1\r\n"}) {
        Put("solvane.ini", content);
        EXPECT_EQ(Start(), "") << content;
        EXPECT_EQ(view->caption, "Zelnor: Solvane") << content;
        EXPECT_EQ(form->NewsRtf.Local.FileName.FullName, ProgramDir() + "sv_news.rtf");
    }
}

TEST_F(StartUp, NoProductShowsOneBoxAndReadsNoStoredSettings)
{
    Put("vm_ver32.ini", "[FTP]\r\nHost=stored.example.pl\r\nVemo=Tak\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(view->errorMessages, std::vector<std::string>{Cp1250(NoProductText)});
    EXPECT_EQ(view->caption, ""); // the form keeps its own
    EXPECT_EQ(view->FieldText(TField::RemoteFile), "");
    EXPECT_EQ(view->FieldText(TField::Host), "ftp.vemo.com.pl"); // the stored settings are not read
    EXPECT_EQ(view->testButtonVisible, false);
    EXPECT_EQ(form->ProductIniName, "");
}

TEST_F(StartUp, ProgramKeyPointsTheProductElsewhere)
{
    const std::string other = (dir / "product").string();
    Put("ort.ini", "[Program]\r\nProgram=" + other + "\r\nWersja=1\r\n");
    Put("product/ort.ini", "[Program]\r\nWersja=9.1\r\nWydanie=3\r\nLastUpd=2020/02/01\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(form->ProductIni.FileName.FullName, other + Separator + "ort.ini");
    EXPECT_EQ(form->NewsInf.Local.FileName.FullName, other + Separator + "or_news.inf");
    EXPECT_EQ(form->NewsRtf.Local.FileName.FullName, other + Separator + "or_news.rtf");
    EXPECT_EQ(form->NewsRtf.Remote.FileName.FullName, "pub/news/or_news.rtf");
    EXPECT_EQ(view->programText, Cp1250("\nTwój program:\n wersja: 9.1 , wyd. 3, 01/02/20"));
}

// The file spells the directory in code page 1250; the directory on disk, the
// news read from it and the error box go by the letters, not by the bytes.
TEST_F(StartUp, ProgramKeyWithPolishLettersPointsTheProductThere)
{
    const std::string other = dir.string() + Separator + "Dane Łódź";
    Put("ort.ini", "[Program]\r\nProgram=" + other + "\r\n");
    Put("Dane Łódź/ort.ini", "[Program]\r\nWersja=9.1\r\nWydanie=3\r\nLastUpd=2020/02/01\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(form->NewsRtf.Local.FileName.FullName, other + Separator + "or_news.rtf");
    EXPECT_EQ(view->programText, Cp1250("\nTwój program:\n wersja: 9.1 , wyd. 3, 01/02/20"));
    EXPECT_EQ(ClickTest(), Cp1250("Cannot open file " + other + Separator + "or_news.rtf"));
    Put("Dane Łódź/or_news.rtf", "Nowości");
    Put("Dane Łódź/or_news.inf", "[Program]\r\nLastUpd=2020/02/02\r\n");
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->news, Cp1250("Nowości"));
}

TEST_F(StartUp, ProgramKeyEndingInSeparatorGetsNoSecondOne)
{
    Put("ort.ini", "[Program]\r\nProgram=" + (dir / "p").string() + "/\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(form->NewsInf.Local.FileName.FullName, (dir / "p").string() + "/or_news.inf");
}

TEST_F(StartUp, UnknownProgramDirectoryNamesFilesFromTheRoot)
{
    EXPECT_EQ(StartWithoutProgramDirectory(), "");
    ASSERT_EQ(view->errorMessages.size(), 1u); // nothing found in the current directory
    EXPECT_EQ(form->ProductIni.FileName.FullName, Separator);
    EXPECT_EQ(form->NewsInf.Local.FileName.FullName, Separator);
}

TEST_F(StartUp, FillsTheFieldsAndShowsTheInstalledRelease)
{
    Put("ort.ini", "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/3\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_TRUE(view->newsPageShown);
    EXPECT_EQ(view->programText, Cp1250("\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25"));
    EXPECT_EQ(view->verdictText, "");
    EXPECT_TRUE(view->indicators.empty());
    EXPECT_FALSE(view->news.has_value());
    EXPECT_EQ(view->FieldText(TField::Host), "ftp.vemo.com.pl");
    EXPECT_EQ(view->FieldText(TField::HostPort), "21");
    EXPECT_EQ(view->FieldText(TField::User), "anonymous");
    EXPECT_FALSE(view->FieldText(TField::Password).empty());
    EXPECT_FALSE(view->proxyChecked);
    EXPECT_FALSE(view->proxyFieldsEnabled);
    EXPECT_EQ(view->FieldText(TField::Proxy), "");
    EXPECT_EQ(view->FieldText(TField::ProxyPort), "");
    EXPECT_EQ(view->testButtonVisible, false);
    EXPECT_TRUE(view->statuses.empty());
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(form->PendingKind, 0);
}

TEST_F(StartUp, IndicatorsStayHiddenWhenTheInstalledDateIsInvalid)
{
    Put("ort.ini", "[Program]\r\nLastUpd=2001/13/01\r\n");
    EXPECT_EQ(Start(), "'2001/13/01' is not a valid date");
    EXPECT_TRUE(view->indicators.empty());
}
