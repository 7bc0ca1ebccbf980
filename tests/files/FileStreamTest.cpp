// The file a capture writes through, on Linux: what cannot reach the disk is
// reported, however little it is and however much the stream buffers; a
// target that is no regular file is refused before anything waits on it; a
// read-only copy is kept; a symbolic link stays and the new copy goes where
// it leads; a locked leftover is one a running download writes, and stays.
// A failure while writing back is never lost, and bytes
// spliced in reach the file also where the file system takes no spliced pages.
// The directory of the rename is synced after it; a failed sync is reported
// without undoing the replacement.
#include "harness/SmallDisk.h"
#include "platform/CodePage.h"
#include "platform/files/detail/FileSystemCallsLinux.h"
#include "platform/files/detail/TemporaryFile.h"
#include "platform/files/detail/WriteBackLinux.h"
#include "tests/files/FileStreamFixture.h"
#include "tests/support/FileSystemSeamLinux.h"
#include "tests/support/SpliceFailingLinux.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <map>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testsupport::FailureOf;

namespace {

const std::string kBlock(16383, 'x');

// The write error closing File raises; empty when none.
std::string CloseError(TFileStream &file)
{
    return FailureOf<EWriteError>([&] { file.Close(); });
}

// A disk of 256 KiB holding the good copy "f" and a filler that takes the rest.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!disk.Mounted())
            GTEST_SKIP() << "no right to mount a small file system here";
        Put(disk / "f", "good copy");
        std::ofstream filler(disk / "filler", std::ios::binary);
        while (filler.write(kBlock.data(), static_cast<std::streamsize>(kBlock.size())))
            ;
    }
    harness::SmallDisk disk{256 * 1024};
};

// What the symbolic link Name in Dir holds; empty when it is no link.
std::string LinkOf(const harness::TempDir &dir, const std::string &name)
{
    char text[256];
    const ssize_t length = ::readlink((dir / name).c_str(), text, sizeof text);
    return length < 0 ? std::string() : std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

TEST_F(FullDisk, ByteStillBufferedFailsOnClose)
{
    TFileStream file(disk / "f");
    file.Write("x", 1);
    EXPECT_THAT(CloseError(file), HasSubstr("No space left on device"));
}

TEST_F(FullDisk, BlocksBeyondTheBufferFailWhileWriting)
{
    // A capture stops waiting as soon as Failed() says so.
    TFileStream file(disk / "f");
    for (int i = 0; i < 64 && !file.Failed(); ++i)
        file.Write(kBlock.data(), kBlock.size());
    EXPECT_TRUE(file.Failed());
    EXPECT_THROW(file.Close(), EWriteError);
}

TEST_F(FullDisk, FailedWriteLeavesTheGoodCopyAndNothingElse)
{
    {
        TFileStream file(disk / "f");
        file.Write(kBlock.data(), kBlock.size());
        EXPECT_THROW(file.Commit(), EWriteError);
    }
    EXPECT_EQ(Contents(disk / "f"), "good copy");
    EXPECT_THAT(disk.Names(), ElementsAre("f", "filler"));
}

TEST_F(FileStream, CommitReplacesTheTargetAndKeepsItsMode)
{
    Put(target, "old");
    ::chmod(target.c_str(), 0666);
    TFileStream file(target);
    file.Write("new", 3);
    file.Commit();
    EXPECT_EQ(Contents(target), "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u);
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, ReadOnlyCopyIsRefusedAndKept)
{
    Put(target, "good copy");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    EXPECT_EQ(CreateError(), "Cannot create file \"" + target + "\". " + std::strerror(EACCES));
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

// Errors speak code page 1250, as the box shows them; the name is UTF-8.
TEST_F(FileStream, NameWithPolishLettersIsSpelledRightlyInTheError)
{
    const std::string missing = dir / "brak/źródło.rtf";
    EXPECT_EQ(testsupport::FailureOf<EFCreateError>([&] { TFileStream file(missing); }),
              "Cannot create file \"" + CodePage::FromUtf8(missing) + "\". " + std::strerror(ENOENT));
}

TEST_F(FileStream, ChainOfLinksIsFollowedAndKept)
{
    // The second link is relative to the directory it is in.
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    Put(dir / "real", "old");
    ASSERT_EQ(::symlink("sub/g", target.c_str()), 0);
    ASSERT_EQ(::symlink("../real", (dir / "sub/g").c_str()), 0);
    Download("new");
    EXPECT_EQ(Contents(dir / "real"), "new");
    EXPECT_EQ(LinkOf(dir, "f"), "sub/g");
    EXPECT_EQ(LinkOf(dir, "sub/g"), "../real");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f", "real", "sub"));
    EXPECT_THAT(harness::NamesIn(dir / "sub"), ElementsAre("g"));
}

TEST_F(FileStream, DanglingLinkGetsItsFileMade)
{
    ASSERT_EQ(::symlink("new", target.c_str()), 0);
    Download("first copy");
    EXPECT_EQ(Contents(dir / "new"), "first copy");
    EXPECT_EQ(LinkOf(dir, "f"), "new");
}

TEST_F(FileStream, LinkLoopIsRefusedAndKept)
{
    ASSERT_EQ(::symlink("f", target.c_str()), 0);
    EXPECT_THAT(CreateError(), HasSubstr(std::strerror(ELOOP)));
    EXPECT_EQ(LinkOf(dir, "f"), "f");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, LinkToADirectoryIsRefused)
{
    ASSERT_EQ(::mkdir((dir / "d").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("d", target.c_str()), 0);
    EXPECT_THAT(CreateError(), HasSubstr("not a regular file"));
    EXPECT_EQ(LinkOf(dir, "f"), "d");
}

TEST_F(FileStream, LockedLeftoverIsLeftAlone)
{
    Put(leftover, "in progress");
    const int held = ::open(leftover.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    Download("new");
    ::close(held);
    EXPECT_EQ(Contents(leftover), "in progress");
}

namespace {

int FailingWriteBack(int, off64_t, off64_t, unsigned int)
{
    errno = EIO;
    return -1;
}

}  // namespace

TEST_F(FileStream, FailedWriteBackFailsTheFile)
{
    // Once reported by the write-back, the error would not come again from
    // the flush before the rename.
    testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().sync_file_range = FailingWriteBack;
    TFileStream file(target);
    const std::string window(TWriteBack::Window, 'w');
    file.Write(window.data(), window.size());
    EXPECT_TRUE(file.Failed());
    EXPECT_THAT(CloseError(file), HasSubstr(std::strerror(EIO)));
}

namespace {

// What a commit asks of the file system, in order: "rename to PATH",
// "open DIRECTORY", "fsync DIRECTORY" (without the slash it may end with).
std::vector<std::string> commitCalls;
std::map<int, std::string> openedDirectories;

std::string WithoutEndSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

int RecordedRename(const char *from, const char *to)
{
    commitCalls.push_back(std::string("rename to ") + to);
    return ::rename(from, to);
}

int RecordedOpen(const char *path, int flags)
{
    const int fd = ::open(path, flags);
    openedDirectories[fd] = WithoutEndSlash(path);
    commitCalls.push_back("open " + openedDirectories[fd]);
    return fd;
}

int RecordedFsync(int fd)
{
    commitCalls.push_back("fsync " + openedDirectories[fd]);
    return ::fsync(fd);
}

}  // namespace

TEST_F(FileStream, RenameIsFollowedBySyncingTheDirectoryItHappenedIn)
{
    // Through a link, the rename happens beside the file the link leads to.
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("sub/real", target.c_str()), 0);
    testsupport::RestoredFileSystemCalls restored;
    commitCalls.clear();
    FileSystem::Calls().rename = RecordedRename;
    FileSystem::Calls().open = RecordedOpen;
    FileSystem::Calls().fsync = RecordedFsync;
    Download("new");
    EXPECT_THAT(commitCalls,
                ElementsAre("rename to " + dir / "sub/real", "open " + dir / "sub", "fsync " + dir / "sub"));
    EXPECT_EQ(Contents(target), "new");
}

TEST_F(FileStream, DirectoryTheFileSystemCannotSyncIsNoFailure)
{
    testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().fsync = testsupport::FsyncFailing<EINVAL>;
    TFileStream file(target);
    file.Write("new", 3);
    EXPECT_EQ(file.Commit(), "");
}

TEST_F(FileStream, FailedDirectorySyncIsReportedWithTheFileReplaced)
{
    Put(target, "old");
    testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().fsync = testsupport::FsyncFailing<EIO>;
    TFileStream file(target);
    file.Write("new", 3);
    EXPECT_THAT(file.Commit(), AllOf(HasSubstr(target), HasSubstr(std::strerror(EIO))));
    EXPECT_EQ(Contents(target), "new");
}

TEST_F(FileStream, SplicedBytesAreCopiedWhereTheFileSystemTakesNoneSpliced)
{
    testsupport::RestoredFileSystemCalls restored;
    FileSystem::Calls().splice = testsupport::SpliceFailing<EINVAL>;
    FileSystem::TemporaryFile file(target);
    file.Write("head ", 5);
    const int intake = file.Intake();
    ASSERT_GE(intake, 0);
    ASSERT_EQ(::write(intake, "spliced ", 8), 8);
    file.WriteFromIntake(8);
    EXPECT_EQ(file.Intake(), -1) << "the next bytes come through Write";
    file.Write("tail", 4);
    file.Commit();
    EXPECT_EQ(Contents(target), "head spliced tail");
}

TEST_F(FileStream, FifoTargetIsRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    auto opened = std::async(std::launch::async, [&] { return FailureOf<EFCreateError>([&] { TFileStream file(target); }); });
    if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // A reader lets the blocked open go on, so the test can end.
        const int reader = ::open(target.c_str(), O_RDONLY | O_NONBLOCK);
        opened.wait();
        ::close(reader);
        FAIL() << "opening the FIFO blocked";
    }
    EXPECT_THAT(opened.get(), HasSubstr("not a regular file"));
}

namespace {

// Run in a child process: past a file-size limit of 64 KiB, the write error
// comes back instead of the signal ending the process.
[[noreturn]] void WriteBeyondTheFileSizeLimit(const std::string &target)
{
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TFileStream file(target);
    for (int i = 0; i < 8; ++i)
        file.Write(kBlock.data(), kBlock.size());
    ::_exit(CloseError(file).find("File too large") != std::string::npos ? 0 : 1);
}

}  // namespace

TEST_F(FileStream, FileSizeLimitGivesAnErrorNotTheEnd)
{
    EXPECT_EXIT(WriteBeyondTheFileSizeLimit(target), ::testing::ExitedWithCode(0), "");
}
