#pragma once
// Reading a file that must be a regular file, and replacing one whole: the
// profile files, the trusted CAs, the maker's keys and signatures, the files
// the maker's tool signs.
// Only a regular file is opened (a FIFO would wait for a writer, a device may
// never end), and a read that fails part-way fails the whole, so that a file
// cut short never passes for the whole one.
#include "platform/Secret.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace RegularFile {

// What a read met: the file read so far without a failure; nothing of that
// name; or no regular file, one that cannot be opened, or a read that failed
// part-way (what was given then is not the whole file).
enum class State { Read, Missing, Unreadable };

// Gives the file FileName (UTF-8) to Each piece by piece (64 KiB at most),
// until its end or until Each returns false.
State ReadInPieces(const std::string &fileName, const std::function<bool(std::string_view)> &each);

// The whole file; none when it is not Read whole or holds more than Most bytes.
std::optional<std::string> ReadWhole(const std::string &fileName,
                                     std::size_t most = std::numeric_limits<std::size_t>::max());

// The whole file read straight into memory that is wiped when freed (a
// private key); none as for ReadWhole.
std::optional<Secret::Text> ReadSecret(const std::string &fileName, std::size_t most);

// Puts Contents in place of the file's, all or nothing; false when it cannot.
// Both systems write a new file beside it and rename it onto the file's name.
// On Linux (QSaveFile) a symbolic link is written through to where it leads,
// and a file the user may write in a directory where they may not create one
// is written in place instead, not all or nothing then. On Windows the link
// itself is replaced by the new file, and such a directory makes the save
// fail (no file beside it can be made).
bool Replace(const std::string &fileName, std::string_view contents);

}  // namespace RegularFile
