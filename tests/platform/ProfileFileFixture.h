#pragma once
// A directory of its own for each test, with the profile's name in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string Slurp(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("profile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        name = (dir / "vm_ver32.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Put(const std::string &text) { std::ofstream(name, std::ios::binary) << text; }

    std::filesystem::path dir;
    std::string name;
};
