// The file a capture writes through: what cannot reach the disk is reported,
// however little it is and however much the stream buffers; the target keeps
// its old copy until the new one is committed whole; a target that is no
// regular file is refused before anything waits on it.
#include "harness/SmallDisk.h"
#include "sock/Streams.h"
#include "tests/support/FailureOf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testsupport::FailureOf;

namespace {

const std::string kBlock(16383, 'x');

std::string Contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Put(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

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

class FileStream : public ::testing::Test {
protected:
    harness::TempDir dir;
    const std::string target = dir / "f";
};

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

TEST_F(FileStream, UncommittedFileLeavesTheTargetAsItWas)
{
    Put(target, "good copy");
    {
        TFileStream file(target);
        file.Write("cut", 3);
        file.Close();
    }
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
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
