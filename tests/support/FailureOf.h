#pragma once
// The text of the exception a call raises, for tests that expect a failure.
#include "platform/Exception.h"

#include <exception>
#include <string>

namespace testsupport {

// The whole display text of the Error that Call raises; empty when it raises
// none. An exception of another type is not caught: it fails the test.
template <class Error = std::exception, class Call> std::string FailureOf(Call call)
{
    try {
        call();
    } catch (const Error &e) {
        return MessageOf(e);
    }
    return {};
}

} // namespace testsupport
