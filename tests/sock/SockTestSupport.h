#pragma once
// Helpers of the socket component's tests.
#include "sock/TcpSocket.h"
#include "tests/FailureOf.h"
#include "tests/net/LoopbackPeer.h"
#include "tests/net/NetTestSupport.h"

#include <QTimer>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace socktest {

using namespace std::chrono_literals;

// The component with its receive buffer in view.
class TestSocket : public TTcpSocket {
public:
    std::string_view Buffered() const { return RecvStream->Bytes(); }
    bool Capturing() const { return CaptureStream != nullptr; }
};

// Cancels Socket from the event loop after Delay, as a click on an abort
// button would while an operation waits. Holding the result keeps it armed.
[[nodiscard]] inline std::unique_ptr<QTimer> CancelAfter(TTcpSocket &socket, std::chrono::milliseconds delay)
{
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, [&socket] { socket.Cancel(); });
    timer->start(delay);
    return timer;
}

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

// Connects Socket to 127.0.0.1:Port.
inline void ConnectTo(TTcpSocket &socket, uint16_t port)
{
    socket.Host = "127.0.0.1";
    socket.Port = port;
    socket.TimeOut = 5000;
    socket.Connect();
}

using testsupport::FailureOf;

} // namespace socktest
