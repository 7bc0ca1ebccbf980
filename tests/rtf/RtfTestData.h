#pragma once
// The committed test files of tests/data/rtf (see scripts/regen-rtf-testdata.sh).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadRtfTestFile(const std::string &name)
{
    const std::string path = std::string(VM_RTF_TEST_DATA) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << "cannot open " << path;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
