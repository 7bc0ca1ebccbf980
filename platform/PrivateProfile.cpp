#include "platform/PrivateProfile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>
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

std::vector<Line> SplitLines(std::string_view text)
{
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({text.substr(start), {}});
            break;
        }
        size_t contentEnd = lf;
        if (contentEnd > start && text[contentEnd - 1] == '\r')
            --contentEnd;
        lines.push_back({text.substr(start, contentEnd - start), text.substr(contentEnd, lf + 1 - contentEnd)});
        start = lf + 1;
    }
    return lines;
}

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

// Where Section's header and the line after its last entry lie; header is npos when absent.
struct SectionSpan {
    size_t header = std::string::npos;
    size_t keyLine = std::string::npos;
    size_t insertAt = 0;
};

SectionSpan Locate(const std::vector<Line> &lines, std::string_view section, std::string_view key)
{
    SectionSpan span;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name, k, v;
        if (SectionHeader(lines[i].content, name)) {
            if (inside)
                break;
            if (SameName(name, section) && span.header == std::string::npos) {
                inside = true;
                span.header = i;
                span.insertAt = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!Trim(lines[i].content).empty())
            span.insertAt = i + 1;
        if (Entry(lines[i].content, k, v) && SameName(k, key) && span.keyLine == std::string::npos)
            span.keyLine = i;
    }
    return span;
}

std::string_view LineEndOf(std::string_view text)
{
    const size_t lf = text.find('\n');
    if (lf != std::string_view::npos && (lf == 0 || text[lf - 1] != '\r'))
        return "\n";
    return "\r\n";
}

bool ReadFile(const std::string &fileName, std::string &contents)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

std::string ReadValue(std::string_view text, std::string_view section, std::string_view key, size_t maxLength)
{
    const auto lines = SplitLines(text);
    const SectionSpan span = Locate(lines, Trim(section), Trim(key));
    if (span.keyLine == std::string::npos)
        return {};
    std::string_view k, value;
    Entry(lines[span.keyLine].content, k, value);
    return std::string(value.substr(0, maxLength));
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const auto lines = SplitLines(text);
    const std::string_view eol = LineEndOf(text);
    const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
    const SectionSpan span = Locate(lines, Trim(section), Trim(key));

    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (span.header == std::string::npos) {
        out.append(text);
        if (!out.empty() && out.back() != '\n')
            out.append(eol);
        if (!lines.empty() && !Trim(lines.back().content).empty())
            out.append(eol);
        out.append("[").append(Trim(section)).append("]").append(eol);
        out.append(entry).append(eol);
        return out;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (span.keyLine == std::string::npos && i == span.insertAt)
            out.append(entry).append(eol);
        if (i == span.keyLine) {
            out.append(entry).append(lines[i].end.empty() ? std::string_view{} : lines[i].end);
            continue;
        }
        out.append(lines[i].content).append(lines[i].end);
        // The section's last line may lack a line end when it ends the file.
        if (span.keyLine == std::string::npos && i + 1 == span.insertAt && lines[i].end.empty())
            out.append(eol);
    }
    if (span.keyLine == std::string::npos && span.insertAt == lines.size())
        out.append(entry).append(eol);
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

std::string GetString(const std::string &fileName, std::string_view section, std::string_view key, size_t maxLength)
{
    std::string contents;
    if (fileName.empty() || !ReadFile(fileName, contents))
        return {};
    return ReadValue(contents, section, key, maxLength);
}

bool WriteString(const std::string &fileName, std::string_view section, std::string_view key, std::string_view value)
{
    if (fileName.empty() || !CanWrite(section, key, value))
        return false;
    std::string contents;
    ReadFile(fileName, contents);
    const std::string updated = WithValue(contents, section, key, value);

    // Write beside the file and rename over it, so that a failed write never
    // leaves a half-written profile behind.
    const std::string temporary = fileName + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(updated.data(), std::streamsize(updated.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace PrivateProfile
