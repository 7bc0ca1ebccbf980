#include "platform/net/SocketErrors.h"

#include "platform/net/detail/SocketErrorTable.h"

#include <winsock2.h>

#include <cerrno>

namespace net {
namespace {

// The C runtime keeps EAGAIN apart from EWOULDBLOCK.
constexpr ErrnoRow Rows[] = {{EAGAIN, 10035}};
static_assert(AllHaveTexts(Rows));

} // namespace

std::span<const ErrnoRow> SystemErrnoRows() { return Rows; }

// Windows Sockets keeps the code per thread itself.
uint16_t GetLastError() { return static_cast<uint16_t>(::WSAGetLastError()); }
void SetLastError(uint16_t code) { ::WSASetLastError(code); }

} // namespace net
