#pragma once
// The error codes of the socket layer are Windows Sockets' codes (10035 for a
// call that would block, 10061 for a refused connection, ...). One table gives
// each code its text; the system's errno values become codes of that table,
// which the build checks, so the two can never drift apart. The code of the
// last failed call is kept here too. The codes named here have names of our
// own, so that this header may stand before or after any system header.
#include <cstdint>
#include <string_view>

namespace net {

// The codes the program names.
namespace ErrorCode {
// A call the socket does not support (a splice from where the system cannot).
constexpr uint16_t InvalidArgument = 10022;
constexpr uint16_t WouldBlock = 10035;
// A call on a socket that was never made (or is closed).
constexpr uint16_t NotSocket = 10038;
constexpr uint16_t ConnectionReset = 10054;
// Data asked of a socket that was never connected.
constexpr uint16_t NotConnected = 10057;
// Host lookup: no such name, no authoritative answer, a failure that will
// not pass, a name without an address.
constexpr uint16_t HostNotFound = 11001;
constexpr uint16_t TryAgain = 11002;
constexpr uint16_t NoRecovery = 11003;
constexpr uint16_t NoData = 11004;
} // namespace ErrorCode

// The Windows Sockets code for Errno; a number with no counterpart keeps its
// own value (so its text reads "Unknown Error No. " and the number).
uint16_t ErrorFromErrno(int errnoValue);

// The text of a Windows Sockets error code; empty for a code not in the table.
std::string_view ErrorText(uint16_t code);

// The code of the last failed socket call of this thread (WSAGetLastError).
uint16_t GetLastError();
void SetLastError(uint16_t code);

} // namespace net
