// The files of a TempDir and the tree of FtpFiles, reached through the
// directory's path: the same for the in-process harness and for its client.
#include "harness/FtpFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace harness {

namespace fs = std::filesystem;

namespace {

constexpr auto kReadable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;

}  // namespace

void TempDir::OpenToAll(const std::string &directory) { fs::permissions(directory, kReadable); }

void TempDir::Write(const std::string &relative, const std::string &bytes) const
{
    const fs::path file = fs::path(path_) / relative;
    for (fs::path dir = file.parent_path(); dir.string().size() > path_.size(); dir = dir.parent_path()) {
        fs::create_directories(dir);
        OpenToAll(dir.string());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
    out.close();
    fs::permissions(file, kReadable & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
}

std::string TempDir::Read(const std::string &relative) const
{
    std::ifstream in(fs::path(path_) / relative, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + relative);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempDir::Exists(const std::string &relative) const { return fs::exists(fs::path(path_) / relative); }

FtpFiles::FtpFiles()
{
    fs::create_directories(fs::path(Path()) / "pub" / "news");
    OpenToAll(*this / "pub");
    OpenToAll(*this / "pub/news");
}

std::string PatternBytes(std::size_t count)
{
    std::string bytes(count, '\0');
    std::uint32_t state = 2463534242u;
    for (auto &b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

std::vector<std::string> NamesIn(const std::string &directory)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace harness
