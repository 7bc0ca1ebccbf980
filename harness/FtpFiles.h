#pragma once
// A temporary directory tree that a test server serves (anonymous, read-only)
// or that a test uses as its local side. Removed with the object.
#include <string>
#include <vector>

namespace harness {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &Path() const { return path_; }
    // Path of a file or directory below this one.
    std::string operator/(const std::string &relative) const { return path_ + "/" + relative; }

    // Creates the file (and its directories), readable by everyone.
    void Write(const std::string &relative, const std::string &bytes) const;
    std::string Read(const std::string &relative) const;
    bool Exists(const std::string &relative) const;

private:
    std::string path_;
};

// The tree an FTP server serves: always holds "pub/news/". The root must not
// be writable by the server's anonymous user (vsftpd refuses such a root).
class FtpFiles : public TempDir {
public:
    FtpFiles();
};

// The names in Directory, sorted.
std::vector<std::string> NamesIn(const std::string &directory);

// Bytes that differ from block to block, so a lost or doubled block shows.
std::string PatternBytes(std::size_t count);

}  // namespace harness
