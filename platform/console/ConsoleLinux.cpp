#include "platform/console/Console.h"

#include <cstdio>

namespace Console {

void Write(Stream stream, std::string_view text)
{
    std::FILE *file = stream == Stream::Out ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

} // namespace Console
