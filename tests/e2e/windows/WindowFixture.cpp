#include "tests/e2e/windows/WindowFixture.h"

#include "harness/client/ServicePaths.h"
#include "platform/detail/WideTextWindows.h"

#include <gmock/gmock.h>

#include <cstdlib>

using namespace WindowIds;
using ::testing::HasSubstr;

const std::string WindowFixture::NewsRtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
                                           "\\pard\\b Nowo\\'9cci w wersji 4.3\\b0\\par Szybsze wyszukiwanie zada\\'f1\\par}";
const std::string WindowFixture::ServerRelease =
    "[Program]\r\nWersja=4.3\r\nWydanie=1\r\nWydanie_Dod=a\r\nLastUpd=2026/11/20\r\n";
const std::string WindowFixture::NewerVerdict = " Zaktualizuj program !!!";

void WindowFixture::SetUp()
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    // Wine shows windows on an X display; the test run gives it one.
    ASSERT_TRUE(std::getenv("DISPLAY")) << "no DISPLAY for wine's windows (scripts/lib/test-windows.sh starts an Xvfb)";
    InstallIn("");
}

void WindowFixture::InstallIn(const std::string &folder)
{
    const std::string directory = folder.empty() ? temp.Path() : temp.Path() + "\\" + folder;
    ASSERT_TRUE(::CreateDirectoryW(WideText::FromUtf8(directory).c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS) << "error " << ::GetLastError();
    program = directory + "\\vm_ver32.exe";
    const std::wstring built = WideText::FromUtf8(harness::LocalPath(VM_WINDOW_PROGRAM));
    ASSERT_TRUE(::CopyFileW(built.c_str(), WideText::FromUtf8(program).c_str(), TRUE)) << "error " << ::GetLastError();
}

windowdriver::Window &WindowFixture::Start()
{
    process.emplace(program);
    window.emplace(*process);
    return *window;
}

void WindowFixture::ServeNews(harness::FtpFiles &files)
{
    files.Write("pub/news/or_news.rtf", NewsRtf);
    files.Write("pub/news/or_news.inf", ServerRelease);
}

void WindowFixture::Check()
{
    window->Click(SpeedDownload);
    windowdriver::WaitUntil([&] { return !window->Text(TextKomunikat).empty() || !Boxes().empty(); });
}

void WindowFixture::ExpectWholeCheck(const std::string &productFolder)
{
    for (const windowdriver::Box &box : Boxes())
        ADD_FAILURE() << "box " << box.Caption << ": " << box.Text;
    EXPECT_EQ(window->Text(TextKomunikat), NewerVerdict);
    EXPECT_EQ(window->WaitForText(StatusBar1, "Zakończono pobieranie"), "Zakończono pobieranie");
    EXPECT_TRUE(window->Visible(SpeedProgramOld));
    EXPECT_FALSE(window->Visible(SpeedProgramAkt));
    EXPECT_EQ(window->Text(TextProgram), "\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25\n\n\n"
                                         " Aktualny program:\n wersja: 4.3 , wyd. 1a, 20/11/26");
    const std::string news = window->Text(RichEditRtf);
    EXPECT_THAT(news, HasSubstr("Nowości w wersji 4.3"));
    EXPECT_THAT(news, HasSubstr("Szybsze wyszukiwanie zadań"));
    EXPECT_EQ(Read(productFolder + "or_news.rtf"), NewsRtf);
    EXPECT_EQ(Read(productFolder + "or_news.inf"), ServerRelease);
}
