#pragma once
// A temporary directory tree that a test server serves (anonymous, read-only)
// or that a test uses as its local side. Removed with the object. Built with
// VM_HARNESS_CLIENT, the harness service makes and removes it, and the test
// reads and writes it through its local path. Every name is UTF-8.
#include <cstddef>
#include <string>
#include <vector>

#ifdef VM_HARNESS_CLIENT
#include "harness/client/ServiceSession.h"
#endif

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

protected:
    // Lets everyone read (and list) the directory, as the servers' users must.
    static void OpenToAll(const std::string &directory);

private:
    std::string path_;
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#endif
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
