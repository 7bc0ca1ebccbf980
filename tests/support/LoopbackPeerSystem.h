#pragma once
// The socket calls of the loopback peers, one source file per system. Each
// wait is bounded by StepLimit.
#include "tests/support/LoopbackPeer.h"

#include <cstddef>
#include <string>

namespace testpeer::system {

// Whether Fd became readable (or, for a listener, has a connection waiting),
// or writable, within StepLimit.
bool WaitReadable(int fd);
bool WaitWritable(int fd);
// Bytes handed over or received; 0 or less when the connection is gone.
long SendSome(int fd, const char *data, std::size_t length);
long RecvSome(int fd, char *data, std::size_t most);
// Whether the other side closed or reset within StepLimit, found without
// reading what it sent.
bool WaitHangUp(int fd);
void CloseSocket(int fd);
// A plain close resets the connection from now on.
void SetResetOnClose(int fd);
// A listening socket on Address with a system-chosen port; throws on failure.
int Listen(const std::string &address, int backlog);
int AcceptOne(int listener);
uint16_t PortOf(int fd);
// A socket bound on 127.0.0.1 that does not listen.
int BoundOnly();

} // namespace testpeer::system
