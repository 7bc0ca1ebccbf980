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

// Names are UTF-8, as the program keeps them; a plain string would be read in
// Windows' ANSI code page.
fs::path Utf8Path(const std::string &name) { return std::u8string(name.begin(), name.end()); }

std::string Utf8Name(const fs::path &path)
{
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

void TempDir::OpenToAll(const std::string &directory) { fs::permissions(Utf8Path(directory), kReadable); }

void TempDir::Write(const std::string &relative, const std::string &bytes) const
{
    const fs::path root = Utf8Path(path_);
    const fs::path file = root / Utf8Path(relative);
    for (fs::path dir = file.parent_path(); dir.native().size() > root.native().size(); dir = dir.parent_path()) {
        fs::create_directories(dir);
        fs::permissions(dir, kReadable);
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + Utf8Name(file));
    out.close();
    fs::permissions(file, kReadable & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
}

std::string TempDir::Read(const std::string &relative) const
{
    std::ifstream in(Utf8Path(path_) / Utf8Path(relative), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + relative);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempDir::Exists(const std::string &relative) const { return fs::exists(Utf8Path(path_) / Utf8Path(relative)); }

FtpFiles::FtpFiles()
{
    fs::create_directories(Utf8Path(Path()) / "pub" / "news");
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
    for (const auto &entry : fs::directory_iterator(Utf8Path(directory)))
        names.push_back(Utf8Name(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace harness
