#include "harness/client/ServicePaths.h"

#include <algorithm>
#include <stdexcept>

namespace harness {

namespace {

constexpr char kDrive = 'Z';

std::string Replaced(std::string path, char from, char to)
{
    std::replace(path.begin(), path.end(), from, to);
    return path;
}

}  // namespace

std::string LocalPath(const std::string &servicePath, PathStyle style)
{
    if (!servicePath.starts_with('/'))
        throw std::invalid_argument("not an absolute path of the harness service: '" + servicePath + "'");
    if (style == PathStyle::Posix)
        return servicePath;
    return std::string{kDrive, ':'} + Replaced(servicePath, '/', '\\');
}

std::string ServicePath(const std::string &localPath, PathStyle style)
{
    if (style == PathStyle::Posix)
        return LocalPath(localPath, style);
    // A path on the drive, or the drive itself.
    const bool onDrive = localPath.size() >= 2 && (localPath[0] == kDrive || localPath[0] == kDrive + ('a' - 'A')) &&
                         localPath[1] == ':' && (localPath.size() == 2 || localPath[2] == '\\' || localPath[2] == '/');
    if (!onDrive)
        throw std::invalid_argument("not a path on the harness service's drive " + std::string{kDrive, ':'} +
                                    ": '" + localPath + "'");
    return localPath.size() == 2 ? "/" : Replaced(localPath.substr(2), '\\', '/');
}

}  // namespace harness
