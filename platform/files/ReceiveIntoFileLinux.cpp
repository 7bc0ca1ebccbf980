#include "platform/files/detail/ReceiveIntoFile.h"

#include "platform/files/FileStream.h"
#include "platform/files/detail/TemporaryFile.h"
#include "platform/net/Socket.h"
#include "platform/net/SocketErrors.h"

#include <algorithm>

namespace net {

long ReceiveIntoFile(Socket &socket, TFileStream &file, std::size_t most, std::span<char> spare)
{
    FileSystem::TemporaryFile &target = *file.file_;
    const int intake = target.Intake();
    if (intake >= 0) {
        const long n = socket.Splice(intake, std::min(most, target.IntakeRoom()));
        if (n > 0)
            target.WriteFromIntake(static_cast<std::size_t>(n));
        if (n != SocketError || GetLastError() != ErrorCode::InvalidArgument)
            return n;
        // This socket cannot be spliced from: its bytes pass through the
        // process from now on.
        target.DropIntake();
    }
    const long n = socket.Recv(spare.data(), std::min(most, spare.size()));
    if (n > 0)
        target.Write(spare.data(), static_cast<std::size_t>(n));
    return n;
}

} // namespace net
