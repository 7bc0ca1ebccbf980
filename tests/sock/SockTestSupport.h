#pragma once
// Helpers of the socket component's tests.
#include "sock/SockConst.h"
#include "sock/TcpSocket.h"
#include "tests/support/FailureOf.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/NetTestSupport.h"

#include <chrono>
#include <string>
#include <vector>

namespace socktest {

using namespace std::chrono_literals;

// The component with its inner state in view: the tests of the socket layer
// look at what its owners cannot.
class TestSocket : public TTcpSocket {
public:
    using TTcpSocket::CheckConnection;
    using TTcpSocket::Connected;
    using TTcpSocket::EventArrived;
    using TTcpSocket::EventOk;
    using TTcpSocket::LastError;
    using TTcpSocket::LastReply;
    using TTcpSocket::LastStatus;
    using TTcpSocket::LookupErrorMessage;
    using TTcpSocket::NthWord;
    using TTcpSocket::OnDataArrived;
    using TTcpSocket::PacketEvents;
    using TTcpSocket::ReadToStream;
    using TTcpSocket::RemoteAddress;
    using TTcpSocket::ReplyNumber;
    using TTcpSocket::ResolveHost;
    using TTcpSocket::SendBuffer;
    using TTcpSocket::SocketHandle;
    using TTcpSocket::TimedOut;
    using TTcpSocket::WinsockInfo;
    using TTcpSocket::WinsockUsers;
    using TTcpSocket::WriteComplete;
    std::string_view Buffered() const { return RecvStream->Bytes(); }
    bool Capturing() const { return CaptureStream != nullptr; }
};

// Records the status texts that pass the filter.
inline std::vector<std::string> &RecordStatus(TTcpSocket &socket, std::vector<std::string> &into)
{
    socket.OnStatus = [&into](TTcpSocket *, const std::string &status) { into.push_back(status); };
    return into;
}

// Size bytes of letters: no line end anywhere, and a lost or doubled block shows.
inline std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

// The port Socket is bound to.
inline uint16_t BoundPort(const net::Socket &socket)
{
    net::Address address;
    socket.GetSockName(address);
    return address.Port();
}

// Connects Socket to 127.0.0.1:Port.
inline void ConnectTo(TTcpSocket &socket, uint16_t port)
{
    socket.Host = "127.0.0.1";
    socket.Port = port;
    socket.TimeOut = 5000;
    socket.Connect();
}

using testsupport::CancelAfter;
using testsupport::FailureOf;

} // namespace socktest
