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
#include <string>
#include <string_view>

namespace PrivateProfile {

// The value of Key in Section of the profile text, or "" when absent, cut to
// MaxLength bytes.
std::string ReadValue(std::string_view text, std::string_view section, std::string_view key,
                      size_t maxLength = std::string::npos);

// The profile text with Key of Section set to Value.
std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

// Whether WriteString takes these: a name or value holding a line break, an
// empty key, a key holding "=" or beginning with ";" or "[", and a section
// holding "]" are refused, since they could not be read back.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value);

// The same on a file. GetString reads at most MaxLength bytes of the value;
// WriteString creates the file when needed and reports whether it succeeded;
// it refuses (false) what CanWrite refuses.
std::string GetString(const std::string &fileName, std::string_view section, std::string_view key,
                      size_t maxLength);
bool WriteString(const std::string &fileName, std::string_view section, std::string_view key,
                 std::string_view value);

} // namespace PrivateProfile
