// The file a capture writes through, on Windows: names with Polish letters
// reach the wide-character calls whole; a read-only copy is kept; a copy
// another program holds open is kept when the replace fails; a leftover
// another program holds open is one a running download writes, and stays.
#include "tests/files/FileStreamFixture.h"
#include "tests/support/FilesWindows.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testsupport::HeldOpen;
using testsupport::Utf8Path;

TEST_F(FileStream, TargetInADirectoryWithPolishLettersIsReplaced)
{
    const std::string polish = dir / "ąęłńóśźż";
    ASSERT_TRUE(std::filesystem::create_directory(Utf8Path(polish)));
    const std::string file = polish + "/żółć.rtf";
    {
        TFileStream stream(file);
        stream.Write("new", 3);
        stream.Commit();
    }
    std::ifstream in(Utf8Path(file), std::ios::binary);
    std::string bytes;
    std::getline(in, bytes);
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Utf8Path(polish)), {}), 1);
}

TEST_F(FileStream, ReadOnlyCopyIsRefusedAndKept)
{
    Put(target, "good copy");
    const std::wstring wide = Utf8Path(target).wstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THAT(CreateError(), HasSubstr("Cannot create file \"" + target + "\"."));
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, ReplaceThatFailsKeepsTheGoodCopy)
{
    Put(target, "good copy");
    {
        const HeldOpen held(target);
        ASSERT_TRUE(held.IsOpen());
        TFileStream file(target);
        file.Write("new", 3);
        EXPECT_THAT(testsupport::FailureOf<EWriteError>([&] { file.Commit(); }),
                    HasSubstr("Cannot write file \"" + target + "\"."));
    }
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, LeftoverHeldOpenIsLeftAlone)
{
    Put(leftover, "in progress");
    {
        const HeldOpen held(leftover);
        ASSERT_TRUE(held.IsOpen());
        Download("new");
    }
    EXPECT_EQ(Contents(leftover), "in progress");
    EXPECT_EQ(Contents(target), "new");
}
