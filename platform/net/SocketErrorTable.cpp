#include "platform/net/detail/SocketErrorTable.h"

#include "platform/net/SocketErrors.h"

#include <cerrno>

namespace net {
namespace {

// The errno values every C++ library names, and the codes of the same failures.
constexpr ErrnoRow StandardRows[] = {
    {EINTR, 10004},         {EBADF, 10009},         {EACCES, 10013},       {EPERM, 10013},
    {EFAULT, 10014},        {EINVAL, 10022},        {EMFILE, 10024},       {ENFILE, 10024},
    {EWOULDBLOCK, 10035},   {EINPROGRESS, 10035},   {EALREADY, 10037},     {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},  {EMSGSIZE, 10040},      {EPROTOTYPE, 10041},   {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043}, {EOPNOTSUPP, 10045},  {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},      {ENETUNREACH, 10051},  {ENETRESET, 10052},
    {ECONNABORTED, 10053},  {ECONNRESET, 10054},    {ENOBUFS, 10055},      {ENOMEM, 10055},
    {EISCONN, 10056},       {ENOTCONN, 10057},      {EPIPE, 10058},        {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},  {ELOOP, 10062},         {ENAMETOOLONG, 10063}, {EHOSTUNREACH, 10065},
    {ENOTEMPTY, 10066},
};
static_assert(AllHaveTexts(StandardRows));

uint16_t CodeIn(std::span<const ErrnoRow> rows, int errnoValue)
{
    for (const ErrnoRow &row : rows)
        if (row.errnoValue == errnoValue)
            return row.code;
    return 0;
}

} // namespace

uint16_t ErrorFromErrno(int errnoValue)
{
    if (const uint16_t code = CodeIn(StandardRows, errnoValue))
        return code;
    if (const uint16_t code = CodeIn(SystemErrnoRows(), errnoValue))
        return code;
    return static_cast<uint16_t>(errnoValue);
}

std::string_view ErrorText(uint16_t code)
{
    for (const ErrorTextRow &row : ErrorTexts)
        if (row.code == code)
            return row.text;
    return {};
}

} // namespace net
