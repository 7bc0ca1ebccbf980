#pragma once
// The error codes of the socket layer are Windows Sockets' codes (10035 for a
// call that would block, 10061 for a refused connection, ...), so that every
// error text comes from one table. This is where the system's errno values
// become those codes, and where the code of the last failed call is kept.
#include <cstdint>

namespace net {

constexpr uint16_t WSAEWOULDBLOCK = 10035;

// The Windows Sockets code for Errno; a number with no counterpart keeps its
// own value (so its text reads "Unknown Error No. " and the number).
uint16_t ErrorFromErrno(int errnoValue);

// The code of the last failed socket call of this thread (WSAGetLastError).
uint16_t GetLastError();
void SetLastError(uint16_t code);

} // namespace net
