#include "platform/files/detail/TemporaryFile.h"

#include "platform/files/detail/FileSystemCallsLinux.h"
#include "platform/files/detail/TemporaryName.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace FileSystem {
namespace {

// The pipe a socket splices into: as much as one receive run takes, and what
// every pipe has when the system refuses a larger one.
constexpr std::size_t kIntakeRoom = 1 << 20;
constexpr std::size_t kMinimumIntakeRoom = 64 * 1024;
// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinks = 40;
// What mkstemp puts the random part in place of.
constexpr std::string_view kRandomPart = "XXXXXX";
static_assert(kRandomPart.size() == kRandomLength);
// A temporary file is only taken when this program locked it; should other
// downloads keep removing new ones, the download gives up.
constexpr int kTemporaryAttempts = 8;

// Past a file-size limit of the process the kernel sends SIGXFSZ, which ends
// the program; ignored, the write fails with EFBIG and is reported like a full disk.
void IgnoreFileSizeSignal()
{
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
}

// The mode the file gets in place: the old copy's, or what creating it would give.
mode_t ModeFor(const struct stat *existing)
{
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The directory Path is in, with its slash ("" for the current one).
std::string DirectoryOf(const std::string &path) { return path.substr(0, path.rfind('/') + 1); }

// Makes a rename in Directory durable: until the directory reaches the disk,
// a power cut can bring back what the name held before, or no file. Returns
// 0, also where the file system cannot sync a directory (EINVAL), or errno.
int SyncDirectory(const std::string &directory)
{
    const SystemCalls &calls = Calls();
    const int fd = calls.open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = (calls.fsync(fd) == 0 || errno == EINVAL) ? 0 : errno;
    calls.close(fd);
    return error;
}

// The file a name stands for once its symbolic links are followed; Info holds
// what lstat says of it when Exists.
struct Target {
    std::string path;
    bool exists = false;
    struct stat info {};
};

std::string LinkText(const std::string &fileName, const std::string &link)
{
    std::string text(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
        if (length < 0)
            FailCreate(fileName, errno);
        if (static_cast<std::size_t>(length) < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

// Renaming over a link would replace the link: the new copy goes where the
// links lead, a dangling link making the file it names.
Target FinalTarget(const std::string &fileName)
{
    Target target{fileName};
    for (int links = 0;; ++links) {
        // What cannot be looked at here is reported when the temporary file
        // beside it cannot be made.
        if (::lstat(target.path.c_str(), &target.info) != 0)
            return target;
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        if (links == kMaxLinks)
            FailCreate(fileName, ELOOP);
        const std::string link = LinkText(fileName, target.path);
        target.path = link.starts_with('/') ? link : DirectoryOf(target.path) + link;
    }
}

// The name itself when a link there is replaced: a link is no old copy to
// keep the mode of, and the rename puts the new copy in its place.
Target OwnTarget(const std::string &fileName)
{
    Target target{fileName};
    target.exists = ::lstat(fileName.c_str(), &target.info) == 0 && !S_ISLNK(target.info.st_mode);
    return target;
}

// Why a copy the user has made read-only cannot be replaced; 0 when it can.
// Root may write anything, so a file with no write permission at all counts
// as read-only too.
int ReadOnlyError(const Target &target)
{
    // A running program cannot be opened for writing but is safely renamed over.
    if (::access(target.path.c_str(), W_OK) != 0 && errno != ETXTBSY)
        return errno;
    if ((target.info.st_mode & 0222) == 0)
        return EACCES;
    return 0;
}

// Removes Name in Directory unless a running download holds its lock. It is
// removed only while locked here and still under its name, so that no file a
// download has just made and not yet locked is taken.
void RemoveIfUnlocked(int directory, const char *name)
{
    const int fd = ::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd, &locked) == 0 && S_ISREG(locked.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && ::fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(locked, named))
        ::unlinkat(directory, name, 0);
    ::close(fd);
}

// A download that was killed leaves its temporary file beside the target;
// the next download of the same target removes it.
void RemoveLeftovers(const std::string &target)
{
    const std::string directory = DirectoryOf(target);
    const std::string prefix = target.substr(directory.size()) + std::string(kTemporaryMark);
    DIR *entries = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!entries)
        return;
    while (const dirent *entry = ::readdir(entries)) {
        if (IsTemporaryName(entry->d_name, prefix))
            RemoveIfUnlocked(::dirfd(entries), entry->d_name);
    }
    ::closedir(entries);
}

// Makes Name beside Target and locks it for as long as the descriptor (or a
// duplicate of it) stays open; -1 with errno when it cannot.
int MakeTemporary(const std::string &target, std::string &name)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = target + std::string(kTemporaryMark) + std::string(kRandomPart);
        const int fd = ::mkstemp(name.data());
        if (fd < 0)
            return -1;
        // Where flock is not supported nobody can lock, so nobody removes it.
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        // Another download may have found the file unlocked and removed it.
        struct stat made {};
        struct stat named {};
        if (locked && ::fstat(fd, &made) == 0 && ::lstat(name.c_str(), &named) == 0 && SameFile(made, named))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string ErrorText(SystemError error) { return std::strerror(error); }

TemporaryFile::TemporaryFile(const std::string &fileName, bool replaceLink)
    : fileName_(fileName)
{
    IgnoreFileSizeSignal();
    const Target target = replaceLink ? OwnTarget(fileName) : FinalTarget(fileName);
    if (target.exists && !S_ISREG(target.info.st_mode))
        FailNotRegular(fileName);
    if (target.exists)
        if (const int error = ReadOnlyError(target))
            FailCreate(fileName, error);
    targetName_ = target.path;
    RemoveLeftovers(targetName_);
    // mkstemp makes a name nobody else holds, so nothing planted beside the
    // target can take the bytes.
    file_ = MakeTemporary(targetName_, temporaryName_);
    if (file_ < 0)
        FailCreate(fileName, errno);
    lock_ = ::fcntl(file_, F_DUPFD_CLOEXEC, 0);
    if (lock_ < 0) {
        const int error = errno;
        ::unlink(temporaryName_.c_str());
        ::close(file_);
        FailCreate(fileName, error);
    }
    ::fchmod(file_, ModeFor(target.exists ? &target.info : nullptr));
}

TemporaryFile::~TemporaryFile()
{
    DropIntake();
    if (file_ >= 0)
        ::close(file_);
    if (!committed_)
        ::unlink(temporaryName_.c_str());
    if (lock_ >= 0)
        ::close(lock_);
}

void TemporaryFile::WriteOut(const char *data, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(file_, data, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Remember(n < 0 ? errno : EIO);
            return;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
        Written(static_cast<std::size_t>(n));
    }
}

void TemporaryFile::Written(std::size_t count)
{
    written_ += static_cast<int64_t>(count);
    Remember(writeBack_.Advance(file_, written_));
}

void TemporaryFile::Remember(int error)
{
    if (error == 0)
        return;
    if (!Failed())
        error_ = error;
    DropIntake();
}

int TemporaryFile::Intake()
{
    if (intake_[1] >= 0 || intakeDropped_ || file_ < 0 || Failed())
        return intake_[1];
    if (::pipe2(intake_, O_CLOEXEC) != 0) {
        intakeDropped_ = true;
        return -1;
    }
    // A larger pipe takes more per splice; where the system refuses, the
    // pipe keeps the size it has.
    ::fcntl(intake_[1], F_SETPIPE_SZ, static_cast<int>(kIntakeRoom));
    const int room = ::fcntl(intake_[1], F_GETPIPE_SZ);
    intakeRoom_ = room > 0 ? static_cast<std::size_t>(room) : kMinimumIntakeRoom;
    return intake_[1];
}

void TemporaryFile::DropIntake()
{
    for (int &end : intake_) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
    intakeDropped_ = true;
}

void TemporaryFile::WriteFromIntake(std::size_t count)
{
    // What was written before lies ahead of the spliced bytes in the file.
    Flush();
    const std::size_t total = count;
    while (count > 0 && !Failed()) {
        const ssize_t n = Calls().splice(intake_[0], nullptr, file_, nullptr, count, SPLICE_F_MOVE);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EINVAL) {
            // A file system that takes no spliced pages takes them copied.
            CopyFromIntake(count);
            break;
        }
        if (n <= 0) {
            Remember(n < 0 ? errno : EIO);
            break;
        }
        count -= static_cast<std::size_t>(n);
        Written(static_cast<std::size_t>(n));
    }
    if (!Failed())
        size_ += static_cast<int64_t>(total);
}

void TemporaryFile::CopyFromIntake(std::size_t count)
{
    while (count > 0 && !Failed()) {
        const std::span<char> space = buffer_.Space();
        const ssize_t n = ::read(intake_[0], space.data(), std::min(count, space.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Remember(n < 0 ? errno : EIO);
            break;
        }
        WriteOut(space.data(), static_cast<std::size_t>(n));
        count -= static_cast<std::size_t>(n);
    }
    DropIntake();
}

void TemporaryFile::EndWrites()
{
    DropIntake();
    // The data and the size are what reading the file back needs: the rename
    // gives it its name.
    if (!Failed() && ::fdatasync(file_) != 0)
        error_ = errno;
    if (::close(file_) != 0 && !Failed())
        error_ = errno;
    file_ = -1;
}

bool TemporaryFile::Replace()
{
    if (Calls().rename(temporaryName_.c_str(), targetName_.c_str()) == 0)
        return true;
    error_ = errno;
    return false;
}

std::string TemporaryFile::Settle()
{
    ::close(lock_);
    lock_ = -1;
    // The rename happened beside the final target, where the temporary file was.
    const std::string beside = DirectoryOf(targetName_);
    const std::string directory = beside.empty() ? "." : beside;
    if (const int error = SyncDirectory(directory))
        return "File " + Quoted(fileName_) + " replaced, but its directory " + Quoted(directory) +
               " could not be synced: " + std::strerror(error) + ". A power cut may undo the replacement.";
    return {};
}

long TemporaryFile::ReadAt(char *data, std::size_t count, int64_t offset, SystemError &error) const
{
    // The lock's descriptor is the file's own, open for reading and writing
    // until the rename: reading through it needs no name.
    for (;;) {
        const ssize_t n = ::pread(lock_, data, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        return n;
    }
}

} // namespace FileSystem
