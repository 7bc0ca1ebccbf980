#pragma once
// splice failing with Error, as a system does that cannot splice from a
// socket or into a file; for the splice of net::Calls() and of
// FileSystem::Calls().
#include <cerrno>
#include <cstddef>
#include <fcntl.h>

namespace testsupport {

template <int Error>
ssize_t SpliceFailing(int, loff_t *, int, loff_t *, std::size_t, unsigned int)
{
    errno = Error;
    return -1;
}

} // namespace testsupport
