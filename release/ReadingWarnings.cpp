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

// What the window makes of Key left without a value; nothing for a key that
// may be left out: the edition's suffix, and the last valid day, which a file
// that never expires has not.
std::string WithoutValue(const std::string &key, bool missing)
{
    if (key == "LastUpd")
        return "the window shows the date \"?\" and compares it as 2000-01-01";
    if (key == "WazneDo")
        return missing ? "" : "the window takes the file as current whatever the date";
    if (key == "Wydanie_Dod")
        return "";
    return "the window shows nothing in its place";
}

std::string Iso(double date) { return DateConvert::DateToStr(date, ToolOutput::IsoFormat); }

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
        const std::string unset = value.empty() ? WithoutValue(key, missing) : "";
        if (!unset.empty())
            warnings.push_back(key + (missing ? " is missing" : " is empty") + ": " + unset);
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
    const std::string date = Iso(Release.Date);
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

std::vector<std::string> ValidityWarnings(double ReleaseDate, std::optional<double> LastValid, double Today)
{
    std::vector<std::string> warnings;
    if (ReleaseDate > Today)
        warnings.push_back("LastUpd " + Iso(ReleaseDate) + " lies after today, " + Iso(Today) +
                           ": users who take this file under a key refuse every file dated before it");
    if (!LastValid)
        return warnings;
    if (*LastValid < ReleaseDate)
        warnings.push_back("WazneDo " + Iso(*LastValid) + " lies before LastUpd " + Iso(ReleaseDate) +
                           ": the file is out of date before the release it names");
    if (*LastValid < Today)
        warnings.push_back("WazneDo " + Iso(*LastValid) +
                           " has passed: where no update waits, the window says the information is out of date");
    else if (*LastValid <= Today + ExpiryNotice)
        warnings.push_back("WazneDo " + Iso(*LastValid) + " passes within " + std::to_string(ExpiryNotice) +
                           " days: from " + Iso(*LastValid + 1) +
                           " the window takes this file as out of date; sign one with a later WazneDo before then");
    return warnings;
}
