#include "release/CheckCommand.h"

#include "platform/DateConvert.h"
#include "platform/Exception.h"
#include "record/TProgram.h"
#include "release/Commands.h"
#include "release/ReadingWarnings.h"

#include <algorithm>
#include <optional>

namespace {

using ToolOutput::IsoFormat;
using ToolOutput::Quoted;
using ToolOutput::Say;
using ToolOutput::Status;

// Exactly YYYY-MM-DD, a day of the calendar.
std::optional<double> IsoDate(const std::string &text)
{
    const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
    double date = 0;
    if (!shaped || !DateConvert::TryStrToDate(text, IsoFormat, 0, date))
        return std::nullopt;
    return date;
}

// The release file on the server, whose dates the window also holds against
// today, or the installed product's settings file, of which only the release
// counts.
enum class FileRole { Release, Installed };

// One file's outcome, and its record for the verdict.
struct FileCheck {
    Status Outcome = ToolOutput::Unusable;
    TReleaseRecord Record;
};

// Reads FileName as the window reads a file of its Role and reports it under Label.
FileCheck CheckFile(const std::string &label, const std::string &fileName, FileRole role, double today)
{
    const PrivateProfile::SectionRead read = TReleaseRecord::ReadSection(fileName);
    if (read.State != PrivateProfile::FileState::Read)
        return {ToolOutput::Refuse(fileName + ": " +
                                   (read.State == PrivateProfile::FileState::Missing ? "no such file"
                                                                                     : "cannot be read as a file")),
                {}};
    FileCheck check{ToolOutput::Clean, TReleaseRecord::From(read)};
    Say(label + ": " + fileName);
    for (size_t k = 0; k < TReleaseRecord::Keys.size(); ++k)
        Say("  " + std::string(TReleaseRecord::Keys[k]) + " = " +
            (read.WholeLengths[k] == std::string::npos ? "(missing)" : Quoted(read.Values[k])));
    std::vector<std::string> warnings = FileWarnings(read);
    TProgram release;
    try {
        release.Assign(check.Record, today);
        Say("  date: " + DateConvert::DateToStr(release.Date, IsoFormat));
        Say("  window: " + Quoted(release.Description));
        const std::vector<std::string> dated = DateWarnings(check.Record, release);
        warnings.insert(warnings.end(), dated.begin(), dated.end());
        if (role == FileRole::Release) {
            const std::optional<double> lastValid = LastValidDay(check.Record);
            if (lastValid)
                Say("  valid until: " + DateConvert::DateToStr(*lastValid, IsoFormat));
            const std::vector<std::string> valid = ValidityWarnings(release.Date, lastValid, today);
            warnings.insert(warnings.end(), valid.begin(), valid.end());
        }
    } catch (const EConvertError &error) {
        Say("  error: the window ends the check with the error box " + Quoted(error.Message()));
        check.Outcome = ToolOutput::Unusable;
    }
    for (const std::string &warning : warnings)
        Say("  warning: " + warning);
    if (!warnings.empty())
        check.Outcome = std::max(check.Outcome, ToolOutput::Warned);
    return check;
}

} // namespace

ToolOutput::Status CheckCommand(const std::vector<std::string> &arguments)
{
    std::optional<double> today;
    std::vector<std::string> files;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--today") {
            if (i + 1 == arguments.size())
                return ToolOutput::Refuse("--today wants a date YYYY-MM-DD; " + Usage("check"));
            today = IsoDate(arguments[++i]);
            if (!today)
                return ToolOutput::Refuse("--today wants a date YYYY-MM-DD, not \"" + arguments[i] + "\"");
        } else if (arguments[i].starts_with("--")) {
            return ToolOutput::Refuse("unknown option \"" + arguments[i] + "\"; " + Usage("check"));
        } else {
            files.push_back(arguments[i]);
        }
    }
    if (files.empty() || files.size() > 2)
        return ToolOutput::Refuse((files.empty() ? "no release file; " : "too many files; ") + Usage("check"));

    const double day = today ? *today : DateConvert::Today();
    const FileCheck server = CheckFile("release file", files[0], FileRole::Release, day);
    if (files.size() == 1)
        return server.Outcome;
    const FileCheck installed = CheckFile("installed file", files[1], FileRole::Installed, day);
    if (server.Outcome != ToolOutput::Unusable && installed.Outcome != ToolOutput::Unusable)
        Say("verdict: " + Quoted(std::string(VerdictText(UpdateVerdict(installed.Record, server.Record, day)))));
    return std::max(server.Outcome, installed.Outcome);
}
