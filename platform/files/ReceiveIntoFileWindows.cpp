#include "platform/files/detail/ReceiveIntoFile.h"

#include "platform/files/FileStream.h"
#include "platform/files/detail/TemporaryFile.h"
#include "platform/net/Socket.h"

#include <algorithm>

namespace net {

// Windows has no splice: the bytes pass through Spare.
long ReceiveIntoFile(Socket &socket, TFileStream &file, std::size_t most, std::span<char> spare)
{
    const long n = socket.Recv(spare.data(), std::min(most, spare.size()));
    if (n > 0)
        file.file_->Write(spare.data(), static_cast<std::size_t>(n));
    return n;
}

} // namespace net
