#pragma once
// The text of the exception a call raises, for tests that expect a failure.
#include <exception>
#include <string>

namespace testsupport {

// Empty when Call raises nothing.
template <class Call> std::string FailureOf(Call call)
{
    try {
        call();
    } catch (const std::exception &e) {
        return e.what();
    }
    return {};
}

} // namespace testsupport
