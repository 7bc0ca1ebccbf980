// The file a capture writes through, on Windows: names with Polish letters
// reach the wide-character calls whole; a read-only copy is kept; a copy
// another program holds open is kept when the replace fails; a leftover
// another program holds open is one a running download writes, and stays.
#include "tests/files/FileStreamFixture.h"

#include <gmock/gmock.h>

#include <windows.h>

#include <filesystem>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::filesystem::path Utf8Path(const std::string &utf8) { return std::u8string(utf8.begin(), utf8.end()); }

std::wstring Wide(const std::string &utf8) { return Utf8Path(utf8).wstring(); }

// A handle of another program on Name, which lets others read and write it
// but neither delete nor rename it.
HANDLE HoldOpen(const std::string &name)
{
    return CreateFileW(Wide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

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
    ASSERT_TRUE(SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THAT(CreateError(), HasSubstr("Cannot create file \"" + target + "\"."));
    SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, ReplaceThatFailsKeepsTheGoodCopy)
{
    Put(target, "good copy");
    const HANDLE held = HoldOpen(target);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        TFileStream file(target);
        file.Write("new", 3);
        EXPECT_THAT(testsupport::FailureOf<EWriteError>([&] { file.Commit(); }),
                    HasSubstr("Cannot write file \"" + target + "\"."));
    }
    CloseHandle(held);
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, LeftoverHeldOpenIsLeftAlone)
{
    Put(leftover, "in progress");
    const HANDLE held = HoldOpen(leftover);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Download("new");
    CloseHandle(held);
    EXPECT_EQ(Contents(leftover), "in progress");
    EXPECT_EQ(Contents(target), "new");
}
