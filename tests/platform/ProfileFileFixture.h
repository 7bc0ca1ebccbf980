#pragma once
// A directory of its own for each test, with the profile's name in it.
#include "harness/FtpFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

class ProfileFile : public ::testing::Test {
protected:
    void Put(const std::string &text) { std::ofstream(name, std::ios::binary) << text; }
    // The bytes of a file in the directory, the profile by default.
    std::string Read(const std::string &relative = "vm_ver32.ini") const { return temp.Read(relative); }

    harness::TempDir temp;
    std::filesystem::path dir = temp.Path();
    std::string name = temp / "vm_ver32.ini";
};
