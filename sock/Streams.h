#pragma once
// The byte streams a socket component buffers in: a growable memory stream for
// what is queued or received, and a file stream that receives a captured
// transfer.
#include "platform/Exception.h"
#include "sock/WriteBack.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TStream {
public:
    virtual ~TStream() = default;
    // Appends Count bytes at the end.
    virtual void Write(const char *data, std::size_t count) = 0;
    virtual int64_t Size() const = 0;
};

class TMemoryStream : public TStream {
public:
    void Write(const char *data, std::size_t count) override { bytes_.append(data, count); }
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size() - head_); }
    // The bytes not yet taken from the front.
    std::string_view Bytes() const { return std::string_view(bytes_).substr(head_); }
    // Takes Count bytes from the front. Taking line by line from a large
    // buffer must not copy the rest each time: the taken head is only dropped
    // once it is at least as large as what remains.
    void Consume(std::size_t count)
    {
        head_ += std::min(count, bytes_.size() - head_);
        if (head_ >= bytes_.size() - head_) {
            bytes_.erase(0, head_);
            head_ = 0;
        }
    }
    void Clear()
    {
        bytes_.clear();
        head_ = 0;
    }

private:
    std::string bytes_;
    std::size_t head_ = 0;
};

// A file that cannot be created.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Writing to a file failed (for example the disk is full).
class EWriteError : public Exception {
public:
    using Exception::Exception;
};

// A file written under a temporary name beside its target and put in place of
// the target only by Commit, so that a broken, aborted or failed write never
// replaces the copy the target held. Dropped without Commit, the temporary file
// is removed. A target that is a symbolic link is written where the link
// leads, and the link stays.
//
// The temporary file is "<target>.vm_ver32-XXXXXX" and stays locked (flock)
// while this stream lives; a process that was killed leaves it unlocked, and
// the next stream for the same target removes it.
class TFileStream : public TStream {
public:
    // Raises EFCreateError when the target exists as anything but a regular
    // file (opening a FIFO would block) or is read-only, when its links go
    // round in a loop, or when the temporary file cannot be made.
    explicit TFileStream(const std::string &fileName);
    ~TFileStream() override;
    TFileStream(const TFileStream &) = delete;
    TFileStream &operator=(const TFileStream &) = delete;

    // A failed write is remembered rather than raised (the bytes arrive inside
    // notification handlers, which must not raise); Close reports it.
    void Write(const char *data, std::size_t count) override;
    int64_t Size() const override { return size_; }
    bool Failed() const { return error_ != 0; }

    // The write end of a pipe for a socket to splice into, so that the bytes
    // reach the file without passing through the process; -1 when there is
    // none (the bytes come through Write then). IntakeRoom is the most one
    // splice should put in it.
    int Intake();
    std::size_t IntakeRoom() const { return intakeRoom_; }
    // Appends the Count bytes just spliced into the intake; a failure is
    // remembered as Write's is.
    void WriteFromIntake(std::size_t count);
    // The socket cannot splice: Intake() gives -1 from now on.
    void DropIntake();

    // Writes out the last bytes and closes; raises EWriteError when a write
    // failed or the bytes cannot reach the disk. Closing twice does nothing.
    void Close();
    // Closes, then puts the file in place of the target and syncs the
    // directory that holds it; raises EWriteError when the file cannot be put
    // in place. Once it is, a failed sync is no failure: the returned note
    // says that a power cut may undo the replacement (empty when none may).
    std::string Commit();

private:
    [[noreturn]] void FailWrite();
    // Hands the buffered bytes to the system.
    void Flush();
    // Hands Count bytes to the system, all of them or a remembered failure.
    void WriteOut(const char *data, std::size_t count);
    // Count more bytes are in the file: writing back goes on.
    void Written(std::size_t count);
    // Copies Count bytes from the intake when the file cannot take them spliced.
    void CopyFromIntake(std::size_t count);
    // Keeps the first failure; the intake goes, so nothing waits in it.
    void Remember(int error);

    std::string fileName_;
    // Where the bytes go: fileName_ with its symbolic links followed.
    std::string targetName_;
    std::string temporaryName_;
    // Holds the lock on the temporary file after file_ is closed, until the
    // file is renamed or removed.
    int lock_ = -1;
    int file_ = -1;
    // Small writes gather here and go to the system in large ones.
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    int intake_[2] = {-1, -1};  // the pipe's read and write ends
    std::size_t intakeRoom_ = 0;
    bool intakeDropped_ = false;
    TWriteBack writeBack_;
    int64_t written_ = 0;  // bytes handed to the system
    int64_t size_ = 0;
    int error_ = 0;  // errno of the first failed write
    bool committed_ = false;
};
