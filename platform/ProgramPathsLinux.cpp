#include "platform/ProgramPaths.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ProgramPaths {

std::string ProgramDirectory()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (size_t(n) < buffer.size()) {
            const std::string path(buffer.data(), size_t(n));
            const size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The system takes a name's bytes as they are.
std::filesystem::path SystemPath(const std::string &name) { return name; }

bool FileExists(const std::string &name)
{
    struct stat info {};
    return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EntryExists(const std::string &name)
{
    struct stat info {};
    return ::lstat(name.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool IsAbsolute(const std::string &name) { return !name.empty() && name.front() == '/'; }

} // namespace ProgramPaths
