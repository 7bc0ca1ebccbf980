#include "platform/net/SocketErrors.h"

#include "platform/net/detail/SocketErrorTable.h"

#include <cerrno>

namespace net {
namespace {

// Linux's errno values that C++ does not name.
constexpr ErrnoRow Rows[] = {
    {ESOCKTNOSUPPORT, 10044}, {EPFNOSUPPORT, 10046}, {ESHUTDOWN, 10058}, {ETOOMANYREFS, 10059},
    {EHOSTDOWN, 10064},       {EUSERS, 10068},       {EDQUOT, 10069},    {ESTALE, 10070},
    {EREMOTE, 10071},
};
static_assert(AllHaveTexts(Rows));
static_assert(EAGAIN == EWOULDBLOCK, "one row serves both");

thread_local uint16_t lastError = 0;

} // namespace

std::span<const ErrnoRow> SystemErrnoRows() { return Rows; }

uint16_t GetLastError() { return lastError; }
void SetLastError(uint16_t code) { lastError = code; }

} // namespace net
