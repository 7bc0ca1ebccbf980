#include "tests/support/ProgramDirFixture.h"

#include "platform/CodePage.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

void ProgramDirFixture::SetUp()
{
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          (std::string("vm-program-") + info->test_suite_name() + "-" + info->name() + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
}

void ProgramDirFixture::TearDown() { std::filesystem::remove_all(dir); }

void ProgramDirFixture::Put(const std::string &name, const std::string &text)
{
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << CodePage::FromUtf8(text);
}

std::string ProgramDirFixture::Read(const std::string &name) const
{
    std::ifstream in(dir / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ProgramDirFixture::PrepareProduct(const std::string &host, int port)
{
    Put("ort.ini", "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/03\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nHost=" + host + "\r\nHostPort=" + std::to_string(port) + "\r\nUseProxy=Nie\r\n");
}

void ProgramDirFixture::PrepareReleases(const std::string &local, const std::string &server)
{
    Put("ort.ini", local);
    Put("or_news.inf", server);
    Put("or_news.rtf", "Nowości");
    Put("vm_ver32.ini", "[FTP]\r\nVemo=Tak\r\n");
}

std::string ProgramDirFixture::Release(const std::string &version, const std::string &edition,
                                       const std::string &suffix, const std::string &lastUpdate)
{
    std::string text = "[Program]\r\nWersja=" + version + "\r\nWydanie=" + edition + "\r\nWydanie_Dod=" + suffix + "\r\n";
    if (!lastUpdate.empty())
        text += "LastUpd=" + lastUpdate + "\r\n";
    return text;
}

bool ProgramDirFixture::Exists(const std::string &name) const { return std::filesystem::exists(dir / name); }
