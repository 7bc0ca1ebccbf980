// Paths between the harness service and a test under wine, which sees the
// service's file system as drive Z:.
#include "harness/client/ServicePaths.h"

#include <gtest/gtest.h>

#include <stdexcept>

using harness::LocalPath;
using harness::PathStyle;
using harness::ServicePath;

TEST(ServicePathsTest, ServicePathsAreOnDriveZUnderWine)
{
    EXPECT_EQ(LocalPath("/tmp/vm_ftp_a1/pub", PathStyle::Windows), "Z:\\tmp\\vm_ftp_a1\\pub");
    EXPECT_EQ(LocalPath("/tmp/vm_ftp_a1/pub", PathStyle::Posix), "/tmp/vm_ftp_a1/pub");
}

// A tree's path with a file below it, as TempDir's operator/ joins them.
TEST(ServicePathsTest, LocalPathsOnDriveZGoBackWithEitherSeparator)
{
    EXPECT_EQ(ServicePath("Z:\\tmp\\vm_ftp_a1/pub/news", PathStyle::Windows), "/tmp/vm_ftp_a1/pub/news");
    EXPECT_EQ(ServicePath("z:/tmp", PathStyle::Windows), "/tmp");
    EXPECT_EQ(ServicePath("Z:", PathStyle::Windows), "/");
}

TEST(ServicePathsTest, PathsTheServiceCannotReachAreRefused)
{
    EXPECT_THROW(ServicePath("C:\\users\\test\\ca.pem", PathStyle::Windows), std::invalid_argument);
    EXPECT_THROW(ServicePath("Z:tmp", PathStyle::Windows), std::invalid_argument);
    EXPECT_THROW(ServicePath("tmp/ca.pem", PathStyle::Posix), std::invalid_argument);
    EXPECT_THROW(LocalPath("tmp", PathStyle::Windows), std::invalid_argument);
}
