// Saving a profile: the temporary file cannot be planted, the file keeps its
// permissions and its symbolic link, and a directory the user may not write
// to still lets a writable file be saved in place.
#include "platform/PrivateProfile.h"

#include "tests/platform/ProfileFileFixture.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace PrivateProfile;

namespace {

mode_t ModeOf(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Run in a child process: saves as a user who may not write to the
// directory (root may write anywhere, so it becomes nobody first).
[[noreturn]] void SaveWithoutTheRightToTheDirectory(const std::string &name)
{
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(2);
    ::_exit(WriteString(name, "FTP", "Host", "saved") ? 0 : 1);
}

} // namespace

TEST_F(ProfileFile, PlantedLinkAtATemporaryNameIsNotFollowed)
{
    const std::string victim = (dir / "victim").string();
    std::ofstream(victim) << "precious";
    for (const std::string &planted : {name + ".tmp" + std::to_string(::getpid()), name + ".tmp"})
        std::filesystem::create_symlink(victim, planted);
    EXPECT_TRUE(WriteString(name, "FTP", "Host", "x"));
    EXPECT_EQ(Read("victim"), "precious");
    EXPECT_EQ(Read(), "[FTP]\r\nHost=x\r\n");
}

TEST_F(ProfileFile, FileKeepsItsPermissions)
{
    Put("[FTP]\r\nHost=a\r\n");
    ::chmod(name.c_str(), 0666);
    EXPECT_TRUE(WriteString(name, "FTP", "Host", "b"));
    EXPECT_EQ(ModeOf(name), 0666u);
}

TEST_F(ProfileFile, SymbolicLinkIsWrittenThroughToItsTarget)
{
    const std::filesystem::path target = dir / "shared" / "settings.ini";
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target) << "[FTP]\r\nHost=a\r\n";
    std::filesystem::create_symlink(target, name);
    EXPECT_TRUE(WriteString(name, "FTP", "Host", "b"));
    EXPECT_TRUE(std::filesystem::is_symlink(name));
    EXPECT_EQ(Read("shared/settings.ini"), "[FTP]\r\nHost=b\r\n");
}

TEST_F(ProfileFile, WritableFileInADirectoryWithoutWriteRightIsSavedInPlace)
{
    Put("[FTP]\r\nHost=a\r\n");
    ::chmod(name.c_str(), 0666);
    ::chmod(dir.c_str(), 0555);
    EXPECT_EXIT(SaveWithoutTheRightToTheDirectory(name), ::testing::ExitedWithCode(0), "");
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(Read(), "[FTP]\r\nHost=saved\r\n");
}

TEST_F(ProfileFile, FileThatIsNoRegularFileIsNeitherReadNorWritten)
{
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
    EXPECT_EQ(GetString(name, "FTP", "Host", 127), "");
    EXPECT_FALSE(WriteString(name, "FTP", "Host", "x"));
    struct stat info {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
