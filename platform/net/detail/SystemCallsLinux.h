#pragma once
// The system calls a socket makes, behind one table so that tests can make a
// call fail the way the network rarely does on demand (EINTR, EAGAIN,
// ECONNREFUSED, ENOTCONN, EINVAL from a splice). Production code never
// changes the table.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <cstddef>

namespace net {

struct SystemCalls {
    int (*socket)(int domain, int type, int protocol);
    int (*connect)(int fd, const sockaddr *address, socklen_t length);
    int (*accept4)(int fd, sockaddr *address, socklen_t *length, int flags);
    ssize_t (*send)(int fd, const void *data, std::size_t length, int flags);
    ssize_t (*recv)(int fd, void *data, std::size_t length, int flags);
    int (*close)(int fd);
    // Moves received bytes from the socket into a pipe.
    ssize_t (*splice)(int in, loff_t *inOffset, int out, loff_t *outOffset, std::size_t length,
                      unsigned int flags);
};

// The calls in use; the system's own unless a test has replaced some.
SystemCalls &Calls();

// Puts the system's own calls back (for a test's tear-down).
void RestoreSystemCalls();

} // namespace net
