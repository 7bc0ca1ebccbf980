#pragma once
// The base of every error that carries a display text. Texts are single-byte
// strings in code page 1250, like every text the program handles.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string &message) : std::runtime_error(message), message_(message) {}
    // The whole text; what() ends at its first zero byte, which a server's
    // reply line may hold.
    const std::string &Message() const { return message_; }

private:
    std::string message_;
};

// The display text of any error: an Exception's whole message, what() of others.
inline std::string MessageOf(const std::exception &error)
{
    const auto *own = dynamic_cast<const Exception *>(&error);
    return own ? own->Message() : std::string(error.what());
}

// A value outside the range its destination can hold.
class ERangeError : public Exception {
public:
    ERangeError() : Exception("Range check error") {}
};

// A text that does not convert to the value asked for (dates, integers).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Replaces the first "%s" of Format by Arg, the way the program's messages are built.
std::string FormatText(const std::string &format, const std::string &arg);
