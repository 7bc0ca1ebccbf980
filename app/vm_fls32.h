#pragma once
// The application's file names: a name holder, a named file, a named INI file,
// and the two pairs that join a file's name on the server with its local copy.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One full file name.
class TMyFile {
public:
    // Dir and FileName joined by the separator, unless Dir already ends in one.
    // The name holds text only up to a zero character, as the system calls see it.
    void SetFullName(const std::string &Dir, const std::string &FileName);

    std::string FullName;
};

class TFile {
public:
    TMyFile FileName;
};

// A named private-profile file with one read and one write operation.
class TIniFile {
public:
    // The value of Key in Section, or "" when the file, section or key is
    // missing; at most PrivateProfile::MaxValueLength characters.
    std::string ReadString(const std::string &Section, const std::string &Key) const;
    // The values of Keys in Section, in order, read in one pass over the file.
    std::vector<std::string> ReadStrings(const std::string &Section, const std::vector<std::string_view> &Keys) const;
    // Sets Key in Section to Value (an empty value keeps the key); true on success.
    bool WriteString(const std::string &Section, const std::string &Key, const std::string &Value);
    // Sets each key of Entries in Section, writing the file once; true on success.
    bool WriteStrings(const std::string &Section,
                      const std::vector<std::pair<std::string_view, std::string_view>> &Entries);

    TMyFile FileName;
};

// The tags of the two file pairs, for the handler of a finished download.
constexpr std::uint8_t KindReleaseInfo = 1;
constexpr std::uint8_t KindNews = 2;

// A file on the server and its local copy. Kind tags the pair (KindReleaseInfo,
// KindNews); 0 is no pair.
template <class Side>
class TFilePair {
public:
    explicit TFilePair(std::uint8_t kind = 0) : Kind(kind) {}

    Side Local;
    Side Remote;
    std::uint8_t Kind = 0;
};

// The release information is read as INI; the news only by name.
using TInfFile = TFilePair<TIniFile>;
using TRtfFile = TFilePair<TFile>;
