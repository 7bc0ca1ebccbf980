#include "rtf/RtfReader.h"

#include "rtf/PlainTextReader.h"
#include "rtf/RtfInterpreter.h"

namespace Rtf {

bool LooksLikeRtf(std::string_view bytes)
{
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start).starts_with("{\\rtf");
}

Document Read(std::string_view bytes) { return LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes); }

} // namespace Rtf
