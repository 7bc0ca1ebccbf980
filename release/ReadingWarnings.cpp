#include "release/ReadingWarnings.h"

#include "platform/CodePage.h"
#include "release/ToolOutput.h"

#include <algorithm>

namespace {

using PrivateProfile::TextStart;
using ToolOutput::Quoted;

// Bytes above 127 that read as UTF-8 throughout: text saved as UTF-8 where
// code page 1250 belongs, whose letters would hardly form valid sequences.
bool LooksLikeUtf8(const std::string &text)
{
    if (std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; }))
        return false;
    for (size_t offset = 0; offset < text.size();) {
        const size_t start = offset;
        const char32_t c = CodePage::NextUtf8(text, offset);
        // An invalid byte comes back alone as U+FFFD; the real U+FFFD takes three.
        if (c == U'\uFFFD' && offset - start == 1)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::string> FileWarnings(const PrivateProfile::SectionRead &Read)
{
    std::vector<std::string> warnings;
    if (Read.Start == TextStart::Utf8Bom)
        warnings.push_back("the file begins with a UTF-8 byte order mark, which hides a section on its first line "
                           "from the window: save it in code page 1250");
    if (Read.Start == TextStart::Utf16)
        warnings.push_back("the file is UTF-16 text, of which the window reads nothing: save it in code page 1250");
    if (!Read.SectionFound) {
        warnings.push_back("no section [" + std::string(TReleaseRecord::Section) +
                           "]: the window shows no version or edition, and the date \"?\", compared as 2000-01-01");
        return warnings;
    }
    for (size_t k = 0; k < TReleaseRecord::Keys.size(); ++k) {
        const std::string key(TReleaseRecord::Keys[k]);
        const std::string &value = Read.Values[k];
        const bool missing = Read.WholeLengths[k] == std::string::npos;
        const bool cut = !missing && Read.WholeLengths[k] > value.size();
        if (key == "LastUpd" && value.empty())
            warnings.push_back(key + (missing ? " is missing" : " is empty") +
                               ": the window shows the date \"?\" and compares it as 2000-01-01");
        else if (key != "Wydanie_Dod" && value.empty())
            warnings.push_back(key + (missing ? " is missing" : " is empty") + ": the window shows nothing in its place");
        if (cut)
            warnings.push_back(key + " has " + std::to_string(Read.WholeLengths[k]) + " characters: the window reads its first " +
                               std::to_string(value.size()) + ", " + Quoted(value));
        if (LooksLikeUtf8(value))
            warnings.push_back(key + " is UTF-8 text: the window reads it in code page 1250, as " + Quoted(value));
    }
    return warnings;
}

std::vector<std::string> DateWarnings(const TReleaseRecord &Record, const TProgram &Release)
{
    if (Record.LastUpd.empty())
        return {};
    const std::string date = DateConvert::DateToStr(Release.Date, ToolOutput::IsoFormat);
    const std::string written = "LastUpd " + Quoted(Record.LastUpd);
    const DateConvert::YearWritten &year = Release.Year;
    if (year.Digits == 0)
        return {written + " names no year: the window takes today's, " + date};
    if (year.Digits <= 2)
        return {written + " has a year of " + std::to_string(year.Digits) +
                (year.Digits == 1 ? " digit" : " digits") + ": the window takes it in today's century, " + date};
    if (year.Digits == 3 || year.LeadingZero)
        return {written + " writes its year with " + (year.LeadingZero ? "a leading zero" : "three digits") +
                ": the window reads it as it stands, " + date};
    return {};
}
