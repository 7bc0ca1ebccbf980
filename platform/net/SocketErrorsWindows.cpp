#include "platform/net/SocketErrors.h"

#include "platform/net/detail/SocketErrorTable.h"

#include <winsock2.h>

#include <cerrno>

namespace net {
namespace {

// The C runtime keeps EAGAIN apart from EWOULDBLOCK.
constexpr ErrnoRow Rows[] = {{EAGAIN, 10035}};
static_assert(AllHaveTexts(Rows));

// Winsock's codes pass through this backend as they are, so the codes the
// program names must be Winsock's own.
static_assert(ErrorCode::InvalidArgument == WSAEINVAL && ErrorCode::WouldBlock == WSAEWOULDBLOCK &&
              ErrorCode::NotSocket == WSAENOTSOCK && ErrorCode::NotConnected == WSAENOTCONN &&
              ErrorCode::ConnectionReset == WSAECONNRESET && ErrorCode::HostNotFound == WSAHOST_NOT_FOUND &&
              ErrorCode::TryAgain == WSATRY_AGAIN && ErrorCode::NoRecovery == WSANO_RECOVERY &&
              ErrorCode::NoData == WSANO_DATA);

} // namespace

std::span<const ErrnoRow> SystemErrnoRows() { return Rows; }

// Windows Sockets keeps the code per thread itself.
uint16_t GetLastError() { return static_cast<uint16_t>(::WSAGetLastError()); }
void SetLastError(uint16_t code) { ::WSASetLastError(code); }

} // namespace net
