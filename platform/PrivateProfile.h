#pragma once
// Private-profile (INI) files, read and written line by line so that a write
// changes one line and keeps every other line, comment and line ending as it was.
//
// Rules: section and key names match without regard to case; blanks around names
// are dropped, and around values when read, while a value is written as given;
// the first matching section and key count; a missing file, section or key reads
// as the empty text; a write replaces the key's line in place, or adds the key at
// the end of its section, or adds the section at the end of the file. Texts are
// bytes (code page 1250) and pass unchanged.
#include "platform/RegularFile.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace PrivateProfile {

using KeyValue = std::pair<std::string_view, std::string_view>;

// The longest value the program's reads keep: the 128-byte buffer, its
// terminating zero included, of the profile calls it was written for.
inline constexpr size_t MaxValueLength = 127;

// The value of Key in Section of the profile text, or "" when absent, cut to
// MaxLength bytes.
std::string ReadValue(std::string_view text, std::string_view section, std::string_view key,
                      size_t maxLength = std::string::npos);

// The profile text with Key of Section set to Value.
std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);
// The same for several keys of one section, in one pass.
std::string WithValues(std::string_view text, std::string_view section, const std::vector<KeyValue> &entries);

// Whether WriteString takes these: a name or value holding a line break, an
// empty key, a key holding "=" or beginning with ";" or "[", and a section
// holding "]" are refused, since they could not be read back.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value);

// The same on a file, which is read once per call and only when it is a
// regular file (anything else reads as empty and is not written).
// GetStrings gives the values of Keys in order, each cut to MaxLength, and
// keeps no more of the file than one line's head. WriteStrings creates the
// file when needed, writes it once, and reports whether it succeeded; what
// CanWrite refuses is left out and makes the result false.
std::vector<std::string> GetStrings(const std::string &fileName, std::string_view section,
                                    const std::vector<std::string_view> &keys, size_t maxLength);

// What a read of a file met on its way, for a caller that must tell apart what
// reads alike: a missing file, section or key all read as "", a cut value as
// any other.
using FileState = RegularFile::State;
// How the text begins: a UTF-8 byte order mark, which hides the first line's
// section from the reader, or UTF-16 (a byte order mark or zero bytes), of
// which nothing matches.
enum class TextStart { Plain, Utf8Bom, Utf16 };
struct SectionRead {
    FileState State = FileState::Missing;
    TextStart Start = TextStart::Plain;
    bool SectionFound = false;
    // As GetStrings gives them.
    std::vector<std::string> Values;
    // Each value's length before the cut, as far as a line's kept head holds
    // it; npos where the key is missing.
    std::vector<size_t> WholeLengths;
};
// GetStrings' read, with what it met. A file whose read fails part-way is Unreadable.
SectionRead ReadSection(const std::string &fileName, std::string_view section,
                        const std::vector<std::string_view> &keys, size_t maxLength);

// ReadSection's scan of a text that comes in pieces, such as a download read
// back from its file: the same rules and the same result, keeping no more of
// the text than one line's head.
class SectionReader {
public:
    SectionReader(std::string_view section, const std::vector<std::string_view> &keys, size_t maxLength);
    ~SectionReader();
    SectionReader(const SectionReader &) = delete;
    SectionReader &operator=(const SectionReader &) = delete;

    // The next bytes of the text; false once the section has ended, when no
    // later piece can change what was read.
    bool Take(std::string_view piece);
    // What the text held, State Read.
    SectionRead Finish();

private:
    struct Scan;
    std::unique_ptr<Scan> scan_;
};

std::string GetString(const std::string &fileName, std::string_view section, std::string_view key,
                      size_t maxLength);
bool WriteStrings(const std::string &fileName, std::string_view section, const std::vector<KeyValue> &entries);
bool WriteString(const std::string &fileName, std::string_view section, std::string_view key,
                 std::string_view value);

} // namespace PrivateProfile
