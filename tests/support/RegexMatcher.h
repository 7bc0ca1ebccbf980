#pragma once
// MatchesRegex with POSIX extended expressions on every system: GoogleTest's
// own regular expressions are that only where the C library offers them, and
// elsewhere a subset without bracket expressions or alternatives.
#include <gmock/gmock.h>

#include <regex>
#include <string>

namespace testsupport {

// The whole value matches Pattern; "." matches a line end too, as in POSIX.
MATCHER_P(MatchesRegex, pattern,
          std::string(negation ? "doesn't match" : "matches") + " regular expression " +
              ::testing::PrintToString(pattern))
{
    return std::regex_match(std::string(arg), std::regex(std::string(pattern), std::regex::extended));
}

} // namespace testsupport
