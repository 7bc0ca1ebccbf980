#pragma once
// Receiving from a socket straight into the file of a capture.
#include <cstddef>
#include <span>

class TFileStream;

namespace net {

class Socket;

// Receives at most Most bytes from Socket and appends them to File. Where the
// system can, they are spliced from the socket into the file without passing
// through the process, up to the pipe's room at a time. Otherwise one plain
// receive takes at most Spare's size into Spare and writes it to File; a
// socket found unable to splice is received that way from then on. Returns
// the bytes moved, 0 when the peer has closed, or SocketError with its code
// for GetLastError, as Socket::Recv does. A failed write is kept by File
// (Failed, Close), not returned. Most must not be 0.
long ReceiveIntoFile(Socket &socket, TFileStream &file, std::size_t most, std::span<char> spare);

} // namespace net
