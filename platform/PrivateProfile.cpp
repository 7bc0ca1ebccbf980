#include "platform/PrivateProfile.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace PrivateProfile {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// One line of the text: its content (without line end) and its line end as found.
struct Line {
    std::string_view content;
    std::string_view end;
};

// The lines of a text, one at a time: a profile of millions of lines is
// walked without a list of them.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool Next(Line &line)
    {
        if (rest_.empty())
            return false;
        const size_t lf = rest_.find('\n');
        const size_t next = lf == std::string_view::npos ? rest_.size() : lf + 1;
        size_t contentEnd = lf == std::string_view::npos ? rest_.size() : lf;
        if (lf != std::string_view::npos && contentEnd > 0 && rest_[contentEnd - 1] == '\r')
            --contentEnd;
        line = {rest_.substr(0, contentEnd), rest_.substr(contentEnd, next - contentEnd)};
        rest_.remove_prefix(next);
        return true;
    }

private:
    std::string_view rest_;
};

// The section a line opens, or nothing when it opens none.
bool SectionHeader(std::string_view content, std::string_view &name)
{
    const std::string_view t = Trim(content);
    if (t.empty() || t.front() != '[')
        return false;
    const size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// The key and value of an entry line; false for blank lines, comments and text without "=".
bool Entry(std::string_view content, std::string_view &key, std::string_view &value)
{
    const std::string_view t = Trim(content);
    if (t.empty() || t.front() == ';')
        return false;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

// Follows the lines of a profile in order and notes where Section's header,
// each of Keys' lines and the line after the section's last entry lie
// (line numbers; npos when absent), and the keys' values cut to MaxLength.
class SectionScan {
public:
    SectionScan(std::string_view section, const std::vector<std::string_view> &keys, size_t maxLength)
        : keyLines(keys.size(), std::string::npos), values(keys.size()), wholeLengths(keys.size(), std::string::npos),
          section_(Trim(section)), keys_(keys), maxLength_(maxLength)
    {
        for (std::string_view &key : keys_)
            key = Trim(key);
    }

    // False once the section has ended: later lines change nothing.
    bool Take(std::string_view content)
    {
        const size_t i = line_++;
        std::string_view name, key, value;
        if (SectionHeader(content, name)) {
            if (inside_)
                return inside_ = false;
            if (header == std::string::npos && SameName(name, section_)) {
                inside_ = true;
                header = i;
                insertAt = i + 1;
            }
            return true;
        }
        if (!inside_)
            return true;
        if (!Trim(content).empty())
            insertAt = i + 1;
        if (Entry(content, key, value))
            for (size_t k = 0; k < keys_.size(); ++k)
                if (keyLines[k] == std::string::npos && SameName(key, keys_[k])) {
                    keyLines[k] = i;
                    values[k] = std::string(value.substr(0, maxLength_));
                    wholeLengths[k] = value.size();
                }
        return true;
    }

    size_t header = std::string::npos;
    size_t insertAt = 0;
    std::vector<size_t> keyLines;
    std::vector<std::string> values;
    std::vector<size_t> wholeLengths;

private:
    std::string_view section_;
    std::vector<std::string_view> keys_;
    size_t maxLength_;
    size_t line_ = 0;
    bool inside_ = false;
};

SectionScan Scan(std::string_view text, std::string_view section, const std::vector<std::string_view> &keys,
                 size_t maxLength)
{
    SectionScan scan(section, keys, maxLength);
    Lines lines(text);
    Line line;
    while (lines.Next(line) && scan.Take(line.content))
        ;
    return scan;
}

std::string_view LineEndOf(std::string_view text)
{
    const size_t lf = text.find('\n');
    if (lf != std::string_view::npos && (lf == 0 || text[lf - 1] != '\r'))
        return "\n";
    return "\r\n";
}

// Of a line read from a file, this much is kept: far more than a section,
// a key (255 characters) and a value (127 read) can take.
constexpr size_t kLineKept = 4096;

// The whole file, or empty when there is none; false when it exists but is
// no regular file, cannot be opened or not read whole: a write over what was
// only partly read would lose the rest.
bool ReadFile(const std::string &fileName, std::string &contents)
{
    return RegularFile::ReadInPieces(fileName, [&contents](std::string_view piece) {
               contents.append(piece);
               return true;
           }) != FileState::Unreadable;
}

// The last line's content, line end not included.
std::string_view LastLine(std::string_view text)
{
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    const size_t lf = text.rfind('\n');
    return lf == std::string_view::npos ? text : text.substr(lf + 1);
}

// The file's first bytes tell a text the reader cannot take as it was meant.
TextStart StartOf(std::string_view head)
{
    if (head.starts_with("\xEF\xBB\xBF"))
        return TextStart::Utf8Bom;
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF") || head.find('\0') != std::string_view::npos)
        return TextStart::Utf16;
    return TextStart::Plain;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string EntryText(std::string_view key, std::string_view value)
{
    // The value is stored as given; reading trims it.
    return std::string(Trim(key)) + "=" + std::string(value);
}

} // namespace

std::string ReadValue(std::string_view text, std::string_view section, std::string_view key, size_t maxLength)
{
    return Scan(text, section, {key}, maxLength).values.front();
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    return WithValues(text, section, {{key, value}});
}

std::string WithValues(std::string_view text, std::string_view section, const std::vector<KeyValue> &entries)
{
    std::vector<std::string_view> keys;
    for (const KeyValue &entry : entries)
        keys.push_back(entry.first);
    const SectionScan scan = Scan(text, section, keys, 0);
    const std::string_view eol = LineEndOf(text);
    // The keys the section lacks, in order, each once.
    std::string missing;
    for (size_t k = 0; k < entries.size(); ++k)
        if (scan.keyLines[k] == std::string::npos)
            missing.append(EntryText(entries[k].first, entries[k].second)).append(eol);

    std::string out;
    out.reserve(text.size() + missing.size() + section.size() + 8);
    if (scan.header == std::string::npos) {
        out.append(text);
        if (!out.empty() && out.back() != '\n')
            out.append(eol);
        if (!text.empty() && !Trim(LastLine(text)).empty())
            out.append(eol);
        out.append("[").append(Trim(section)).append("]").append(eol).append(missing);
        return out;
    }
    Lines lines(text);
    Line line;
    size_t i = 0;
    for (; lines.Next(line); ++i) {
        if (i == scan.insertAt)
            out.append(missing);
        const auto replaced = std::find(scan.keyLines.begin(), scan.keyLines.end(), i);
        if (replaced != scan.keyLines.end()) {
            const KeyValue &entry = entries[static_cast<size_t>(replaced - scan.keyLines.begin())];
            out.append(EntryText(entry.first, entry.second)).append(line.end);
            continue;
        }
        out.append(line.content).append(line.end);
        // The section's last line may lack a line end when it ends the file.
        if (i + 1 == scan.insertAt && line.end.empty() && !missing.empty())
            out.append(eol);
    }
    if (scan.insertAt == i)
        out.append(missing);
    return out;
}

bool CanWrite(std::string_view section, std::string_view key, std::string_view value)
{
    // What could never be read back is refused: a section name that its own
    // header would cut at "]", a key line that would read as a comment or a
    // section header.
    const std::string_view name = Trim(key);
    return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
           key.find('=') == std::string_view::npos && !name.empty() && name.front() != ';' && name.front() != '[' &&
           section.find(']') == std::string_view::npos;
}

struct SectionReader::Scan {
    Scan(std::string_view section, const std::vector<std::string_view> &keys, size_t maxLength)
        : scan(section, keys, maxLength)
    {
    }
    SectionScan scan;
    SectionRead read;
    std::string line;
    bool going = true;
    bool first = true;
};

SectionReader::SectionReader(std::string_view section, const std::vector<std::string_view> &keys, size_t maxLength)
    : scan_(std::make_unique<Scan>(section, keys, maxLength))
{
    scan_->read.State = FileState::Read;
}

SectionReader::~SectionReader() = default;

bool SectionReader::Take(std::string_view piece)
{
    Scan &s = *scan_;
    if (s.first && !piece.empty()) {
        s.read.Start = StartOf(piece);
        s.first = false;
    }
    // Only the head of each line is kept; the scan ends where the section ends.
    while (s.going && !piece.empty()) {
        const size_t lf = piece.find('\n');
        if (s.line.size() < kLineKept)
            s.line.append(piece.substr(0, std::min(lf, kLineKept - s.line.size())));
        if (lf == std::string_view::npos)
            break;
        piece.remove_prefix(lf + 1);
        s.going = s.scan.Take(s.line);
        s.line.clear();
    }
    return s.going;
}

SectionRead SectionReader::Finish()
{
    Scan &s = *scan_;
    if (s.going && !s.line.empty())
        s.scan.Take(s.line);
    s.going = false;
    s.read.SectionFound = s.scan.header != std::string::npos;
    s.read.Values = std::move(s.scan.values);
    s.read.WholeLengths = std::move(s.scan.wholeLengths);
    return std::move(s.read);
}

SectionRead ReadSection(const std::string &fileName, std::string_view section,
                        const std::vector<std::string_view> &keys, size_t maxLength)
{
    SectionReader reader(section, keys, maxLength);
    const FileState state = RegularFile::ReadInPieces(fileName, [&reader](std::string_view piece) { return reader.Take(piece); });
    SectionRead read = reader.Finish();
    read.State = state;
    return read;
}

std::vector<std::string> GetStrings(const std::string &fileName, std::string_view section,
                                    const std::vector<std::string_view> &keys, size_t maxLength)
{
    return ReadSection(fileName, section, keys, maxLength).Values;
}

std::string GetString(const std::string &fileName, std::string_view section, std::string_view key, size_t maxLength)
{
    return GetStrings(fileName, section, {key}, maxLength).front();
}

bool WriteStrings(const std::string &fileName, std::string_view section, const std::vector<KeyValue> &entries)
{
    if (fileName.empty())
        return false;
    std::vector<KeyValue> writable;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(writable),
                 [&](const KeyValue &entry) { return CanWrite(section, entry.first, entry.second); });
    std::string contents;
    if (writable.empty() || !ReadFile(fileName, contents))
        return false;
    return RegularFile::Replace(fileName, WithValues(contents, section, writable)) && writable.size() == entries.size();
}

bool WriteString(const std::string &fileName, std::string_view section, std::string_view key, std::string_view value)
{
    return WriteStrings(fileName, section, {{key, value}});
}

} // namespace PrivateProfile
