#pragma once
// What the tests of the test servers share: a tree with one file to serve,
// a folder to fetch into, and the output of an independent client.
#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

// Everything Command prints (standard output and error, when it redirects it).
inline std::string OutputOf(const std::string &command)
{
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    return output;
}

class HarnessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VM_SKIP_WITHOUT_PRIVATE_NETWORK();
        files.Write("pub/news/file.bin", content);
    }
    const std::string content = harness::PatternBytes(300000);
    harness::FtpFiles files;
    harness::TempDir local;
};
