#include "harness/FtpFiles.h"
#include "platform/ProgramPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(ProgramPaths, ProgramDirectoryHoldsThisExecutable)
{
    const std::string dir = ProgramPaths::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), ProgramPaths::Separator);
    EXPECT_TRUE(ProgramPaths::FileExists(dir + VM_TEST_EXECUTABLE));
}

TEST(ProgramPaths, OnlyFilesExist)
{
    const harness::TempDir temp;
    const std::filesystem::path dir = temp.Path();
    std::filesystem::create_directories(dir / "ort.ini");
    std::ofstream(dir / "bel.ini") << "[Program]\n";
    EXPECT_FALSE(ProgramPaths::FileExists((dir / "ort.ini").string()));
    EXPECT_TRUE(ProgramPaths::FileExists((dir / "bel.ini").string()));
    EXPECT_FALSE(ProgramPaths::FileExists((dir / "solvane.ini").string()));
}
