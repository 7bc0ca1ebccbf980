#pragma once
// A directory of its own for each test of the file a capture writes, with the
// target's name in it and the name a killed download of it leaves.
#include "harness/FtpFiles.h"
#include "platform/files/FileStream.h"
#include "tests/support/FailureOf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string Contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void Put(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class FileStream : public ::testing::Test {
protected:
    // Writes Bytes to the target and puts them in place.
    void Download(const std::string &bytes)
    {
        TFileStream file(target);
        file.Write(bytes.data(), bytes.size());
        file.Commit();
    }
    // The create error making a stream for the target raises; empty when none.
    std::string CreateError()
    {
        return testsupport::FailureOf<EFCreateError>([&] { TFileStream file(target); });
    }

    harness::TempDir dir;
    const std::string target = dir / "f";
    // What a download of the target leaves when it is killed.
    const std::string leftover = dir / "f.vm_ver32-Ab3dE9";
};
