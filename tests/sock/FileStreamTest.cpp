// The file a capture writes through: what cannot reach the disk is reported,
// however little it is and however much the stream buffers.
#include "sock/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// Every write to /dev/full fails with "no space left".
constexpr const char *kFullDevice = "/dev/full";

class FileStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::access(kFullDevice, W_OK) != 0)
            GTEST_SKIP() << kFullDevice << " is not there to fail writes";
    }
};

}  // namespace

TEST_F(FileStream, ByteStillBufferedFailsOnClose)
{
    TFileStream file(kFullDevice);
    file.Write("x", 1);
    EXPECT_THROW(file.Close(), EWriteError);
}

TEST_F(FileStream, BlocksBeyondTheBufferFailWhileWriting)
{
    // A capture stops waiting as soon as Failed() says so.
    TFileStream file(kFullDevice);
    const std::string block(16383, 'x');
    for (int i = 0; i < 64 && !file.Failed(); ++i)
        file.Write(block.data(), block.size());
    EXPECT_TRUE(file.Failed());
    EXPECT_THROW(file.Close(), EWriteError);
}
