#pragma once
// The connection settings a product starts with, before its settings file
// holds its own.
#include <string_view>

namespace ConnectionDefaults {
inline constexpr std::string_view User = "anonymous";
inline constexpr std::string_view Password = "aktualizacje@vemo.com.pl";
inline constexpr std::string_view Host = "ftp.vemo.com.pl";
inline constexpr std::string_view HostPort = "21";
} // namespace ConnectionDefaults
