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

bool ProgramDirFixture::Exists(const std::string &name) const { return std::filesystem::exists(dir / name); }
