#pragma once
// The file a captured transfer is received into.
#include "platform/Exception.h"
#include "platform/files/detail/ReceiveIntoFile.h"
#include "platform/files/Stream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace FileSystem {
class TemporaryFile;
}

// A written file that cannot be read back.
class EReadError : public Exception {
public:
    using Exception::Exception;
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
// is removed. A target that is a symbolic link: on Linux the new copy is
// written where the link leads, and the link stays, unless the link is to be
// Replaced; on Windows the new file is always renamed onto the link's own
// name (MoveFileExW). A replaced link gives way to the new copy, and the
// file it led to keeps the old one.
//
// The temporary file is "<target>.vm_ver32-XXXXXX" and stays locked while
// this stream lives; a process that was killed leaves it unlocked, and the
// next stream for the same target removes it.
class TFileStream : public TStream {
public:
    // What becomes of a symbolic link at the target: the downloads follow it,
    // the maker's signatures replace it (a link must not carry their bytes
    // into a file the signer never named).
    enum class Link { Followed, Replaced };

    // Raises EFCreateError when the target exists as anything but a regular
    // file (opening a FIFO would block) or is read-only, when its links go
    // round in a loop, or when the temporary file cannot be made.
    explicit TFileStream(const std::string &fileName, Link link = Link::Followed);
    ~TFileStream() override;
    TFileStream(const TFileStream &) = delete;
    TFileStream &operator=(const TFileStream &) = delete;

    // A failed write is remembered rather than raised (the bytes arrive inside
    // notification handlers, which must not raise); Close reports it.
    void Write(const char *data, std::size_t count) override;
    int64_t Size() const override;
    bool Failed() const;

    // Writes out the last bytes and closes; raises EWriteError when a write
    // failed or the bytes cannot reach the disk. Closing twice does nothing.
    void Close();
    // Closes, then puts the file in place of the target and syncs the
    // directory that holds it; raises EWriteError when the file cannot be put
    // in place. Once it is, a failed sync is no failure: the returned note
    // says that a power cut may undo the replacement (empty when none may).
    std::string Commit();
    // After Close, before Commit: the bytes in the temporary file, read back
    // through the stream's own handle and given to Each piece by piece (64 KiB
    // at most), so that they are what Commit puts in place whatever happens to
    // the name meanwhile, and never in memory at once. Raises EReadError when
    // they cannot be read.
    void ReadBack(const std::function<void(std::string_view Piece)> &each) const;

private:
    // Splices into the file through its intake, which nothing else sees.
    friend long net::ReceiveIntoFile(net::Socket &, TFileStream &, std::size_t, std::span<char>);

    std::unique_ptr<FileSystem::TemporaryFile> file_;
};
