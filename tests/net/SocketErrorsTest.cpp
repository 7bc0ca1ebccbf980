#include "platform/net/SocketErrors.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(NetSocketErrors, SystemErrorsBecomeWindowsSocketsCodes)
{
    const struct {
        int errnoValue;
        uint16_t code;
    } cases[] = {
        {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060},    {ECONNRESET, 10054}, {ENETUNREACH, 10051},
        {EHOSTUNREACH, 10065}, {EADDRINUSE, 10048},   {EAGAIN, 10035},     {EINPROGRESS, 10035},
        {EALREADY, 10037},     {ENOTCONN, 10057},     {EPIPE, 10058},      {EMFILE, 10024},
        {EBADF, 10009},        {EADDRNOTAVAIL, 10049}, {EINVAL, 10022},
    };
    for (const auto &c : cases)
        EXPECT_EQ(net::ErrorFromErrno(c.errnoValue), c.code) << "errno " << c.errnoValue;
}

TEST(NetSocketErrors, ErrorWithoutCounterpartKeepsItsNumber)
{
    EXPECT_EQ(net::ErrorFromErrno(EIO), EIO);
}

TEST(NetSocketErrors, EveryCodeFromTheSystemHasItsText)
{
    const int errnoValues[] = {EINTR,        EBADF,      EACCES,      EPERM,        EFAULT,      EINVAL,
                               EMFILE,       ENFILE,     EAGAIN,      EINPROGRESS,  EALREADY,    ENOTSOCK,
                               ECONNREFUSED, ETIMEDOUT,  ECONNRESET,  ENETUNREACH,  EHOSTUNREACH, EADDRINUSE,
                               ENOTCONN,     EPIPE,      ESHUTDOWN,   EADDRNOTAVAIL, ENOBUFS,    ENOMEM,
                               EREMOTE,      ESTALE};
    for (int value : errnoValues)
        EXPECT_FALSE(net::ErrorText(net::ErrorFromErrno(value)).empty()) << "errno " << value;
    EXPECT_EQ(net::ErrorText(10061), "Connection refused");
    EXPECT_EQ(net::ErrorText(12345), "");
}
