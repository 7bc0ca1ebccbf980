#pragma once
// What the tests of a capture into a file share.
#include "tests/sock/SockTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace socktest {

// A file name of its own for every test, removed afterwards.
class SockCapture : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    std::string Contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    const std::string path = ::testing::TempDir() + "capture_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(::getpid());
};

} // namespace socktest
