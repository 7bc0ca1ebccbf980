#pragma once
// Paths of the service's file system (Linux) and their local form: the same
// on Linux; under wine, on drive Z:, where wine shows the Linux root.
#include <string>

namespace harness {

enum class PathStyle { Posix, Windows };

#ifdef _WIN32
constexpr PathStyle kLocalPathStyle = PathStyle::Windows;
#else
constexpr PathStyle kLocalPathStyle = PathStyle::Posix;
#endif

// "/tmp/x" as a local path: "/tmp/x", or "Z:\tmp\x". Throws
// std::invalid_argument when ServicePath is not absolute.
std::string LocalPath(const std::string &servicePath, PathStyle style = kLocalPathStyle);
// The service's form of a local path; throws std::invalid_argument when the
// path is not on the service's file system.
std::string ServicePath(const std::string &localPath, PathStyle style = kLocalPathStyle);

}  // namespace harness
