#pragma once
// The socket layer's error codes with their texts, and the pairs by which a
// system's errno values become those codes: shared by every system's error
// file, for the platform's own code.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace net {

struct ErrorTextRow {
    uint16_t code;
    std::string_view text;
};

// The 50 Windows Sockets codes the socket layer reports, with their texts.
inline constexpr ErrorTextRow ErrorTexts[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Wrong protocol type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection or reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references, can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to Host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network subsystem is unavailable"},
    {10092, "Incompatible version of WINSOCK.DLL"},
    {10093, "Successful WSAStartup not yet performed"},
    {11001, "Host not found"},
    {11002, "Non-Authoritative Host not found"},
    {11003, "Non-Recoverable error: FORMERR, REFUSED, NOTIMP"},
    {11004, "Valid name, no data record of requested type"},
};
static_assert(std::size(ErrorTexts) == 50);

// One errno value of a system and the code it becomes.
struct ErrnoRow {
    int errnoValue;
    uint16_t code;
};

// True when every row becomes a code that has its text: checked at compile
// time for each system's rows, so that table and rows cannot drift apart.
constexpr bool AllHaveTexts(std::span<const ErrnoRow> rows)
{
    return std::all_of(rows.begin(), rows.end(), [](const ErrnoRow &row) {
        return std::any_of(std::begin(ErrorTexts), std::end(ErrorTexts),
                           [&](const ErrorTextRow &text) { return text.code == row.code; });
    });
}

// The errno values beyond C++'s own <cerrno> names that this system has, and
// their codes (in its own error file).
std::span<const ErrnoRow> SystemErrnoRows();

} // namespace net
