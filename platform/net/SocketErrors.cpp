#include "platform/net/SocketErrors.h"

#include <cerrno>
#include <iterator>

namespace net {
namespace {

struct ErrorRow {
    uint16_t code;
    std::string_view text;
    // Linux's errno values of the same failure; 0 fills the unused places.
    int errnoValues[2];
};

// The 50 Windows Sockets codes the socket layer reports, with their texts.
constexpr ErrorRow Table[] = {
    {10004, "Interrupted system call", {EINTR}},
    {10009, "Bad file number", {EBADF}},
    {10013, "Permission denied", {EACCES, EPERM}},
    {10014, "Bad address", {EFAULT}},
    {10022, "Invalid argument", {EINVAL}},
    {10024, "Too many open files", {EMFILE, ENFILE}},
    {10035, "Operation would block", {EWOULDBLOCK, EINPROGRESS}},
    {10036, "Operation now in progress", {}},
    {10037, "Operation already in progress", {EALREADY}},
    {10038, "Socket operation on non-socket", {ENOTSOCK}},
    {10039, "Destination address required", {EDESTADDRREQ}},
    {10040, "Message too long", {EMSGSIZE}},
    {10041, "Wrong protocol type for socket", {EPROTOTYPE}},
    {10042, "Bad protocol option", {ENOPROTOOPT}},
    {10043, "Protocol not supported", {EPROTONOSUPPORT}},
    {10044, "Socket type not supported", {ESOCKTNOSUPPORT}},
    {10045, "Operation not supported on socket", {EOPNOTSUPP}},
    {10046, "Protocol family not supported", {EPFNOSUPPORT}},
    {10047, "Address family not supported by protocol family", {EAFNOSUPPORT}},
    {10048, "Address already in use", {EADDRINUSE}},
    {10049, "Can't assign requested address", {EADDRNOTAVAIL}},
    {10050, "Network is down", {ENETDOWN}},
    {10051, "Network is unreachable", {ENETUNREACH}},
    {10052, "Network dropped connection or reset", {ENETRESET}},
    {10053, "Software caused connection abort", {ECONNABORTED}},
    {10054, "Connection reset by peer", {ECONNRESET}},
    {10055, "No buffer space available", {ENOBUFS, ENOMEM}},
    {10056, "Socket is already connected", {EISCONN}},
    {10057, "Socket is not connected", {ENOTCONN}},
    {10058, "Can't send after socket shutdown", {ESHUTDOWN, EPIPE}},
    {10059, "Too many references, can't splice", {ETOOMANYREFS}},
    {10060, "Connection timed out", {ETIMEDOUT}},
    {10061, "Connection refused", {ECONNREFUSED}},
    {10062, "Too many levels of symbolic links", {ELOOP}},
    {10063, "File name too long", {ENAMETOOLONG}},
    {10064, "Host is down", {EHOSTDOWN}},
    {10065, "No route to Host", {EHOSTUNREACH}},
    {10066, "Directory not empty", {ENOTEMPTY}},
    {10067, "Too many processes", {}},
    {10068, "Too many users", {EUSERS}},
    {10069, "Disc quota exceeded", {EDQUOT}},
    {10070, "Stale NFS file handle", {ESTALE}},
    {10071, "Too many levels of remote in path", {EREMOTE}},
    {10091, "Network subsystem is unavailable", {}},
    {10092, "Incompatible version of WINSOCK.DLL", {}},
    {10093, "Successful WSAStartup not yet performed", {}},
    {11001, "Host not found", {}},
    {11002, "Non-Authoritative Host not found", {}},
    {11003, "Non-Recoverable error: FORMERR, REFUSED, NOTIMP", {}},
    {11004, "Valid name, no data record of requested type", {}},
};
static_assert(std::size(Table) == 50);
static_assert(EAGAIN == EWOULDBLOCK, "one entry serves both");

thread_local uint16_t lastError = 0;

} // namespace

uint16_t ErrorFromErrno(int errnoValue)
{
    for (const ErrorRow &row : Table)
        for (int value : row.errnoValues)
            if (value != 0 && value == errnoValue)
                return row.code;
    return static_cast<uint16_t>(errnoValue);
}

std::string_view ErrorText(uint16_t code)
{
    for (const ErrorRow &row : Table)
        if (row.code == code)
            return row.text;
    return {};
}

uint16_t GetLastError() { return lastError; }
void SetLastError(uint16_t code) { lastError = code; }

} // namespace net
