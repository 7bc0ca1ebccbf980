#pragma once
// What stands behind a TFileStream on this system: the temporary file, its
// write buffer, and on Linux the pipe a socket splices into. Only the
// platform's own code sees it. Its own logic is shared (TemporaryFile.cpp);
// each system's file (TemporaryFileLinux.cpp, TemporaryFileWindows.cpp)
// holds the calls.
#include "platform/files/detail/WriteBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#ifndef _WIN32
#include "platform/files/detail/WriteBackLinux.h"
#endif

namespace FileSystem {

#ifdef _WIN32
using SystemError = unsigned long; // GetLastError
#else
using SystemError = int; // errno
#endif

// FileName as errors show it: quoted, in code page 1250 (names are UTF-8).
std::string Quoted(const std::string &fileName);
// The system's text for Error (each system's file).
std::string ErrorText(SystemError error);
// The temporary file for FileName cannot be made, for Error; or because
// FileName is not a regular file.
[[noreturn]] void FailCreate(const std::string &fileName, SystemError error);
[[noreturn]] void FailNotRegular(const std::string &fileName);

// As TFileStream. While it lives, the temporary file is locked (flock) on
// Linux; on Windows it stays open, shared for reading only, until the moment
// it is moved: no other download can remove it, while the file of a process
// that was killed is closed and can be.
class TemporaryFile {
public:
    // ReplaceLink: a symbolic link at FileName is replaced, never followed
    // (Windows replaces it either way).
    explicit TemporaryFile(const std::string &fileName, bool replaceLink = false);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    void Write(const char *data, std::size_t count);
    int64_t Size() const { return size_; }
    bool Failed() const { return error_ != 0; }

    void Close();
    std::string Commit();
    // See TFileStream::ReadBack.
    void ReadBack(const std::function<void(std::string_view)> &each) const;

#ifndef _WIN32
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
#endif

private:
    [[noreturn]] void FailWrite();
    // The system's part of Close, once the buffer is flushed: no more writes,
    // and the data on the disk; a failure is remembered.
    void EndWrites();
    // Moves the temporary file over the target; false, the failure
    // remembered, when it cannot.
    bool Replace();
    // What follows a move: a warning for the user, empty when none.
    std::string Settle();
    // Reads up to Count bytes at Offset of the temporary file: how many, 0 at
    // its end, -1 with Error.
    long ReadAt(char *data, std::size_t count, int64_t offset, SystemError &error) const;
    // Hands the buffered bytes to the system.
    void Flush();
    // Hands Count bytes to the system unless a write has failed; whether none has.
    bool Out(const char *data, std::size_t count);
    // Hands Count bytes to the system, all of them or a remembered failure.
    void WriteOut(const char *data, std::size_t count);

    std::string fileName_;
    WriteBuffer buffer_;
    int64_t size_ = 0;
    bool committed_ = false;

#ifdef _WIN32
    // Closes the temporary file's handle, once.
    void Release();
    bool Writable() const { return !closed_; }

    std::wstring targetName_;
    std::wstring temporaryName_;
    // The temporary file's HANDLE; open until the move or the removal.
    void *file_;
    bool closed_ = false;
#else
    bool Writable() const { return file_ >= 0; }
    // Count more bytes are in the file: writing back goes on.
    void Written(std::size_t count);
    // Copies Count bytes from the intake when the file cannot take them spliced.
    void CopyFromIntake(std::size_t count);
    // Keeps the first failure; the intake goes, so nothing waits in it.
    void Remember(int error);

    // Where the bytes go: fileName_, with its symbolic links followed
    // unless a link there is replaced.
    std::string targetName_;
    std::string temporaryName_;
    // Holds the lock on the temporary file after file_ is closed, until the
    // file is renamed or removed.
    int lock_ = -1;
    int file_ = -1;
    int intake_[2] = {-1, -1};  // the pipe's read and write ends
    std::size_t intakeRoom_ = 0;
    bool intakeDropped_ = false;
    TWriteBack writeBack_;
    int64_t written_ = 0;  // bytes handed to the system
#endif
    SystemError error_ = 0; // of the first failed write
};

} // namespace FileSystem
