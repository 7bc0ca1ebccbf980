#include "platform/Exception.h"

std::string FormatText(const std::string &format, const std::string &arg)
{
    const auto at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + arg + format.substr(at + 2);
}
