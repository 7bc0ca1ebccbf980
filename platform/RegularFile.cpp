#include "platform/RegularFile.h"

#include "platform/detail/RegularFile.h"

namespace RegularFile {

State ReadInPieces(const std::string &fileName, const std::function<bool(std::string_view)> &each)
{
    detail::OpenFile file(fileName);
    if (!file.IsOpen())
        return file.Missing() ? State::Missing : State::Unreadable;
    char buffer[64 * 1024];
    while (const std::size_t n = file.Read(buffer, sizeof buffer))
        if (!each(std::string_view(buffer, n)))
            break;
    return file.Failed() ? State::Unreadable : State::Read;
}

std::optional<std::string> ReadWhole(const std::string &fileName, std::size_t most)
{
    std::string bytes;
    const State state = ReadInPieces(fileName, [&](std::string_view piece) {
        bytes.append(piece);
        return bytes.size() <= most;
    });
    if (state != State::Read || bytes.size() > most)
        return std::nullopt;
    return bytes;
}

std::optional<Secret::Text> ReadSecret(const std::string &fileName, std::size_t most)
{
    detail::OpenFile file(fileName);
    if (!file.IsOpen())
        return std::nullopt;
    // One buffer, never grown: growing would leave a copy behind.
    Secret::Text bytes(most + 1);
    std::size_t size = 0;
    while (size < bytes.size())
        if (const std::size_t n = file.Read(bytes.data() + size, bytes.size() - size))
            size += n;
        else
            break;
    if (file.Failed() || size > most)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace RegularFile
