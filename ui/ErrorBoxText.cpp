#include "ui/ErrorBoxText.h"

std::string ErrorBoxText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}
